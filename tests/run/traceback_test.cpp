#include "traceback.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

const std::string header =
    "Image              PC        Routine            Line        Source             \r\n";
const std::string broken = "\r\nStack trace terminated abnormally.\r\n";

TEST(append_listing, columns)
{
    platform::frame frames[] = {
        {"loss", 0x3D5B},
        {"a_module_named_20ch", 0xDEADBEEF},  // cut to 17 characters
        {"", 0x12345678},                     // in no module
    };
    std::string text = "diagnostic\r\n";
    append_listing(text, frames, 3, true);
    EXPECT_EQ(header.size(), 79u + 2);
    EXPECT_EQ(text, "diagnostic\r\n" + header +
                        "loss               00003D5B  Unknown               Unknown  Unknown\r\n"
                        "a_module_named_20  DEADBEEF  Unknown               Unknown  Unknown\r\n"
                        "                   12345678  Unknown               Unknown  Unknown\r\n");
}

TEST(append_listing, walk_that_stops_short)
{
    platform::frame frame{"loss", 1};
    std::string text;
    append_listing(text, &frame, 1, false);
    EXPECT_EQ(text, header + "loss               00000001  Unknown               Unknown  Unknown\r\n" + broken);

    std::string nothing;
    append_listing(nothing, nullptr, 0, false);
    EXPECT_EQ(nothing, broken);
}

// The frame line that would cross 16,383 characters is cut there and is
// the last.
TEST(append_listing, limit)
{
    std::vector<platform::frame> frames(300, platform::frame{"loss", 0});
    std::string text(100, 'd');
    append_listing(text, frames.data(), static_cast<int>(frames.size()), false);
    ASSERT_EQ(text.size(), diagnostic_limit);
    const std::string line = "loss               00000000  Unknown               Unknown  Unknown\r\n";
    std::size_t cut = (diagnostic_limit - 100 - header.size()) % line.size();
    ASSERT_NE(cut, 0u);
    EXPECT_EQ(text.substr(text.size() - cut), line.substr(0, cut));
    EXPECT_EQ(text.find("Stack trace"), std::string::npos);
}

TEST(append_traceback, lists_the_calling_thread)
{
    std::string text;
    append_traceback(text);
    ASSERT_EQ(text.substr(0, header.size()), header);
    EXPECT_NE(text.find("libc.so.6          "), std::string::npos) << text;
}

} // namespace
