#include "termination.h"

#include <atomic>

#include "platform.h"
#include "texts.h"
#include "traceback.h"

namespace {

std::atomic<bool> ending;
std::atomic<int> open_report{-1};
std::string report_path;

// The gate: the first caller goes on to end the process; any later one,
// on another thread, waits for that end.
void enter_ending()
{
    if (ending.exchange(true))
        platform::wait_forever();
}

std::string substitute(std::string_view pattern, std::string_view marker, std::string_view value)
{
    std::string out(pattern);
    if (auto at = out.find(marker); at != std::string::npos)
        out.replace(at, marker.size(), value);
    return out;
}

// Standard error that cannot be written shows nothing; the end goes on.
void write_diagnostic(std::string line)
{
    line += texts::line_end;
    append_traceback(line);
    platform::write_all(platform::stderr_fd, line);
}

[[noreturn]] void end_process(int status)
{
    int fd = open_report.exchange(-1);
    if (fd >= 0)
        platform::close_file(fd);
    platform::restore_terminal();
    platform::exit_now(status);
}

[[noreturn]] void fail(int number, int unit, std::string_view file, int code)
{
    if (code != 0) {
        std::string system_line(texts::system_prefix);
        system_line += platform::error_text(code);
        system_line += texts::line_end;
        platform::write_all(platform::stderr_fd, system_line);
    }
    std::string_view text;
    for (const texts::diagnostic& d : texts::diagnostics)
        if (d.number == number)
            text = d.text;
    write_diagnostic(substitute(texts::severe_prefix, "%d", std::to_string(number)) +
                     substitute(substitute(text, "%d", std::to_string(unit)), "%s", file));
    end_process(number);
}

} // namespace

void report_opened(int fd, const std::string& path)
{
    report_path = path;
    open_report = fd;
}

void report_io_failure(int number, int unit, std::string_view file, int code)
{
    enter_ending();
    fail(number, unit, file, code);
}

bool handle_console_event(int event)
{
    if (event < 0 || event > 2)
        return false;
    enter_ending();
    write_diagnostic(substitute(texts::error_prefix, "%d", std::to_string(texts::event_number)) +
                     substitute(texts::event_text, "%s", texts::event_names[event]));
    end_process(event);
}

void finish_process()
{
    enter_ending();
    // The report was flushed after its last line; a failing close is
    // still a failed write, not a finished report.
    int fd = open_report.exchange(-1);
    if (fd >= 0)
        if (int code = platform::close_file(fd))
            fail(38, report_unit, report_path, code);
    end_process(0);
}
