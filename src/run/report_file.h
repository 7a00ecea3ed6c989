// The report file: its name, opening it, and its lines.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

struct report {
    int fd = -1;
    bool read_only = false;
    std::string path;  // the name in diagnostics
    std::int64_t length = 0;
};

// "loss-" + the label without its trailing blanks + ".rez".
std::string report_name(const std::string& label);

// The name made absolute against `directory` and normalised without
// looking at the file system; the name itself when that is 257 characters
// or longer, or when the directory is unknown.
std::string diagnostic_path(const std::string& directory, const std::string& name);

// Opened or created for reading and writing, locked against other writers
// until the process ends.  A file that can only be read is opened
// read-only, and its first line then fails.
report open_report(const std::string& name);

// One line, in one write.
void write_report_line(report& r, std::string_view text);
// Cuts the file to what has been written so far.
void cut_report(report& r);
// To stable storage, so that a late write error is not taken for success.
void flush_report(report& r);
