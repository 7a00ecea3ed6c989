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

// The program started directly, with the given descriptors as its standard
// streams and default signal dispositions (SIGINT ignored on request).
class process {
public:
    process(const std::string& directory, int in, int out, int err, bool ignore_interrupt = false);
    // Standard output and error to the files `out` and `err`, standard
    // input from a pipe whose write end `input` the caller holds; returns
    // once the prompt is out, so the program is in its label read.
    static process at_prompt(const std::string& directory, const std::string& out, const std::string& err,
                             int& input, bool ignore_interrupt = false);
    // The exit status, or 128 + the signal that ended it.
    int wait();
    // Waits (at most 20 s) until `file` holds at least `size` bytes.
    static bool has_grown(const std::string& file, std::size_t size);
    int pid;
};

// Standard error of a failure: the system text line (none when empty), the
// diagnostic line, then a well-formed call-stack listing.
::testing::AssertionResult is_diagnostic(const std::string& err, const std::string& system_text,
                                         const std::string& line);

bool running_as_root();

// A terminal of 100 x 30 in a tmux server of its own, running `command`.
class terminal_session {
public:
    terminal_session(const std::string& directory, const std::string& command);
    ~terminal_session();
    void send_keys(const std::string& keys);  // tmux key names, space separated
    std::string screen();
    // Waits (at most 20 s) until the screen holds `text`.
    ::testing::AssertionResult shows(const std::string& text);
    // At the prompt, types the label A and waits for the key prompt.
    ::testing::AssertionResult reaches_key_wait();

private:
    std::string tmux(const std::string& arguments);
    std::string socket_;
};
