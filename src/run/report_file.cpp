#include "report_file.h"

#include <cerrno>
#include <vector>

#include "platform.h"
#include "termination.h"
#include "texts.h"

namespace {

constexpr std::size_t path_limit = 257;

// The diagnostic number of a failed opening; `code` keeps the errno only
// where the diagnostic shows it.
int open_failure_number(int error, int& code)
{
    code = 0;
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return 29;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
        return 9;
    case ENXIO:
    case ENODEV:
        return 42;
    case ENAMETOOLONG:
    case EINVAL:
    case EILSEQ:
        return 43;
    case EMFILE:
    case ENFILE:
        return 30;
    default:
        code = error;
        return 30;
    }
}

} // namespace

std::string report_name(const std::string& label)
{
    std::string trimmed = label.substr(0, label.find_last_not_of(' ') + 1);
    return std::string(texts::name_prefix) + trimmed + std::string(texts::name_suffix);
}

std::string diagnostic_path(const std::string& directory, const std::string& name)
{
    if (directory.empty())
        return name;
    std::vector<std::string> parts;
    std::string joined = directory + "/" + name + "/";
    for (std::size_t start = 0, slash; (slash = joined.find('/', start)) != std::string::npos;
         start = slash + 1) {
        std::string part = joined.substr(start, slash - start);
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
    }
    std::string path;
    for (const std::string& part : parts)
        path += "/" + part;
    if (path.empty())
        path = "/";
    return path.size() >= path_limit ? name : path;
}

report open_report(const std::string& name)
{
    report r;
    r.path = diagnostic_path(platform::current_directory(), name);
    // A NUL would cut the name short and write another file.
    if (name.find('\0') != std::string::npos)
        report_io_failure(43, report_unit, r.path, 0);

    int error = platform::open_file(name, true, r.fd);
    if (error == 0 && (error = platform::lock_exclusive(r.fd)) != 0)
        platform::close_file(r.fd);
    // Refused writing, or held by another writer: read-only, once.
    if (error == EACCES || error == EPERM || error == EROFS || error == EWOULDBLOCK) {
        error = platform::open_file(name, false, r.fd);
        r.read_only = true;
    }
    if (error != 0) {
        int code;
        int number = open_failure_number(error, code);
        report_io_failure(number, report_unit, r.path, code);
    }
    report_opened(r.fd, r.path);
    return r;
}

void write_report_line(report& r, std::string_view text)
{
    if (r.read_only)
        report_io_failure(47, report_unit, r.path, 0);
    std::string line(text);
    line += texts::line_end;
    if (int code = platform::write_all(r.fd, line))
        report_io_failure(38, report_unit, r.path, code);
    r.length += static_cast<std::int64_t>(line.size());
}

void cut_report(report& r)
{
    if (int code = platform::cut_file(r.fd, r.length))
        report_io_failure(38, report_unit, r.path, code);
}

void flush_report(report& r)
{
    if (int code = platform::flush_file(r.fd))
        report_io_failure(38, report_unit, r.path, code);
}
