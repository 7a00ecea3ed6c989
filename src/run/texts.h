// Every fixed text the program writes: the Romanian dialogue and report,
// the English diagnostics.  Lines end in CR LF everywhere.
#pragma once

#include <string_view>

namespace texts {

inline constexpr std::string_view line_end = "\r\n";

// The console dialogue.  "C" stands for the label; the text never shows the
// actual one.
inline constexpr std::string_view opening = " Numele fisierului de iesire va fi: \"loss-C.rez\"";
inline constexpr std::string_view prompt = " Introdu \"C\" (text <=40 caractere): ";
inline constexpr std::string_view report_shown = "Fisier de iesire: ";
inline constexpr std::string_view key_prompt = "Apasa orice tasta";

// The report.
inline constexpr std::string_view name_prefix = "loss-";
inline constexpr std::string_view name_suffix = ".rez";
inline constexpr std::string_view title = "Pierdere de Semnificatie";
inline constexpr std::string_view header = " x         f(x):simpla     f(x):cvadrupla      g(x)";
inline constexpr std::string_view row_gap = "   ";

// The diagnostics: "%d" is a unit number, "%s" a file name or an event.
inline constexpr std::string_view system_prefix = "qalvor: ";
inline constexpr std::string_view severe_prefix = "qalvor: severe (%d): ";
inline constexpr std::string_view error_prefix = "qalvor: error (%d): ";

struct diagnostic {
    int number;
    std::string_view text;
};

inline constexpr diagnostic diagnostics[] = {
    {9, "permission to access file denied, unit %d, file %s"},
    {24, "end-of-file during read, unit %d, file %s"},
    {29, "file not found, unit %d, file %s"},
    {30, "open failure, unit %d, file %s"},
    {38, "error during write, unit %d, file %s"},
    {39, "error during read, unit %d, file %s"},
    {42, "no such device, unit %d, file %s"},
    {43, "file name specification error, unit %d, file %s"},
    {47, "write to READONLY file, unit %d, file %s"},
};

inline constexpr int event_number = 200;
inline constexpr std::string_view event_text = "program aborting due to %s event";
inline constexpr std::string_view event_names[] = {"control-C", "control-BREAK", "window-CLOSE"};

inline constexpr std::string_view stdin_name = "CONIN$";
inline constexpr std::string_view stdout_name = "CONOUT$";

inline constexpr std::string_view listing_header =
    "Image              PC        Routine            Line        Source             ";
inline constexpr std::string_view unknown = "Unknown";
inline constexpr std::string_view listing_broken = "Stack trace terminated abnormally.";

} // namespace texts
