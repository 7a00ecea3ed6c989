// Runs without a terminal: standard input from a file, output to files.
#include "harness.h"

#include <sys/stat.h>

namespace {

const std::string forty(40, 'x');

TEST_F(run_test, label_lines)
{
    const struct {
        const char* name;
        std::string input, report;
    } cases[] = {
        {"plain", "A\n", "loss-A.rez"},
        {"empty_line", "\n", "loss-.rez"},
        {"forty_characters", forty + "\n", "loss-" + forty + ".rez"},
        {"forty_one_characters", forty + "yz\n", "loss-" + forty + ".rez"},
        {"cr_lf", "ab\r\n", "loss-ab.rez"},
        {"one_cr_only", "ab\r\r\n", "loss-ab\r.rez"},
        {"cr_as_forty_first", forty + "\r\n", "loss-" + forty + ".rez"},
        {"cr_as_fortieth", forty.substr(1) + "\r\n", "loss-" + forty.substr(1) + ".rez"},
        {"inner_cr_stays", "a\rb\n", "loss-a\rb.rez"},
        {"blanks_around", "  ab  \n", "loss-  ab.rez"},
        {"trailing_tab", "ab\t\n", "loss-ab\t.rez"},
        {"last_line_without_lf", "ab", "loss-ab.rez"},
        {"cr_without_lf_stays", "ab\r", "loss-ab\r.rez"},
        {"only_the_first_line", "first\nsecond\n", "loss-first.rez"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        outcome o = run(c.input);
        EXPECT_EQ(o.status, 0);
        EXPECT_EQ(o.out, expected_stdout(c.report));
        EXPECT_EQ(o.err, "");
        EXPECT_EQ(read_file(path(c.report)), expected_report());
        std::remove(path(c.report).c_str());
    }
}

// A script that reads the rest of the input after the program gets all of
// it: the label read stops at its LF.
TEST_F(run_test, leaves_the_rest_of_the_input)
{
    outcome o = run_shell("{ \"$LOSS\" > /dev/null; cat > " + io("rest") + "; } < " + io("in"), "A\nrest\n");
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(read_file(io("rest")), "rest\n");
}

TEST_F(run_test, older_longer_report_is_cut)
{
    write_file(path("loss-A.rez"), std::string(4000, '#'));
    outcome o = run("A\n");
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(read_file(path("loss-A.rez")), expected_report());
}

TEST_F(run_test, label_with_a_path_separator)
{
    ASSERT_EQ(mkdir(path("loss-x").c_str(), 0777), 0);
    outcome o = run("x/y\n");
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(read_file(path("loss-x/y.rez")), expected_report());
}

// Input from a pipe that stays open after the line: the program neither
// waits for its end nor for a key.
TEST_F(run_test, pipe_kept_open)
{
    outcome o = run_shell("mkfifo " + io("fifo") + "; \"$LOSS\" < " + io("fifo") + " > " + io("out") +
                          " & pid=$!; exec 3> " + io("fifo") + "; printf 'A\\n' >&3; wait $pid; echo \"status:$?\" >> " +
                          io("out") + "; exec 3>&-");
    EXPECT_EQ(o.out, expected_stdout("loss-A.rez") + "status:0\n");
}

} // namespace
