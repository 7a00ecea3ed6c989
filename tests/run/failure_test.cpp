// Every way a run can fail, provoked for real.
#include "harness.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <optional>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

const std::string dialogue_start = " Numele fisierului de iesire va fi: \"loss-C.rez\"\r\n"
                                   " Introdu \"C\" (text <=40 caractere): ";
const std::string streams = " < \"$IN\" > \"$OUT\" 2> \"$ERR\"";
const std::string as_nobody = "setpriv --reuid=65534 --regid=65534 --clear-groups ";
const std::string old_content(4000, '#');

std::string severe(int number, const std::string& text) { return "qalvor: severe (" + std::to_string(number) + "): " + text; }
std::string on_report(const std::string& what, const std::string& path) { return what + ", unit 1, file " + path; }

struct failure_case {
    const char* name = "";
    std::string prepare = "";  // shell commands run in the directory first
    std::string command = "";  // runs $LOSS
    std::string input = "A\n";
    int status = 0;
    int code = 0;              // errno shown in the system text line, 0 for none
    std::string line = "";     // the diagnostic line; {report} is the report's full path
    std::string out = dialogue_start;
    std::optional<std::string> left = std::nullopt;  // loss-A.rez afterwards; nullopt: absent
    bool as_root = false;  // needs root to set up
};

class failure_test : public run_test {
protected:
    void check(const failure_case& c)
    {
        SCOPED_TRACE(c.name);
        if (c.as_root && !running_as_root()) {
            std::printf("skipped %s: needs root\n", c.name);
            return;
        }
        if (!c.prepare.empty()) {
            ASSERT_EQ(run_shell(c.prepare).status, 0) << c.prepare;
        }
        outcome o = run_shell(c.command, c.input);
        std::string line = c.line;
        if (auto at = line.find("{report}"); at != std::string::npos)
            line.replace(at, 8, path("loss-A.rez"));
        EXPECT_EQ(o.status, c.status);
        EXPECT_TRUE(is_diagnostic(o.err, c.code ? std::strerror(c.code) : "", line));
        EXPECT_EQ(o.out, c.out);
        struct stat st;
        if (c.left)
            EXPECT_EQ(read_file(path("loss-A.rez")), *c.left);
        else
            EXPECT_NE(lstat(path("loss-A.rez").c_str(), &st), 0) << "a report was left";
        run_shell("chmod -R u+w . ; rm -rf ./* ./.[!.]*");
    }
};

TEST_F(failure_test, console_and_label)
{
    const std::string write_out = severe(38, "error during write, unit -1, file CONOUT$");
    const std::string end_in = severe(24, "end-of-file during read, unit -4, file CONIN$");
    const std::string read_in = severe(39, "error during read, unit -4, file CONIN$");
    const failure_case cases[] = {
        {.name = "output_full", .command = "\"$LOSS\" < \"$IN\" > /dev/full 2> \"$ERR\"", .status = 38,
         .code = ENOSPC, .line = write_out, .out = ""},
        {.name = "input_empty", .command = "\"$LOSS\"" + streams, .input = "", .status = 24, .code = 0,
         .line = end_in},
        {.name = "input_pipe_closed", .command = ": | \"$LOSS\" > \"$OUT\" 2> \"$ERR\"", .status = 24,
         .code = 0, .line = end_in},
        {.name = "input_directory", .command = "\"$LOSS\" < / > \"$OUT\" 2> \"$ERR\"", .status = 39,
         .code = EISDIR, .line = read_in},
        {.name = "input_closed", .command = "\"$LOSS\" <&- > \"$OUT\" 2> \"$ERR\"", .status = 39,
         .code = EBADF, .line = read_in},
        {.name = "input_interrupted",
         .command = "strace -f -o /dev/null -P \"$IN\" -e trace=read -e inject=read:error=EINTR \"$LOSS\"" +
                    streams,
         .status = 39, .code = EINTR, .line = read_in},
        // The third console write is the empty line after the report.
        {.name = "output_fails_after_report",
         .command = "strace -f -o /dev/null -P \"$OUT\" -e trace=write -e inject=write:error=EIO:when=3 "
                    "\"$LOSS\"" + streams,
         .status = 38, .code = EIO, .line = write_out, .left = expected_report()},
    };
    for (const failure_case& c : cases)
        check(c);
}

TEST_F(failure_test, opening_the_report)
{
    const std::string not_found = severe(29, "file not found, unit 1, file ");
    const std::string denied = severe(9, on_report("permission to access file denied", "{report}"));
    const std::string read_only = severe(47, on_report("write to READONLY file", "{report}"));
    const std::string open_failure = severe(30, on_report("open failure", "{report}"));
    const std::string in_ro_mount = "unshare -m sh -c 'mount --bind . . && mount -o remount,ro,bind . && "
                                    "cd \"$PWD\" && exec \"$LOSS\"" + streams + "'";
    const failure_case cases[] = {
        {.name = "directory_missing", .command = "\"$LOSS\"" + streams, .input = "x/y\n", .status = 29,
         .code = 0, .line = not_found + path("loss-x/y.rez")},
        {.name = "not_a_directory", .prepare = "touch loss-f", .command = "\"$LOSS\"" + streams,
         .input = "f/y\n", .status = 29, .code = 0, .line = not_found + path("loss-f/y.rez")},
        {.name = "directory_not_writable", .prepare = "chmod 555 .", .command = as_nobody + "\"$LOSS\"" + streams,
         .status = 9, .code = 0, .line = denied, .as_root = true},
        {.name = "read_only_file", .prepare = "printf old > loss-A.rez && chmod 444 loss-A.rez",
         .command = as_nobody + "\"$LOSS\"" + streams, .status = 47, .code = 0, .line = read_only,
         .left = "old", .as_root = true},
        {.name = "read_only_file_system", .prepare = "printf old > loss-A.rez", .command = in_ro_mount,
         .status = 47, .code = 0, .line = read_only, .left = "old", .as_root = true},
        {.name = "read_only_file_system_new_file", .command = in_ro_mount, .status = 9, .code = 0,
         .line = denied, .as_root = true},
        // flock(1) takes the same lock as the program and holds it while
        // the program runs.
        {.name = "held_by_another_writer", .prepare = "printf old > loss-A.rez",
         .command = "flock -x loss-A.rez \"$LOSS\"" + streams, .status = 47, .code = 0, .line = read_only,
         .left = "old"},
        {.name = "symbolic_link_loop", .prepare = "ln -s loss-A.rez loss-A.rez", .command = "\"$LOSS\"" + streams,
         .status = 30, .code = ELOOP, .line = open_failure, .left = ""},
        {.name = "too_many_open_files",
         .command = "strace -f -o /dev/null -P loss-A.rez -e trace=openat -e inject=openat:error=EMFILE "
                    "\"$LOSS\"" + streams,
         .status = 30, .code = 0, .line = open_failure},
    };
    for (const failure_case& c : cases)
        check(c);
}

TEST_F(failure_test, writing_the_report)
{
    const std::string write_error = severe(38, on_report("error during write", "{report}"));
    const std::string report = expected_report();
    const std::string old_file = "printf '%4000s' '' | tr ' ' '#' > loss-A.rez";
    const failure_case cases[] = {
        // The title line fails: the file is not cut and keeps all it had.
        {.name = "title_line", .prepare = old_file,
         .command = "strace -f -o /dev/null -P \"$PWD/loss-A.rez\" -e trace=write -e inject=write:error=ENOSPC \"$LOSS\"" +
                    streams,
         .status = 38, .code = ENOSPC, .line = write_error, .left = old_content},
        // The file size limit stops the row for x = 100 partway (standard
        // error goes through a pipe, out of the limit's reach).
        {.name = "disk_fills_up", .command = "mkfifo \"$ERR.fifo\"; cat \"$ERR.fifo\" > \"$ERR\" & trap '' XFSZ; "
                    "prlimit --fsize=200 \"$LOSS\" < \"$IN\" > \"$OUT\" 2> \"$ERR.fifo\"; s=$?; wait; exit $s",
         .status = 38, .code = EFBIG, .line = write_error, .left = report.substr(0, 200)},
        // No cut: the older file keeps what lies past the title line.
        {.name = "cut_fails", .prepare = old_file,
         .command = "strace -f -o /dev/null -e trace=ftruncate -e inject=ftruncate:error=EIO \"$LOSS\"" + streams,
         .status = 38, .code = EIO, .line = write_error,
         .left = report.substr(0, 26) + old_content.substr(26)},
        // A late error is not announced as a finished report.
        {.name = "flush_fails",
         .command = "strace -f -o /dev/null -e trace=fdatasync -e inject=fdatasync:error=EIO \"$LOSS\"" + streams,
         .status = 38, .code = EIO, .line = write_error, .left = report},
    };
    for (const failure_case& c : cases)
        check(c);
}

TEST_F(failure_test, label_holding_nul_creates_nothing)
{
    outcome o = run("a" + std::string(1, '\0') + "b\n");
    EXPECT_EQ(o.status, 43);
    EXPECT_TRUE(is_diagnostic(o.err, "",
                              severe(43, on_report("file name specification error",
                                                   path("loss-a" + std::string(1, '\0') + "b.rez")))));
    EXPECT_EQ(run_shell("ls -A | grep -q .").status, 1) << "something was created";
}

TEST_F(failure_test, report_name_is_a_directory)
{
    ASSERT_EQ(mkdir(path("loss-A.rez").c_str(), 0777), 0);
    outcome o = run("A\n");
    EXPECT_EQ(o.status, 9);
    EXPECT_TRUE(is_diagnostic(o.err, "", severe(9, on_report("permission to access file denied",
                                                              path("loss-A.rez")))));
    EXPECT_EQ(run_shell("rmdir loss-A.rez").status, 0) << "the directory is no longer empty";
}

TEST_F(failure_test, report_name_is_a_socket)
{
    int s = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path("loss-A.rez").c_str(), sizeof address.sun_path - 1);
    ASSERT_EQ(bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    outcome o = run("A\n");
    close(s);
    EXPECT_EQ(o.status, 42);
    EXPECT_TRUE(is_diagnostic(o.err, "", severe(42, on_report("no such device", path("loss-A.rez")))));
}

TEST_F(failure_test, standard_output_closed)
{
    outcome o = run_shell("\"$LOSS\" < \"$IN\" >&- 2> \"$ERR\"", "A\n");
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.err, "");
    EXPECT_EQ(read_file(path("loss-A.rez")), expected_report());
}

TEST_F(failure_test, standard_error_closed)
{
    outcome o = run_shell("\"$LOSS\" < /dev/null > \"$OUT\" 2>&-");
    EXPECT_EQ(o.status, 24);
    EXPECT_EQ(o.out, dialogue_start);
}

// A pipe whose reader has gone: EPIPE, not a silent death by SIGPIPE.
TEST_F(failure_test, output_pipe_closed_by_its_reader)
{
    int pipe_ends[2];
    ASSERT_EQ(pipe(pipe_ends), 0);
    close(pipe_ends[0]);
    int in = open("/dev/null", O_RDONLY), err = open(io("err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    process p(dir(), in, pipe_ends[1], err);
    close(pipe_ends[1]);
    EXPECT_EQ(p.wait(), 38);
    EXPECT_TRUE(is_diagnostic(read_file(io("err")), std::strerror(EPIPE),
                              severe(38, "error during write, unit -1, file CONOUT$")));
    close(in);
    close(err);
}

// The diagnostic and its listing go out in one write, after the system
// text line.
TEST_F(failure_test, diagnostic_in_one_write)
{
    outcome o = run_shell("strace -f -o \"$OUT.trace\" -e trace=write -e signal=none \"$LOSS\" < / > \"$OUT\" 2> \"$ERR\"");
    EXPECT_EQ(o.status, 39);
    std::string trace = read_file(io("out.trace"));
    std::size_t writes = 0;
    for (std::size_t at = 0; (at = trace.find("write(2, ", at)) != std::string::npos; ++at)
        ++writes;
    EXPECT_EQ(writes, 2u) << trace;
}

} // namespace
