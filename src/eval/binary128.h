// IEEE 754 binary128 in software: the reference format of the report.
//
// Every operation is correctly rounded to nearest, ties to even, whatever the
// processor's rounding mode; no floating-point hardware is involved.  The
// value is held as its 128-bit interchange encoding, sign bit first.
#pragma once

#include <cstdint>

__extension__ typedef unsigned __int128 uint128;

struct binary128 {
    uint128 bits;

    static constexpr binary128 from_bits(std::uint64_t high, std::uint64_t low)
    {
        return {(uint128{high} << 64) | low};
    }
    constexpr std::uint64_t high() const { return static_cast<std::uint64_t>(bits >> 64); }
    constexpr std::uint64_t low() const { return static_cast<std::uint64_t>(bits); }
    friend constexpr bool operator==(binary128, binary128) = default;
};

// Exact: every binary32 value, NaN payloads included, is a binary128 value.
binary128 widen(float x);

binary128 operator+(binary128 a, binary128 b);
binary128 operator-(binary128 a, binary128 b);
binary128 operator*(binary128 a, binary128 b);
binary128 sqrt(binary128 a);
