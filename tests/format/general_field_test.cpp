#include "general_field.h"

#include <bit>
#include <cfenv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <string>

#include <gtest/gtest.h>

namespace {

float f32(std::uint32_t bits) { return std::bit_cast<float>(bits); }
binary128 f128(std::uint64_t high, std::uint64_t low) { return binary128::from_bits(high, low); }

// A field written as blanks before / text / blanks after.
std::string field(int before, const std::string& text, int after)
{
    return std::string(before, ' ') + text + std::string(after, ' ');
}

struct report_row {
    std::uint32_t x, f_single;
    std::uint64_t f_quad_high, f_quad_low;
    std::uint32_t g_single;
    const char *x_text, *f_single_text, *f_quad_text, *g_single_text;
};

const report_row report_rows[] = {
    {0x41200000, 0x40EA6D0B, 0x4001D4DA16170141, 0x34C9B70D3DCE3F48, 0x40EA6D0B,
     "1.0E+01", "7.325811", "7.3258109", "7.325811"},
    {0x42C80000, 0x4225AF78, 0x40044B5EF057B169, 0xF5719ACDAB6D713B, 0x4225AF78,
     "1.0E+02", "41.42136", "41.421357", "41.42136"},
    {0x447A0000, 0x431A58E4, 0x400634B1BB596DD8, 0xFE7F6C4402B7D742, 0x431A58DE,
     "1.0E+03", "154.3472", "154.34713", "154.3471"},
    {0x461C4000, 0x43F960D2, 0x4007F2C1978B7B80, 0xD4D13603ED77FB7F, 0x43F960CC,
     "1.0E+04", "498.7564", "498.75622", "498.7562"},
    {0x47C35000, 0x44C599F0, 0x40098B2F99DE9930, 0x81B6B70A563EEFD9, 0x44C597CD,
     "1.0E+05", "1580.811", "1580.7438", "1580.744"},
    {0x49742400, 0x459C363C, 0x400B387E0054AD1D, 0xE4F3005C99C3F1C9, 0x459C3F00,
     "1.0E+06", "4998.779", "4999.8751", "4999.875"},
    {0x4B189680, 0x4677F490, 0x400CEE1ACAC4CC77, 0xFB8AF3A39DAC10E4, 0x46770D65,
     "1.0E+07", "15869.14", "15811.349", "15811.35"},
};

void expect_report_rows()
{
    for (const report_row& r : report_rows) {
        EXPECT_EQ(render_general_field(f32(r.x), 8, 1), field(1, r.x_text, 0));
        EXPECT_EQ(render_general_field(f32(r.f_single), 16, 7), field(4, r.f_single_text, 4));
        EXPECT_EQ(render_general_field(f128(r.f_quad_high, r.f_quad_low), 17, 8),
                  field(4, r.f_quad_text, 4));
        EXPECT_EQ(render_general_field(f32(r.g_single), 16, 7), field(4, r.g_single_text, 4));
    }
}

TEST(render_general_field, report_rows) { expect_report_rows(); }

struct field_case {
    const char* name;
    std::string got;
    int before;
    const char* text;
    int after;
};

constexpr float inf32 = std::numeric_limits<float>::infinity();
constexpr float nan32 = std::numeric_limits<float>::quiet_NaN();
const binary128 inf128 = f128(0x7FFF000000000000, 0);

TEST(render_general_field, further_cases)
{
    const field_case cases[] = {
        {"negative_exponent_form", render_general_field(-10.0f, 8, 1), 0, "-1.0E+01", 0},
        {"nines_carry_to_exponent", render_general_field(9.5f, 8, 1), 1, "9.5E+00", 0},
        {"just_below_nines", render_general_field(9.499999f, 8, 1), 2, "9.", 4},
        {"carry_raises_u", render_general_field(0.96f, 8, 1), 2, "1.", 4},
        {"tie_to_even_down", render_general_field(2.5f, 8, 1), 2, "2.", 4},
        {"tie_to_even_up", render_general_field(3.5f, 8, 1), 2, "4.", 4},
        {"fraction_tie_to_even", render_general_field(0.25f, 8, 1), 1, "0.2", 4},
        {"exponent_tie_down", render_general_field(12.5f, 8, 1), 1, "1.2E+01", 0},
        {"exponent_tie_up", render_general_field(13.5f, 8, 1), 1, "1.4E+01", 0},
        {"negative_below_one", render_general_field(-0.5f, 8, 1), 0, "-0.5", 4},
        {"carry_from_u_minus_one", render_general_field(0.096f, 8, 1), 1, "0.1", 4},
        {"u_minus_one_exponent", render_general_field(0.09f, 8, 1), 1, "9.0E-02", 0},
        {"zero", render_general_field(0.0f, 8, 1), 2, "0.", 4},
        {"negative_zero", render_general_field(-0.0f, 8, 1), 2, "0.", 4},
        {"zero_seven_digits", render_general_field(0.0f, 16, 7), 4, "0.000000", 4},
        {"negative_zero_seven_digits", render_general_field(-0.0f, 16, 7), 4, "0.000000", 4},
        {"binary128_zero", render_general_field(f128(0, 0), 17, 8), 4, "0.0000000", 4},
        {"binary128_negative_zero", render_general_field(f128(0x8000000000000000, 0), 17, 8), 4,
         "0.0000000", 4},
        {"negative_fixed", render_general_field(f32(0xC0EA6D0B), 16, 7), 3, "-7.325811", 4},
        {"half", render_general_field(0.5f, 16, 7), 3, "0.5000000", 4},
        {"negative_half", render_general_field(-0.5f, 16, 7), 2, "-0.5000000", 4},
        {"largest_fixed", render_general_field(9999999.0f, 16, 7), 4, "9999999.", 4},
        {"ten_million", render_general_field(1e7f, 16, 7), 3, "1.0000000E+07", 0},
        {"hundred_million", render_general_field(1e8f, 16, 7), 3, "1.0000000E+08", 0},
        {"small_exponent_form", render_general_field(0.001234f, 16, 7), 3, "1.2340000E-03", 0},
        {"negative_small", render_general_field(-0.001234f, 16, 7), 2, "-1.2340000E-03", 0},
        {"tenth", render_general_field(0.1f, 16, 7), 3, "0.1000000", 4},
        {"just_below_tenth", render_general_field(0.099999994f, 16, 7), 3, "9.9999994E-02", 0},
        {"smallest_subnormal", render_general_field(f32(1), 16, 7), 3, "1.4012985E-45", 0},
        {"three_digit_exponent", render_general_field(f128(0x414B249AD2594C37, 0xCEB0B2784C4CE0BF), 17, 8),
         3, "1.00000000+100", 0},
        {"four_digit_exponent", render_general_field(f128(0x73E6A3750647FCAB, 0x18C21AB905450CC3), 17, 8),
         2, "1.00000000+4000", 0},
        {"negative_four_digit_exponent",
         render_general_field(f128(0x8C1781C7235642EA, 0xB87DB5E0624B8413), 17, 8), 1, "-1.23456789-4000", 0},
        {"nines_below_half", render_general_field(f128(0x40197D783FD00000, 0), 17, 8), 4, "99999999.", 4},
        {"nines_at_half", render_general_field(f128(0x40197D783FE00000, 0), 17, 8), 3, "9.99999995E+07", 0},
        {"below_tenth_exponent", render_general_field(f128(0x3FFB999999768D95, 0xCA40214B88CE4808), 17, 8),
         3, "9.99999995E-02", 0},
        // The pre-rounding to 17 digits makes this value's ninth digit a 5.
        {"pre_rounding_decides",
         render_general_field(f128(0x3FFB999999773D81, 0xC948F8DC123AF753), 17, 8), 3, "0.10000000", 4},
        {"too_narrow_exponent", render_general_field(10.0f, 6, 1), 0, "******", 0},
        {"too_narrow_fixed", render_general_field(5.0f, 5, 1), 0, "*****", 0},
        {"nan_exponent_layout", render_general_field(nan32, 8, 1), 1, "NaN", 4},
        {"nan_fixed_layout", render_general_field(nan32, 16, 7), 13, "NaN", 0},
        {"negative_nan", render_general_field(-nan32, 16, 7), 13, "NaN", 0},
        {"binary128_nan", render_general_field(f128(0x7FFF800000000000, 0), 17, 8), 14, "NaN", 0},
        {"infinity_too_wide", render_general_field(inf32, 8, 1), 0, "********", 0},
        {"negative_infinity_too_wide", render_general_field(-inf32, 8, 1), 0, "********", 0},
        {"infinity", render_general_field(inf32, 16, 7), 1, "Infinity", 7},
        {"negative_infinity", render_general_field(-inf32, 16, 7), 1, "-Infinity", 6},
        {"binary128_infinity", render_general_field(inf128, 17, 8), 9, "Infinity", 0},
        {"binary128_negative_infinity", render_general_field(f128(0xFFFF000000000000, 0), 17, 8), 8,
         "-Infinity", 0},
        // Narrow fields: Inf in place of Infinity, then asterisks.
        {"infinity_shortened", render_general_field(inf128, 11, 8), 8, "Inf", 0},
        {"negative_infinity_shortened", render_general_field(f128(0xFFFF000000000000, 0), 12, 8), 8, "-Inf", 0},
        {"nan_no_room", render_general_field(nan32, 6, 3), 0, "******", 0},
    };
    for (const field_case& c : cases)
        EXPECT_EQ(c.got, field(c.before, c.text, c.after)) << c.name;
}

TEST(render_general_field, binary128_extremes)
{
    EXPECT_EQ(render_general_field(f128(0x7FFEFFFFFFFFFFFF, ~0ull), 17, 8), field(2, "1.18973150+4932", 0));
    EXPECT_EQ(render_general_field(f128(0, 1), 17, 8), field(2, "6.47517512-4966", 0));
    EXPECT_EQ(render_general_field(f128(0x8000000000000000, 1), 17, 8), field(1, "-6.47517512-4966", 0));
}

std::string printed(const char* format, int digits, float value)
{
    char text[64];
    std::snprintf(text, sizeof text, format, digits, static_cast<double>(value));
    return text;
}

// An independent statement of the field for binary32 values: fixed form
// exactly when the value rounded to d digits lies in [0.1, 10^d), with d - u
// places where u counts the digits before the point of that rounded value;
// the digits themselves from glibc, which prints doubles exactly.
std::string reference_field(float value, int w, int d)
{
    std::string rounded = printed("%.*e", d - 1, std::fabs(value));
    int u = std::atoi(rounded.c_str() + rounded.find('e') + 1) + 1;
    std::string text;
    int before;
    if (u >= 0 && u <= d) {
        text = printed("%#.*f", d - u, value);
        before = w - 4 - static_cast<int>(text.size());
    } else {
        text = printed("%.*E", d, value);
        before = w - static_cast<int>(text.size());
    }
    return field(before, text, w - before - static_cast<int>(text.size()));
}

TEST(render_general_field, random_binary32_matches_glibc)
{
    std::mt19937 rng(20261211);
    for (int i = 0; i < 200000; ++i) {
        float x = std::bit_cast<float>(static_cast<std::uint32_t>(rng()));
        if (i % 2)  // half of them within the range where the fixed form is chosen
            x = std::ldexp(std::bit_cast<float>(static_cast<std::uint32_t>((rng() & 0x807FFFFF) | 0x3F800000)), rng() % 32 - 5);
        if (!std::isfinite(x) || x == 0)
            continue;
        ASSERT_EQ(render_general_field(x, 16, 7), reference_field(x, 16, 7)) << std::hexfloat << x;
        ASSERT_EQ(render_general_field(x, 8, 1), reference_field(x, 8, 1)) << std::hexfloat << x;
    }
}

// The digits come from integers alone: the processor's rounding direction
// changes nothing.
TEST(render_general_field, independent_of_rounding_direction)
{
    for (int mode : {FE_UPWARD, FE_DOWNWARD, FE_TOWARDZERO, FE_TONEAREST}) {
        ASSERT_EQ(std::fesetround(mode), 0);
        expect_report_rows();
        EXPECT_EQ(render_general_field(0.096f, 8, 1), field(1, "0.1", 4));
        EXPECT_EQ(render_general_field(f128(0x3FFB999999773D81, 0xC948F8DC123AF753), 17, 8),
                  field(3, "0.10000000", 4));
    }
    std::fesetround(FE_TONEAREST);
}

} // namespace
