#include "report_file.h"

#include <gtest/gtest.h>

namespace {

std::string label(const std::string& text) { return text + std::string(40 - text.size(), ' '); }

TEST(report_name, trims_trailing_blanks_only)
{
    const struct {
        std::string label, name;
    } cases[] = {
        {label("A"), "loss-A.rez"},
        {label(""), "loss-.rez"},
        {label("  ab"), "loss-  ab.rez"},
        {label("ab\t"), "loss-ab\t.rez"},
        {label(std::string("a\0b", 3)), std::string("loss-a\0b.rez", 12)},
        {std::string(40, 'x'), "loss-" + std::string(40, 'x') + ".rez"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(report_name(c.label), c.name);
}

TEST(diagnostic_path, normalised_without_the_file_system)
{
    const struct {
        std::string directory, name, path;
    } cases[] = {
        {"/tmp/work", "loss-A.rez", "/tmp/work/loss-A.rez"},
        {"/tmp/work", "loss-x/y.rez", "/tmp/work/loss-x/y.rez"},
        {"/tmp/work", "loss-x/../../y.rez", "/tmp/y.rez"},
        {"/tmp/work", "loss-./././a.rez", "/tmp/work/loss-./a.rez"},
        {"/tmp//work/", "loss-a//b.rez", "/tmp/work/loss-a/b.rez"},
        {"/", "loss-/../../../a.rez", "/a.rez"},
        {"/tmp/work", "loss-a\\b.rez", "/tmp/work/loss-a\\b.rez"},
        {"", "loss-A.rez", "loss-A.rez"},
        // 256 characters in all is still a full path; 257 is not.
        {"/" + std::string(244, 'd'), "loss-A.rez", "/" + std::string(244, 'd') + "/loss-A.rez"},
        {"/" + std::string(245, 'd'), "loss-A.rez", "loss-A.rez"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(diagnostic_path(c.directory, c.name), c.path) << c.directory << " + " << c.name;
}

} // namespace
