#include "decimal_digits.h"

#include <bit>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>

#include <gtest/gtest.h>

namespace {

TEST(exact_decimal, known_expansions)
{
    const struct {
        const char* name;
        uint128 sig;
        int exp2;
        const char* digits;
        int point;
    } cases[] = {
        {"one", 1, 0, "1", 1},
        {"half", 1, -1, "5", 0},
        {"trailing_zeros_dropped", 1000, 0, "1", 4},
        {"binary32_tenth", 13421773, -27, "100000001490116119384765625", 0},
        {"binary32_smallest_subnormal", 1, -149,
         "1401298464324817070923729583289916131280261941876515771757068283889791082685860601486638188362121582031"
         "25",
         -44},
        {"two_to_the_64", 1, 64, "18446744073709551616", 20},
        {"limb_boundary", 1000000000, 0, "1", 10},
    };
    for (const auto& c : cases) {
        decimal d = exact_decimal(c.sig, c.exp2);
        EXPECT_EQ(d.digits, c.digits) << c.name;
        EXPECT_EQ(d.point, c.point) << c.name;
    }
    EXPECT_TRUE(exact_decimal(0, 5).is_zero());
}

// The extremes of binary128: the largest finite value has 4933 digits
// before the point, the smallest subnormal 2^-16494 starts 4966 places
// after it and has 11529 significant digits.
TEST(exact_decimal, binary128_extremes)
{
    uint128 max_sig = (uint128{1} << 113) - 1;
    decimal largest = exact_decimal(max_sig, 16383 - 112);
    EXPECT_EQ(largest.point, 4933);
    EXPECT_EQ(largest.digits.substr(0, 36), "118973149535723176508575932662800701");
    EXPECT_EQ(largest.digits.size(), 4933u);  // an integer ending in 2

    decimal smallest = exact_decimal(1, -16494);
    EXPECT_EQ(smallest.point, -4965);
    EXPECT_EQ(smallest.digits.substr(0, 20), "64751751194380251109");
    EXPECT_EQ(smallest.digits.size(), 11529u);
    EXPECT_EQ(smallest.digits.back(), '5');
}

// glibc prints the exact decimal value of a double, so it is an
// independent reference for every binary32 value.
TEST(exact_decimal, matches_glibc_for_random_binary32)
{
    std::mt19937 rng(32);
    for (int i = 0; i < 20000; ++i) {
        float x = std::bit_cast<float>(static_cast<std::uint32_t>(rng() & 0x7FFFFFFF));
        if (!std::isfinite(x) || x == 0)
            continue;
        int exp2;
        float frac = std::frexp(x, &exp2);
        auto sig = static_cast<uint128>(std::ldexp(frac, 24));
        decimal d = exact_decimal(sig, exp2 - 24);
        char text[200];
        std::snprintf(text, sizeof text, "%.120e", static_cast<double>(x));
        std::string mantissa = std::string(1, text[0]) + std::string(text + 2, 120);
        mantissa.erase(mantissa.find_last_not_of('0') + 1);
        ASSERT_EQ(d.digits, mantissa) << text;
        ASSERT_EQ(d.point, std::atoi(strchr(text, 'e') + 1) + 1) << text;
    }
}

TEST(round_to_digits, scenarios)
{
    const struct {
        const char* name;
        const char* digits;
        int point, keep;
        const char* want;
        int want_point;
    } cases[] = {
        {"exact_already", "125", 1, 3, "125", 1},
        {"round_down", "124", 1, 2, "12", 1},
        {"round_up", "126", 1, 2, "13", 1},
        {"round_to_even_down", "125", 1, 2, "12", 1},
        {"round_to_even_up", "135", 1, 2, "14", 1},
        {"above_half", "1251", 1, 2, "13", 1},
        {"carry", "9995", 0, 3, "1", 1},
        {"carry_inner", "1996", 2, 3, "2", 2},
        {"keep_none_up", "6", 0, 0, "1", 1},
        {"keep_none_tie_to_zero", "5", 0, 0, "", 0},
        {"keep_none_above_half", "51", 0, 0, "1", 1},
        {"rounding_to_zero", "4", -3, 0, "", 0},
        {"keep_negative", "9", -3, -1, "", 0},
    };
    for (const auto& c : cases) {
        decimal r = round_to_digits(decimal{c.digits, c.point}, c.keep);
        EXPECT_EQ(r.digits, c.want) << c.name;
        EXPECT_EQ(r.point, c.want_point) << c.name;
    }
}

} // namespace
