// Running the built program as a user or a script would: in a directory of
// its own, with standard streams redirected by the shell, or inside a
// terminal made by tmux.
#pragma once

#include <string>

#include <gtest/gtest.h>

struct outcome {
    int status;
    std::string out, err;
};

std::string read_file(const std::string& path);
void write_file(const std::string& path, const std::string& bytes);
std::string shell_quote(const std::string& text);

// The report as every run writes it, whatever the label.
std::string expected_report();
// What standard output receives when it is not the console.
std::string expected_stdout(const std::string& report_name);

class run_test : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Runs `loss` in dir() with `input` on standard input.  `wrap` stands
    // before the program on the command line (setpriv, strace, ...), and
    // `redirect` after the standard ones, to change them.
    outcome run(const std::string& input, const std::string& wrap = "", const std::string& redirect = "");
    // The same with a whole shell command, where $LOSS names the program.
    outcome run_shell(const std::string& command, const std::string& input = "");

    std::string dir() const { return root_ + "/work"; }
    std::string path(const std::string& name) const { return dir() + "/" + name; }
    std::string io(const std::string& name) const { return root_ + "/" + name; }

private:
    std::string root_;
};

// A terminal of 100 x 30 in a tmux server of its own, running `command`.
class terminal_session {
public:
    terminal_session(const std::string& directory, const std::string& command);
    ~terminal_session();
    void send_keys(const std::string& keys);  // tmux key names, space separated
    std::string screen();
    // Waits (at most 20 s) until the screen holds `text`.
    ::testing::AssertionResult shows(const std::string& text);

private:
    std::string tmux(const std::string& arguments);
    std::string socket_;
};
