#include "platform.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <clocale>
#include <csignal>
#include <cstring>

#include <dlfcn.h>
#include <execinfo.h>
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <sched.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace platform {

namespace {

constexpr int console_signals[] = {SIGINT, SIGQUIT, SIGHUP};

// The main program's load address and file name, found at start-up so that
// the stack walk needs neither memory nor a descriptor later.
const void* main_base;
char main_name[NAME_MAX + 1];

std::atomic<bool> terminal_changed;
int changed_terminal = -1;
termios saved_terminal;

void reserve_standard_descriptors()
{
    for (int fd : {stdin_fd, stdout_fd, stderr_fd})
        if (fcntl(fd, F_GETFD) == -1 && errno == EBADF)
            open("/", O_PATH);  // takes the lowest free number: fd
}

void load_stack_walk()
{
    void* probe[1];
    backtrace(probe, 1);  // loads libgcc_s now, while descriptors are free
    Dl_info info;
    if (dladdr(reinterpret_cast<void*>(&load_stack_walk), &info) != 0)
        main_base = info.dli_fbase;
    char path[PATH_MAX];
    ssize_t size = readlink("/proc/self/exe", path, sizeof path - 1);
    if (size > 0) {
        path[size] = '\0';
        std::string_view name(path, size);
        name.remove_prefix(name.rfind('/') + 1);
        name.copy(main_name, sizeof main_name - 1);
    }
}

sigset_t waited_signals;
event_handler console_event;

void* wait_for_events(void*)
{
    for (;;) {
        int sig;
        if (sigwait(&waited_signals, &sig) != 0)
            continue;
        for (int event = 0; event < 3; ++event)
            if (console_signals[event] == sig)
                console_event(event);
    }
}

// Blocked before any other thread exists, so that only the waiting thread
// ever takes them.
void block_console_signals()
{
    sigemptyset(&waited_signals);
    for (int sig : console_signals) {
        struct sigaction current;
        if (sigaction(sig, nullptr, &current) == 0 && current.sa_handler != SIG_IGN)
            sigaddset(&waited_signals, sig);
    }
    pthread_sigmask(SIG_BLOCK, &waited_signals, nullptr);
}

void start_event_thread(event_handler handler)
{
    console_event = handler;
    pthread_t thread;
    // Without the thread the signals keep their default action rather
    // than being blocked for good.
    if (pthread_create(&thread, nullptr, wait_for_events, nullptr) != 0)
        pthread_sigmask(SIG_UNBLOCK, &waited_signals, nullptr);
}

} // namespace

void start_process(event_handler handler)
{
    block_console_signals();
    reserve_standard_descriptors();
    std::signal(SIGPIPE, SIG_IGN);
    std::setlocale(LC_MESSAGES, "");
    load_stack_walk();
    start_event_thread(handler);
}

int write_all(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        ssize_t done = write(fd, bytes.data(), bytes.size());
        if (done < 0)
            return errno;
        bytes.remove_prefix(done);
    }
    return 0;
}

int read_byte(int fd, char& c, bool& end)
{
    ssize_t done = read(fd, &c, 1);
    end = done == 0;
    return done < 0 ? errno : 0;
}

void yield() { sched_yield(); }

int open_file(const std::string& name, bool for_writing, int& fd)
{
    fd = open(name.c_str(), (for_writing ? O_RDWR : O_RDONLY) | O_CREAT | O_CLOEXEC, 0666);
    return fd < 0 ? errno : 0;
}

int lock_exclusive(int fd) { return flock(fd, LOCK_EX | LOCK_NB) == 0 ? 0 : errno; }
int cut_file(int fd, std::int64_t length) { return ftruncate(fd, length) == 0 ? 0 : errno; }
int flush_file(int fd) { return fdatasync(fd) == 0 ? 0 : errno; }
int close_file(int fd) { return close(fd) == 0 ? 0 : errno; }

std::string current_directory()
{
    char path[PATH_MAX];
    return getcwd(path, sizeof path) ? path : "";
}

std::string error_text(int code) { return std::strerror(code); }

int open_terminal() { return open("/dev/tty", O_RDONLY | O_NOCTTY | O_CLOEXEC); }

void enter_key_mode(int terminal)
{
    if (tcgetattr(terminal, &saved_terminal) != 0)
        return;
    termios key_mode = saved_terminal;
    key_mode.c_lflag &= ~(ICANON | ECHO);
    key_mode.c_cc[VMIN] = 1;
    key_mode.c_cc[VTIME] = 0;
    changed_terminal = terminal;
    terminal_changed = true;  // before the change: an exit racing it restores
    tcsetattr(terminal, TCSANOW, &key_mode);
}

void restore_terminal()
{
    // TCSANOW: the key that ended the wait stays queued for the shell.
    if (terminal_changed.exchange(false))
        tcsetattr(changed_terminal, TCSANOW, &saved_terminal);
}

bool input_queued(int terminal)
{
    int queued = 0;
    return ioctl(terminal, FIONREAD, &queued) == 0 && queued > 0;
}

bool wait_for_input(int terminal)
{
    pollfd p{terminal, POLLIN, 0};
    int ready = poll(&p, 1, -1);
    return ready < 0 ? errno == EINTR : (p.revents & (POLLHUP | POLLERR | POLLNVAL)) == 0;
}

void terminal_lost()
{
    if (sigismember(&waited_signals, SIGHUP) != 1)
        return;
    kill(getpid(), SIGHUP);
    wait_forever();
}

int stack_frames(frame* frames, int capacity)
{
    constexpr int most = 256;
    void* addresses[most];
    int count = backtrace(addresses, capacity < most ? capacity : most);
    for (int i = 0; i < count; ++i) {
        auto address = reinterpret_cast<std::uintptr_t>(addresses[i]);
        Dl_info info;
        if (dladdr(addresses[i], &info) == 0 || info.dli_fname == nullptr) {
            frames[i] = {"", static_cast<std::uint32_t>(address)};
            continue;
        }
        std::string_view module = info.dli_fbase == main_base ? main_name : info.dli_fname;
        if (auto slash = module.rfind('/'); slash != std::string_view::npos)
            module.remove_prefix(slash + 1);
        auto base = reinterpret_cast<std::uintptr_t>(info.dli_fbase);
        frames[i] = {module, static_cast<std::uint32_t>(address - base)};
    }
    return count;
}

void exit_now(int status) { _exit(status); }

void wait_forever()
{
    for (;;)
        pause();
}

} // namespace platform
