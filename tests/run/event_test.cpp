// Ctrl-C, Ctrl-\ and the loss of the terminal, while the label is read and
// while the program waits for a key.
#include "harness.h"

#include <csignal>
#include <cstring>

#include <sys/stat.h>
#include <unistd.h>

namespace {

struct event {
    int signal;
    int code;
    const char* name;
    const char* key;  // what the terminal sends it with; nullptr: kill(1)
};

const event events[] = {
    {SIGINT, 0, "control-C", "C-c"},
    {SIGQUIT, 1, "control-BREAK", "C-\\\\"},
    {SIGHUP, 2, "window-CLOSE", nullptr},
};

std::string event_line(const event& e)
{
    return std::string("qalvor: error (200): program aborting due to ") + e.name + " event";
}

class event_test : public run_test {};

TEST_F(event_test, during_the_label_read)
{
    for (const event& e : events) {
        SCOPED_TRACE(e.name);
        int input;
        process p = process::at_prompt(dir(), io("out"), io("err"), input);
        kill(p.pid, e.signal);
        EXPECT_EQ(p.wait(), e.code);
        close(input);
        EXPECT_TRUE(is_diagnostic(read_file(io("err")), "", event_line(e)));
        struct stat st;
        EXPECT_NE(stat(path("loss-A.rez").c_str(), &st), 0);
    }
}

// A caller that ignores SIGINT (nohup, a background job) keeps it ignored.
TEST_F(event_test, inherited_ignored_interrupt_stays_ignored)
{
    int input;
    process p = process::at_prompt(dir(), io("out"), io("err"), input, true);
    kill(p.pid, SIGINT);
    ASSERT_EQ(write(input, "A\n", 2), 2);
    close(input);
    EXPECT_EQ(p.wait(), 0);
    EXPECT_EQ(read_file(io("err")), "");
    EXPECT_EQ(read_file(path("loss-A.rez")), expected_report());
}

// The shell survives the signals the terminal sends its whole process
// group (a handler, unlike an ignored signal, is not inherited), and
// reports the program's status and the terminal settings afterwards.
const std::string session_script =
    "trap true INT QUIT HUP; stty -g > before; sh -c 'echo $$ > pid; exec \"$LOSS\"' 2> err; echo $? > rc; "
    "stty -g > after; echo \"status:$(cat rc)\"; sleep 60";

TEST_F(event_test, during_the_key_wait)
{
    for (const event& e : events) {
        SCOPED_TRACE(e.name);
        run_shell("rm -f loss-A.rez rc err before after");
        terminal_session t(dir(), session_script);
        ASSERT_TRUE(t.reaches_key_wait());
        if (e.key)
            t.send_keys(e.key);
        else
            kill(std::stoi(read_file(path("pid"))), e.signal);
        ASSERT_TRUE(t.shows("status:" + std::to_string(e.code)));
        EXPECT_TRUE(is_diagnostic(read_file(path("err")), "", event_line(e)));
        EXPECT_EQ(read_file(path("loss-A.rez")), expected_report());
        EXPECT_EQ(read_file(path("before")), read_file(path("after")));
    }
}

// Closing the terminal hangs it up: SIGHUP, as the window closing.
TEST_F(event_test, terminal_closed)
{
    {
        terminal_session t(dir(), session_script);
        ASSERT_TRUE(t.reaches_key_wait());
    }
    ASSERT_TRUE(process::has_grown(path("rc"), 2));
    EXPECT_EQ(read_file(path("rc")), "2\n");
    EXPECT_TRUE(is_diagnostic(read_file(path("err")), "", event_line(events[2])));
    EXPECT_EQ(read_file(path("loss-A.rez")), expected_report());
}

} // namespace
