#include "traceback.h"

#include <algorithm>

#include "texts.h"

namespace {

constexpr std::size_t name_width = 17;  // image and routine columns
constexpr std::size_t line_width = 10;
constexpr int most_frames = 256;

std::string left(std::string_view text, std::size_t width)
{
    std::string out(text.substr(0, width));
    out.resize(width, ' ');
    return out;
}

std::string frame_line(const platform::frame& f)
{
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string pc(8, '0');
    for (int i = 0; i < 8; ++i)
        pc[7 - i] = hex[(f.pc >> (4 * i)) & 0xF];
    std::string line_column(line_width - texts::unknown.size(), ' ');
    line_column += texts::unknown;
    return left(f.module, name_width) + "  " + pc + "  " + left(texts::unknown, name_width) + "  " +
           line_column + "  " + std::string(texts::unknown) + std::string(texts::line_end);
}

} // namespace

void append_listing(std::string& text, const platform::frame* frames, int count, bool complete)
{
    auto add = [&text](std::string_view line) {
        std::size_t room = diagnostic_limit - std::min(text.size(), diagnostic_limit);
        text.append(line.substr(0, room));
        return line.size() <= room;
    };
    auto add_broken = [&] {
        add(texts::line_end) && add(std::string(texts::listing_broken) + std::string(texts::line_end));
    };
    if (count == 0)
        return add_broken();
    if (!add(std::string(texts::listing_header) + std::string(texts::line_end)))
        return;
    for (int i = 0; i < count; ++i)
        if (!add(frame_line(frames[i])))
            return;
    if (!complete)
        add_broken();
}

void append_traceback(std::string& text)
{
    platform::frame frames[most_frames];
    int count = platform::stack_frames(frames, most_frames);
    append_listing(text, frames, count, count < most_frames);
}
