#include "evaluate_point.h"

#include <bit>
#include <cmath>
#include <cstdint>

#include <gtest/gtest.h>

namespace {

struct point {
    std::uint32_t x, f_single;
    std::uint64_t f_quad_high, f_quad_low;
    std::uint32_t g_single;
};

// The seven calls of a run, bit for bit.
constexpr point run_points[] = {
    {0x41200000, 0x40EA6D0B, 0x4001D4DA16170141, 0x34C9B70D3DCE3F48, 0x40EA6D0B},
    {0x42C80000, 0x4225AF78, 0x40044B5EF057B169, 0xF5719ACDAB6D713B, 0x4225AF78},
    {0x447A0000, 0x431A58E4, 0x400634B1BB596DD8, 0xFE7F6C4402B7D742, 0x431A58DE},
    {0x461C4000, 0x43F960D2, 0x4007F2C1978B7B80, 0xD4D13603ED77FB7F, 0x43F960CC},
    {0x47C35000, 0x44C599F0, 0x40098B2F99DE9930, 0x81B6B70A563EEFD9, 0x44C597CD},
    {0x49742400, 0x459C363C, 0x400B387E0054AD1D, 0xE4F3005C99C3F1C9, 0x459C3F00},
    {0x4B189680, 0x4677F490, 0x400CEE1ACAC4CC77, 0xFB8AF3A39DAC10E4, 0x46770D65},
};

TEST(evaluate_point, run_points_bit_for_bit)
{
    float x = 1;
    for (const point& p : run_points) {
        x *= 10;
        ASSERT_EQ(std::bit_cast<std::uint32_t>(x), p.x);
        float f_single = 0, g_single = 0;
        binary128 f_quad{};
        evaluate_point(x, f_single, f_quad, g_single);
        EXPECT_EQ(std::bit_cast<std::uint32_t>(f_single), p.f_single) << "x = " << x;
        EXPECT_EQ(f_quad, binary128::from_bits(p.f_quad_high, p.f_quad_low)) << "x = " << x;
        EXPECT_EQ(std::bit_cast<std::uint32_t>(g_single), p.g_single) << "x = " << x;
    }
}

std::uint32_t bits(float v) { return std::bit_cast<std::uint32_t>(v); }

// The intermediate values of x = 10, each one operation.
TEST(evaluate_point, worked_example_at_ten)
{
    float x = 10;
    EXPECT_EQ(bits(0.1f * x), 0x3F800000u);
    EXPECT_EQ(bits(x + 100.0f), 0x42DC0000u);
    EXPECT_EQ(bits(std::sqrt(x + 100.0f)), 0x4127CF36u);
    EXPECT_EQ(bits(std::sqrt(x)), 0x404A62C2u);
    EXPECT_EQ(bits(std::sqrt(x + 100.0f) - std::sqrt(x)), 0x40EA6D0Bu);
    EXPECT_EQ(bits(10.0f * x), 0x42C80000u);
    // A tie, decided by ties to even: the odd neighbour 415A67E7 would
    // print 7.325810.
    EXPECT_EQ(bits(std::sqrt(100.0f + x) + std::sqrt(x)), 0x415A67E6u);

    binary128 big_x = widen(x);
    binary128 big_s = big_x + widen(100.0f);
    EXPECT_EQ(big_s, binary128::from_bits(0x4005B80000000000, 0));
    binary128 root_s = sqrt(big_s), root_x = sqrt(big_x);
    EXPECT_EQ(root_s, binary128::from_bits(0x40024F9E6BBC4ECB, 0x3073969806124FC6));
    EXPECT_EQ(root_x, binary128::from_bits(0x400094C583ADA5B5, 0x29204A2BC830CD9C));
    binary128 big_t = widen(0.1f) * big_x;
    EXPECT_EQ(widen(0.1f), binary128::from_bits(0x3FFB99999A000000, 0));
    EXPECT_EQ(big_t, binary128::from_bits(0x3FFF000000400000, 0));
    binary128 big_d = root_s - root_x;
    EXPECT_EQ(big_d, binary128::from_bits(0x4001D4DA15A1CABB, 0xCC57081A280C38BE));
    EXPECT_EQ(big_t * big_d, binary128::from_bits(0x4001D4DA16170141, 0x34C9B70D3DCE3F48));
}

} // namespace
