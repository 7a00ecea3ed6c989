// The Linux layer: every system call of the program is made here.
//
// Calls report failure by returning the errno value (0 for success); what a
// failure means is decided by the caller.  Nothing here retries, except
// that a short write goes on with the rest of its bytes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// Console events, in the order of their codes: Ctrl-C, Ctrl-\ (break),
// the terminal going away.
using event_handler = void (*)(int event);

// Before anything else in main: descriptors 0 to 2 that are closed are
// reserved with descriptors that fail every read and write with EBADF, as
// a closed one would, so that no file the program opens takes their
// number; SIGPIPE is ignored (a closed pipe is an EPIPE failure); messages
// follow LC_MESSAGES of the environment; the stack walk is loaded; and one
// thread waits for SIGINT, SIGQUIT and SIGHUP, which no other thread
// receives, and passes each to `handler`.  A signal inherited as ignored
// stays ignored.
void start_process(event_handler handler);

constexpr int stdin_fd = 0, stdout_fd = 1, stderr_fd = 2;

int write_all(int fd, std::string_view bytes);
// One byte into c; `end` is set at the end of input.
int read_byte(int fd, char& c, bool& end);
void yield();

int open_file(const std::string& name, bool for_writing, int& fd);
int lock_exclusive(int fd);   // EWOULDBLOCK when another holds it
int cut_file(int fd, std::int64_t length);
int flush_file(int fd);
int close_file(int fd);
// The working directory, or "" when it cannot be had.
std::string current_directory();

// The message text of an errno value, in the language of LC_MESSAGES.
std::string error_text(int code);

// The controlling terminal, or -1 when the process has none.
int open_terminal();
// Non-canonical, no echo, signals kept; the settings it had are restored by
// restore_terminal, which does nothing when they were never changed.
void enter_key_mode(int terminal);
void restore_terminal();
bool input_queued(int terminal);
// Blocks until input is queued; false when the terminal has gone away.
bool wait_for_input(int terminal);
// The terminal has gone away: passed on as the event it is (SIGHUP to the
// process, taken by the waiting thread), and then never returns; returns
// at once when the caller had SIGHUP ignored.
void terminal_lost();

struct frame {
    std::string_view module;  // file name without directory; "" outside any module
    std::uint32_t pc;         // offset within the module, else the address's low 32 bits
};
// The calling thread's frames, innermost first; at most `capacity`.
int stack_frames(frame* frames, int capacity);

[[noreturn]] void exit_now(int status);
[[noreturn]] void wait_forever();

} // namespace platform
