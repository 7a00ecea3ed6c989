#include "drive_run.h"

#include "console.h"
#include "evaluate_point.h"
#include "general_field.h"
#include "report_file.h"
#include "texts.h"

namespace {

constexpr int rows = 7;

std::string report_row(float x)
{
    float f_single, g_single;
    binary128 f_quad;
    evaluate_point(x, f_single, f_quad, g_single);
    return render_general_field(x, 8, 1) + render_general_field(f_single, 16, 7) +
           render_general_field(f_quad, 17, 8) + std::string(texts::row_gap) +
           render_general_field(g_single, 16, 7);
}

} // namespace

void drive_run()
{
    write_console_line(texts::opening);
    write_console(texts::prompt);
    std::string name = report_name(read_label());

    report r = open_report(name);
    write_report_line(r, texts::title);
    cut_report(r);  // an older, longer file keeps nothing of its own
    write_report_line(r, "");
    write_report_line(r, texts::header);
    float x = 1;
    for (int i = 1; i <= rows; ++i) {
        x *= 10;  // exact: 10^7 < 2^24
        write_report_line(r, report_row(x));
    }
    flush_report(r);

    write_console_line("");
    write_console_line(std::string(texts::report_shown) + name);
    write_console_line("");
    write_console_line(texts::key_prompt);
    wait_for_key();
}
