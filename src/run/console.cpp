#include "console.h"

#include <cerrno>

#include "platform.h"
#include "termination.h"
#include "texts.h"

namespace {

int terminal = -1;

} // namespace

void write_console(std::string_view text)
{
    int code = platform::write_all(platform::stdout_fd, text);
    if (code != 0 && code != EBADF)
        report_io_failure(38, stdout_unit, texts::stdout_name, code);
}

void write_console_line(std::string_view text)
{
    std::string line(text);
    line += texts::line_end;
    write_console(line);
}

std::string read_label()
{
    // One byte more than the label: a CR there may be the one before LF.
    std::string line;
    std::size_t length = 0;
    for (;;) {
        char c;
        bool end;
        if (int code = platform::read_byte(platform::stdin_fd, c, end)) {
            // An interrupted read gives the console event the first chance
            // to end the process.
            if (code == EINTR)
                platform::yield();
            report_io_failure(39, stdin_unit, texts::stdin_name, code);
        }
        if (end) {
            if (length == 0)
                report_io_failure(24, stdin_unit, texts::stdin_name, 0);
            break;
        }
        if (c == '\n') {
            if (line.size() == length && !line.empty() && line.back() == '\r')
                line.pop_back();
            break;
        }
        if (line.size() <= label_size)
            line += c;
        ++length;
    }
    line.resize(label_size, ' ');
    return line;
}

bool key_pressed() { return terminal >= 0 && platform::input_queued(terminal); }

void wait_for_key()
{
    terminal = platform::open_terminal();
    if (terminal < 0)
        return;
    platform::enter_key_mode(terminal);
    // A hung-up terminal is the window closing, which no shell may have
    // signalled yet: without this the wait would end as if a key came.
    while (!key_pressed())
        if (!platform::wait_for_input(terminal))
            return platform::terminal_lost();
}
