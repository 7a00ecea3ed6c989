// Interactive runs in a terminal made by tmux.
#include "harness.h"

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

namespace {

// The shell notes the terminal settings and the program's pid, runs it,
// then reads whatever the terminal still holds queued, without a line end.
const std::string session_script =
    "stty -g > before; sh -c 'echo $$ > pid; exec \"$LOSS\"'; echo \"status:$?\"; stty -g > after; "
    "k=$(dd bs=16 count=1 2>/dev/null | od -An -tx1); echo \"next:$k\"; sleep 60";

long cpu_ticks(const std::string& pid_file)
{
    std::ifstream stat("/proc/" + read_file(pid_file).substr(0, read_file(pid_file).find('\n')) + "/stat");
    std::string field;
    long utime = 0, stime = 0;
    for (int i = 1; i <= 15 && stat >> field; ++i) {
        if (i == 14)
            utime = std::stol(field);
        if (i == 15)
            stime = std::stol(field);
    }
    return utime + stime;
}

class terminal_test : public run_test {};

TEST_F(terminal_test, waits_for_a_key_and_leaves_it_queued)
{
    const struct {
        const char* name;
        const char* keys;
        const char* queued;
    } cases[] = {
        {"ordinary_key", "q", " 71"},
        {"arrow_key", "Up", " 1b 5b 41"},
        {"function_key", "F1", " 1b 4f 50"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::remove(path("loss-A.rez").c_str());
        terminal_session t(dir(), session_script);
        ASSERT_TRUE(t.reaches_key_wait());
        EXPECT_NE(t.screen().find(" Numele fisierului de iesire va fi: \"loss-C.rez\"\n"
                                  " Introdu \"C\" (text <=40 caractere): A\n\n"
                                  "Fisier de iesire: loss-A.rez\n\nApasa orice tasta\n"),
                  std::string::npos)
            << t.screen();

        // Waiting, with the report complete and barred to other writers,
        // at no cost in CPU time.
        long before = cpu_ticks(path("pid"));
        std::this_thread::sleep_for(std::chrono::seconds(1));
        EXPECT_EQ(t.screen().find("status:"), std::string::npos);
        EXPECT_LE(cpu_ticks(path("pid")) - before, 1);
        EXPECT_EQ(read_file(path("loss-A.rez")), expected_report());
        EXPECT_NE(std::system(("flock -n -x " + path("loss-A.rez") + " true").c_str()), 0);

        t.send_keys(c.keys);
        ASSERT_TRUE(t.shows(std::string("status:0\nnext:") + c.queued + "\n"));
        EXPECT_EQ(read_file(path("before")), read_file(path("after")));
    }
}

// A key typed while the label was read ends the wait at once.
TEST_F(terminal_test, key_typed_ahead)
{
    terminal_session t(dir(), session_script);
    ASSERT_TRUE(t.shows("(text <=40 caractere):"));
    t.send_keys("A Enter z");
    ASSERT_TRUE(t.shows("status:0\nnext: 7a\n"));
    EXPECT_EQ(read_file(path("before")), read_file(path("after")));
    EXPECT_EQ(read_file(path("loss-A.rez")), expected_report());
}

} // namespace
