// The three ways the process ends.  Each closes the report once, puts the
// terminal back as it was found, and leaves with _exit; whichever comes
// first is the only one that writes or exits, the others wait for the end.
#pragma once

#include <string>
#include <string_view>

// Unit numbers of the run's files in diagnostics.
constexpr int stdin_unit = -4, stdout_unit = -1, report_unit = 1;

// A failed input or output operation: the system text line of `code` (when
// not 0), the diagnostic line with its call-stack listing, then the end of
// the process with `number` as exit status.
[[noreturn]] void report_io_failure(int number, int unit, std::string_view file, int code);

// Events 0 (Ctrl-C), 1 (break) and 2 (terminal gone) end the process with
// diagnostic 200 and the event as exit status; any other is left alone
// (false).
bool handle_console_event(int event);

// The normal end, after the run: status 0, nothing written.
[[noreturn]] void finish_process();

// The report that the end of the process closes, and its name in
// diagnostics.
void report_opened(int fd, const std::string& path);
