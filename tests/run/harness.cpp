#include "harness.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <csignal>
#include <fstream>
#include <regex>
#include <sstream>
#include <thread>

#include <fcntl.h>
#include <stdexcept>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

std::string read_file(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void write_file(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string shell_quote(const std::string& text)
{
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

std::string expected_report()
{
    const char* lines[] = {
        "Pierdere de Semnificatie",
        "",
        " x         f(x):simpla     f(x):cvadrupla      g(x)",
        " 1.0E+01    7.325811        7.3258109           7.325811    ",
        " 1.0E+02    41.42136        41.421357           41.42136    ",
        " 1.0E+03    154.3472        154.34713           154.3471    ",
        " 1.0E+04    498.7564        498.75622           498.7562    ",
        " 1.0E+05    1580.811        1580.7438           1580.744    ",
        " 1.0E+06    4998.779        4999.8751           4999.875    ",
        " 1.0E+07    15869.14        15811.349           15811.35    ",
    };
    std::string report;
    for (const char* line : lines)
        report += std::string(line) + "\r\n";
    return report;
}

std::string expected_stdout(const std::string& report_name)
{
    return " Numele fisierului de iesire va fi: \"loss-C.rez\"\r\n"
           " Introdu \"C\" (text <=40 caractere): \r\n"
           "Fisier de iesire: " + report_name + "\r\n\r\nApasa orice tasta\r\n";
}

process::process(const std::string& directory, int in, int out, int err, bool ignore_interrupt)
{
    pid = fork();
    if (pid == 0) {
        dup2(in, 0);
        dup2(out, 1);
        dup2(err, 2);
        if (ignore_interrupt)
            std::signal(SIGINT, SIG_IGN);
        if (chdir(directory.c_str()) == 0)
            execl(LOSS_BINARY, "loss", static_cast<char*>(nullptr));
        _exit(127);
    }
}

process process::at_prompt(const std::string& directory, const std::string& out, const std::string& err,
                           int& input, bool ignore_interrupt)
{
    constexpr std::size_t dialogue_start_size = 48 + 2 + 36;
    int pipe_ends[2];
    if (pipe(pipe_ends) != 0)
        throw std::runtime_error("pipe");
    int out_fd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int err_fd = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    process p(directory, pipe_ends[0], out_fd, err_fd, ignore_interrupt);
    close(pipe_ends[0]);
    close(out_fd);
    close(err_fd);
    input = pipe_ends[1];
    has_grown(out, dialogue_start_size);
    return p;
}

int process::wait()
{
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

bool process::has_grown(const std::string& file, std::size_t size)
{
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (read_file(file).size() < size)
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return true;
}

::testing::AssertionResult is_diagnostic(const std::string& err, const std::string& system_text,
                                         const std::string& line)
{
    std::string head = (system_text.empty() ? "" : "qalvor: " + system_text + "\r\n") + line + "\r\n";
    if (err.compare(0, head.size(), head) != 0)
        return ::testing::AssertionFailure() << "standard error begins otherwise:\n" << err;
    static const std::regex listing(
        "Image {14}PC {8}Routine {12}Line {8}Source {13}\r\n"
        "(.{17}  [0-9A-F]{8}  Unknown {15}Unknown  Unknown\r\n)+");
    std::string rest = err.substr(head.size());
    if (!std::regex_match(rest, listing))
        return ::testing::AssertionFailure() << "not a call-stack listing:\n" << rest;
    if (rest.find("loss   ") == std::string::npos || rest.find("libc.so.6  ") == std::string::npos)
        return ::testing::AssertionFailure() << "the frames name no modules:\n" << rest;
    return ::testing::AssertionSuccess();
}

bool running_as_root() { return geteuid() == 0; }

void run_test::SetUp()
{
    char pattern[] = "/tmp/loss-test-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root_ = pattern;
    // Open to the unprivileged user that some tests run as.
    chmod(root_.c_str(), 0755);
    ASSERT_EQ(mkdir(dir().c_str(), 0777), 0);
    chmod(dir().c_str(), 0777);
}

void run_test::TearDown()
{
    std::system(("chmod -R u+rwx " + root_ + " 2>/dev/null; rm -rf " + root_).c_str());
}

outcome run_test::run(const std::string& input, const std::string& wrap, const std::string& redirect)
{
    return run_shell(wrap + " \"$LOSS\" < " + io("in") + " > " + io("out") + " 2> " + io("err") + " " +
                         redirect,
                     input);
}

outcome run_test::run_shell(const std::string& command, const std::string& input)
{
    write_file(io("in"), input);
    write_file(io("out"), "");
    write_file(io("err"), "");
    // Messages in English whatever the machine's locale.
    std::string script = "cd " + dir() + " && export LC_ALL=C LOSS=" + shell_quote(LOSS_BINARY) +
                         " IN=" + shell_quote(io("in")) + " OUT=" + shell_quote(io("out")) +
                         " ERR=" + shell_quote(io("err")) + " && " + command;
    int status = std::system(("sh -c " + shell_quote(script) + " </dev/null").c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, read_file(io("out")), read_file(io("err"))};
}

terminal_session::terminal_session(const std::string& directory, const std::string& command)
    : socket_(directory + "/.tmux")
{
    tmux("new-session -d -x 100 -y 30 -c " + shell_quote(directory) + " " +
         shell_quote("export LOSS=" + shell_quote(LOSS_BINARY) + "; " + command));
}

terminal_session::~terminal_session() { tmux("kill-server"); }

std::string terminal_session::tmux(const std::string& arguments)
{
    std::string command = "tmux -S " + shell_quote(socket_) + " " + arguments + " 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    std::string out;
    char buffer[4096];
    for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        out.append(buffer, n);
    pclose(pipe);
    return out;
}

void terminal_session::send_keys(const std::string& keys) { tmux("send-keys " + keys); }

std::string terminal_session::screen() { return tmux("capture-pane -p"); }

::testing::AssertionResult terminal_session::shows(const std::string& text)
{
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    std::string now;
    while (std::chrono::steady_clock::now() < deadline) {
        now = screen();
        if (now.find(text) != std::string::npos)
            return ::testing::AssertionSuccess();
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return ::testing::AssertionFailure() << "the screen never showed \"" << text << "\":\n" << now;
}

::testing::AssertionResult terminal_session::reaches_key_wait()
{
    if (auto prompt = shows("(text <=40 caractere):"); !prompt)
        return prompt;
    send_keys("A Enter");
    return shows("Apasa orice tasta");
}
