#include "binary128.h"

#include <bit>
#include <utility>

namespace {

constexpr int frac_bits = 112;
constexpr int exp_all_ones = 0x7FFF;
constexpr int bias = 16383;
constexpr uint128 one = 1;
constexpr uint128 hidden_bit = one << frac_bits;
constexpr uint128 frac_mask = hidden_bit - 1;
constexpr uint128 sign_bit = one << 127;
constexpr uint128 quiet_bit = one << (frac_bits - 1);
constexpr uint128 infinity = uint128{exp_all_ones} << frac_bits;
constexpr uint128 default_nan = infinity | quiet_bit;

// Working significands keep round_bits bits below the format's last one, so
// the integer bit of a normal significand sits at bit `top`.  Whatever a
// right shift pushes out is jammed into the lowest bit (sticky).
constexpr int round_bits = 12;
constexpr int top = frac_bits + round_bits;

bool sign_of(uint128 a) { return a >> 127; }
int exp_field(uint128 a) { return static_cast<int>(a >> frac_bits) & exp_all_ones; }
bool is_nan(uint128 a) { return exp_field(a) == exp_all_ones && (a & frac_mask) != 0; }
bool is_inf(uint128 a) { return (a & ~sign_bit) == infinity; }
bool is_zero(uint128 a) { return (a & ~sign_bit) == 0; }
uint128 with_sign(uint128 a, bool negative) { return negative ? a | sign_bit : a & ~sign_bit; }

int leading_zeros(uint128 a)
{
    auto high = static_cast<std::uint64_t>(a >> 64);
    return high ? std::countl_zero(high) : 64 + std::countl_zero(static_cast<std::uint64_t>(a));
}

uint128 shift_right_jam(uint128 a, int n)
{
    if (n <= 0)
        return a;
    if (n >= 128)
        return a != 0;
    return (a >> n) | ((a << (128 - n)) != 0);
}

// A finite non-zero value: sig * 2^(exp - bias - frac_bits).
struct unpacked {
    bool sign;
    int exp;
    uint128 sig;
};

unpacked unpack(uint128 a)
{
    int e = exp_field(a);
    uint128 f = a & frac_mask;
    return e == 0 ? unpacked{sign_of(a), 1, f} : unpacked{sign_of(a), e, f | hidden_bit};
}

// Subnormal significands get their leading bit moved up to hidden_bit.
unpacked unpack_normalized(uint128 a)
{
    unpacked u = unpack(a);
    int shift = leading_zeros(u.sig) - (127 - frac_bits);
    return {u.sign, u.exp - shift, u.sig << shift};
}

uint128 propagate_nan(uint128 a, uint128 b) { return (is_nan(a) ? a : b) | quiet_bit; }

// The one rounding step of every operation: sig != 0 stands for
// sig * 2^(exp - bias - top), at any position; the result is that value
// rounded to nearest, ties to even, overflowing to infinity.
binary128 round_pack(bool sign, int exp, uint128 sig)
{
    int shift = leading_zeros(sig) - (127 - top);
    sig = shift >= 0 ? sig << shift : shift_right_jam(sig, -shift);
    exp -= shift;
    // Below the normal range the value is denormalised to exponent 1 and
    // packed with field 0; the hidden bit, or a carry from rounding, adds
    // one to the field.
    int field = exp - 1;
    if (exp <= 0) {
        sig = shift_right_jam(sig, 1 - exp);
        field = 0;
    }
    constexpr unsigned half = 1u << (round_bits - 1);
    auto rest = static_cast<unsigned>(sig) & (2 * half - 1);
    sig >>= round_bits;
    if (rest > half || (rest == half && (sig & 1)))
        ++sig;
    uint128 bits = (uint128(field) << frac_bits) + sig;
    if (bits >= infinity)
        bits = infinity;
    return {with_sign(bits, sign)};
}

binary128 add_signed(uint128 a, uint128 b, bool negate_b)
{
    bool sign_b = sign_of(b) != negate_b;
    if (is_nan(a) || is_nan(b))
        return {propagate_nan(a, b)};
    if (is_inf(a))
        return {is_inf(b) && sign_of(a) != sign_b ? default_nan : a};
    if (is_inf(b))
        return {with_sign(b, sign_b)};
    if (is_zero(b))
        return {is_zero(a) ? with_sign(0, sign_of(a) && sign_b) : a};
    if (is_zero(a))
        return {with_sign(b, sign_b)};

    unpacked x = unpack(a), y = unpack(b);
    y.sign = sign_b;
    if (x.exp < y.exp || (x.exp == y.exp && x.sig < y.sig))
        std::swap(x, y);
    uint128 big = x.sig << round_bits;
    uint128 small = shift_right_jam(y.sig << round_bits, x.exp - y.exp);
    if (x.sign == y.sign)
        return round_pack(x.sign, x.exp, big + small);
    if (big == small)
        return {0};
    return round_pack(x.sign, x.exp, big - small);
}

struct uint256 {
    uint128 high, low;
};

uint256 multiply(uint128 a, uint128 b)
{
    auto lo64 = [](uint128 v) { return static_cast<std::uint64_t>(v); };
    uint128 a0 = lo64(a), a1 = a >> 64, b0 = lo64(b), b1 = b >> 64;
    uint128 p00 = a0 * b0, p01 = a0 * b1, p10 = a1 * b0, p11 = a1 * b1;
    uint128 mid = (p00 >> 64) + lo64(p01) + lo64(p10);
    return {p11 + (p01 >> 64) + (p10 >> 64) + (mid >> 64), (mid << 64) | lo64(p00)};
}

} // namespace

binary128 widen(float x)
{
    auto b = std::bit_cast<std::uint32_t>(x);
    uint128 sign = uint128{b >> 31} << 127;
    int e = (b >> 23) & 0xFF;
    std::uint32_t f = b & 0x7FFFFF;
    constexpr int widen_shift = frac_bits - 23;
    if (e == 0xFF)
        return {sign | infinity | (f ? quiet_bit : 0) | (uint128{f} << widen_shift)};
    if (e == 0) {
        if (f == 0)
            return {sign};
        int shift = std::countl_zero(f) - 8;  // bring the leading bit to bit 23
        f = (f << shift) & 0x7FFFFF;
        e = 1 - shift;
    }
    return {sign | (uint128(e - 127 + bias) << frac_bits) | (uint128{f} << widen_shift)};
}

binary128 operator+(binary128 a, binary128 b) { return add_signed(a.bits, b.bits, false); }
binary128 operator-(binary128 a, binary128 b) { return add_signed(a.bits, b.bits, true); }

binary128 operator*(binary128 a, binary128 b)
{
    bool sign = sign_of(a.bits) != sign_of(b.bits);
    if (is_nan(a.bits) || is_nan(b.bits))
        return {propagate_nan(a.bits, b.bits)};
    if (is_inf(a.bits) || is_inf(b.bits))
        return {is_zero(a.bits) || is_zero(b.bits) ? default_nan : with_sign(infinity, sign)};
    if (is_zero(a.bits) || is_zero(b.bits))
        return {with_sign(0, sign)};

    unpacked x = unpack_normalized(a.bits), y = unpack_normalized(b.bits);
    // The product of two 113-bit significands has 225 or 226 bits; keep its
    // top and jam the rest.
    uint256 p = multiply(x.sig, y.sig);
    constexpr int drop = 2 * frac_bits - top;
    uint128 sig = (p.high << (128 - drop)) | (p.low >> drop) | ((p.low << (128 - drop)) != 0);
    return round_pack(sign, x.exp + y.exp - bias, sig);
}

binary128 sqrt(binary128 a)
{
    if (is_nan(a.bits))
        return {propagate_nan(a.bits, a.bits)};
    if (is_zero(a.bits))
        return a;
    if (sign_of(a.bits))
        return {default_nan};
    if (is_inf(a.bits))
        return a;

    unpacked x = unpack_normalized(a.bits);
    // a = m * 2^(k - frac_bits) with k even and m in [2^112, 2^114).
    int k = x.exp - bias;
    uint128 m = x.sig << (k & 1);
    k -= k & 1;
    // root = floor(sqrt(m * 2^114)) lies in [2^113, 2^114): the 113 bits of
    // the result and a round bit.  The remainder tells whether anything
    // below the round bit is non-zero.  Radicand bits are taken two at a
    // time from the top: 57 pairs of m, then 57 pairs of zeros.
    constexpr int m_pairs = (frac_bits + 2) / 2;
    uint128 root = 0, rem = 0;
    for (int pair = 2 * m_pairs - 1; pair >= 0; --pair) {
        uint128 two_bits = pair >= m_pairs ? (m >> (2 * (pair - m_pairs))) & 3 : 0;
        rem = (rem << 2) | two_bits;
        uint128 trial = (root << 2) | 1;
        root <<= 1;
        if (rem >= trial) {
            rem -= trial;
            root |= 1;
        }
    }
    constexpr int root_top = frac_bits + 1;
    return round_pack(false, k / 2 + bias, (root << (top - root_top)) | (rem != 0));
}
