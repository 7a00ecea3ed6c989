// The exact decimal value of a binary floating-point number, and its
// rounding to a given number of digits.  Integer arithmetic only, so the
// digits depend neither on the rounding mode nor on the locale.
#pragma once

#include <string>

#include "binary128.h"

// 0.d1 d2 ... dn x 10^point, with d1 and dn not zero; zero has no digits.
struct decimal {
    std::string digits;
    int point = 0;

    bool is_zero() const { return digits.empty(); }
    // The i-th significant digit, i >= 1, as a value 0..9 (0 past the end).
    int digit(int i) const;
    // The digit whose place value is 10^place.
    int at_place(int place) const { return digit(point - place); }
};

// sig x 2^exp2 exactly: a dyadic rational always has a finite expansion.
decimal exact_decimal(uint128 sig, int exp2);

// v rounded to nearest, ties to even, to its first `keep` digit places (the
// places from 10^(point-1) down to 10^(point-keep)); keep may be 0 or less,
// where the result is 0 or one unit of a higher place.
decimal round_to_digits(const decimal& v, int keep);
