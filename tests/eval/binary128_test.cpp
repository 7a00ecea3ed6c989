#include "binary128.h"

#include <bit>
#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include <gtest/gtest.h>

namespace {

// The compiler's __float128 arithmetic (libgcc's soft-fp on x86-64) is an
// independent, correctly rounded oracle for widening, +, - and *.
__extension__ typedef __float128 oracle;

oracle to_oracle(binary128 a)
{
    oracle o;
    std::memcpy(&o, &a.bits, sizeof o);
    return o;
}

binary128 from_oracle(oracle o)
{
    binary128 a;
    std::memcpy(&a.bits, &o, sizeof o);
    return a;
}

bool is_nan(binary128 a)
{
    uint128 magnitude = a.bits & ~(uint128{1} << 127);
    return magnitude > (uint128{0x7FFF} << 112);
}

void expect_same(binary128 got, binary128 want, const char* op, binary128 a, binary128 b)
{
    if (is_nan(want)) {
        EXPECT_TRUE(is_nan(got)) << op;
        return;
    }
    EXPECT_EQ(got, want) << std::hex << op << " " << a.high() << ":" << a.low() << " , "
                         << b.high() << ":" << b.low() << " -> " << got.high() << ":" << got.low()
                         << " want " << want.high() << ":" << want.low();
}

binary128 bits(std::uint64_t high, std::uint64_t low = 0) { return binary128::from_bits(high, low); }

constexpr std::uint64_t one_high = 0x3FFF000000000000;   // 1.0
constexpr std::uint64_t sign_high = 0x8000000000000000;

// Rounding scenarios built from bits; each is checked against the oracle
// and against the expected encoding written out.
struct scenario {
    const char* name;
    char op;
    binary128 a, b, want;
};

const scenario scenarios[] = {
    // 1 + 2^-113 is halfway between 1 and its successor: stays on the even 1.
    {"round_to_even_down", '+', bits(one_high), bits(0x3F8E000000000000), bits(one_high)},
    // (1 + 2^-112) + 2^-113: halfway again, now the even neighbour is above.
    {"round_to_even_up", '+', bits(one_high, 1), bits(0x3F8E000000000000), bits(one_high, 2)},
    {"round_up_past_half", '+', bits(one_high), bits(0x3F8E000000000001), bits(one_high, 1)},
    // (2 - 2^-112) + 2^-113 rounds up into a new binade.
    {"carry", '+', bits(0x3FFFFFFFFFFFFFFF, ~0ull), bits(0x3F8E000000000000), bits(0x4000000000000000)},
    // 1 - (1 - 2^-113): exact, and the result needs a long normalisation.
    {"cancellation", '-', bits(one_high), bits(0x3FFEFFFFFFFFFFFF, ~0ull), bits(0x3F8E000000000000)},
    {"exact_zero_is_positive", '-', bits(one_high), bits(one_high), bits(0)},
    {"negative_zeros_add", '+', bits(sign_high), bits(sign_high), bits(sign_high)},
    {"overflow", '*', bits(0x7FFEFFFFFFFFFFFF, ~0ull), bits(0x4000000000000000), bits(0x7FFF000000000000)},
    // Smallest normal times 1/2: an exact subnormal.
    {"to_subnormal", '*', bits(0x0001000000000000), bits(0x3FFE000000000000), bits(0x0000800000000000)},
    // Smallest subnormal times 1/2: a tie between 0 and it, so 0.
    {"rounding_to_zero", '*', bits(0, 1), bits(0x3FFE000000000000), bits(0)},
    {"subnormal_tie_up", '*', bits(0, 3), bits(0x3FFE000000000000), bits(0, 2)},
    // The largest subnormal plus its last unit reaches the normal range.
    {"subnormal_to_normal", '+', bits(0x0000FFFFFFFFFFFF, ~0ull), bits(0, 1), bits(0x0001000000000000)},
    {"infinity_minus_infinity", '-', bits(0x7FFF000000000000), bits(0x7FFF000000000000), bits(0x7FFF800000000000)},
    {"zero_times_infinity", '*', bits(sign_high), bits(0x7FFF000000000000), bits(0x7FFF800000000000)},
};

TEST(binary128, rounding_scenarios)
{
    for (const scenario& s : scenarios) {
        SCOPED_TRACE(s.name);
        oracle a = to_oracle(s.a), b = to_oracle(s.b);
        binary128 got = s.op == '+' ? s.a + s.b : s.op == '-' ? s.a - s.b : s.a * s.b;
        binary128 want = from_oracle(s.op == '+' ? a + b : s.op == '-' ? a - b : a * b);
        expect_same(want, s.want, "oracle", s.a, s.b);
        expect_same(got, s.want, "scenario", s.a, s.b);
    }
}

// Operands drawn so that every class and every alignment of exponents gets
// its share: random encodings, near neighbours (deep cancellation), the
// subnormal range, and the edge of overflow.
class operand_source {
public:
    binary128 next()
    {
        std::uint64_t high = rng_(), low = rng_();
        switch (rng_() % 6) {
        case 0: // any encoding, NaNs and infinities included
            break;
        case 1: // exponent near that of 1
            high = (high & 0x8000FFFFFFFFFFFF) | (std::uint64_t(0x3FF0 + rng_() % 32) << 48);
            break;
        case 2: // subnormal or smallest normals
            high &= 0x8001FFFFFFFFFFFF;
            break;
        case 3: // near overflow
            high = (high & 0x8000FFFFFFFFFFFF) | (std::uint64_t(0x7FF0 + rng_() % 15) << 48);
            break;
        default: // a neighbour of the previous operand
            return last_ = binary128::from_bits(last_.high() ^ (rng_() % 2 ? sign_high : 0),
                                                last_.low() + (rng_() % 64) - 32);
        }
        return last_ = binary128::from_bits(high, low);
    }

private:
    std::mt19937_64 rng_{20261211};
    binary128 last_ = bits(one_high);
};

TEST(binary128, add_sub_mul_match_oracle)
{
    operand_source source;
    for (int i = 0; i < 300000; ++i) {
        binary128 a = source.next(), b = source.next();
        oracle oa = to_oracle(a), ob = to_oracle(b);
        expect_same(a + b, from_oracle(oa + ob), "+", a, b);
        expect_same(a - b, from_oracle(oa - ob), "-", a, b);
        expect_same(a * b, from_oracle(oa * ob), "*", a, b);
        if (HasFailure())
            return;
    }
}

TEST(binary128, widening_is_exact)
{
    std::mt19937 rng(7);
    for (int i = 0; i < 200000; ++i) {
        std::uint32_t b = i < 65536 ? (i << 16) | (i >> 4) : rng();
        float x = std::bit_cast<float>(b);
        binary128 want = from_oracle(static_cast<oracle>(x));
        if (std::isnan(x))
            ASSERT_TRUE(is_nan(widen(x)));
        else
            ASSERT_EQ(widen(x), want) << std::hex << b;
    }
}

// A slow exact reference for the square root: non-negative integers in
// base 2^32, enough to compare squares of 115-bit numbers scaled by powers
// of two.
using big = std::vector<std::uint64_t>;

big make_big(uint128 v) { return {std::uint64_t(v) & 0xFFFFFFFF, std::uint64_t(v >> 32) & 0xFFFFFFFF,
                                  std::uint64_t(v >> 64) & 0xFFFFFFFF, std::uint64_t(v >> 96)}; }

big multiply(const big& a, const big& b)
{
    big r(a.size() + b.size(), 0);
    for (std::size_t i = 0; i < a.size(); ++i) {
        std::uint64_t carry = 0;
        for (std::size_t j = 0; j < b.size(); ++j) {
            std::uint64_t t = r[i + j] + a[i] * b[j] + carry;
            r[i + j] = t & 0xFFFFFFFF;
            carry = t >> 32;
        }
        r[i + b.size()] += carry;
    }
    return r;
}

big shift_left(const big& a, int n)
{
    big r(a.size() + n / 32 + 1, 0);
    for (std::size_t i = 0; i < a.size(); ++i) {
        std::uint64_t t = a[i] << (n % 32);
        r[i + n / 32] |= t & 0xFFFFFFFF;
        r[i + n / 32 + 1] |= t >> 32;
    }
    return r;
}

int compare(big a, big b)
{
    a.resize(std::max(a.size(), b.size()));
    b.resize(a.size());
    for (std::size_t i = a.size(); i-- > 0;)
        if (a[i] != b[i])
            return a[i] < b[i] ? -1 : 1;
    return 0;
}

// a = A * 2^ea exactly, for a finite positive a.
void decode(binary128 a, uint128& sig, int& exp)
{
    int field = int(a.bits >> 112);
    sig = a.bits & ((uint128{1} << 112) - 1);
    if (field)
        sig |= uint128{1} << 112;
    exp = std::max(field, 1) - 16383 - 112;
}

// q is the correctly rounded root of a exactly when
// (Q - 1/2)^2 2^(2 eq) < A 2^ea < (Q + 1/2)^2 2^(2 eq); no root of a
// binary128 value lies exactly halfway, so both sides are strict.
::testing::AssertionResult correctly_rounded_root(binary128 a, binary128 q)
{
    uint128 sig_a, sig_q;
    int exp_a, exp_q;
    decode(a, sig_a, exp_a);
    decode(q, sig_q, exp_q);
    int base = std::min(exp_a, 2 * exp_q - 2);
    big value = shift_left(make_big(sig_a), exp_a - base);
    big below = make_big(2 * sig_q - 1), above = make_big(2 * sig_q + 1);
    below = shift_left(multiply(below, below), 2 * exp_q - 2 - base);
    above = shift_left(multiply(above, above), 2 * exp_q - 2 - base);
    if (compare(below, value) < 0 && compare(value, above) < 0)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << std::hex << "sqrt of " << a.high() << ":" << a.low()
                                         << " gave " << q.high() << ":" << q.low();
}

TEST(binary128, sqrt_correctly_rounded)
{
    std::mt19937_64 rng(113);
    for (int i = 0; i < 100000; ++i) {
        // Positive finite operands over the whole exponent range,
        // subnormals included.
        binary128 a = binary128::from_bits(rng() % 0x7FFF000000000000, rng());
        if (a.bits == 0)
            continue;
        ASSERT_TRUE(correctly_rounded_root(a, sqrt(a)));
    }
}

TEST(binary128, sqrt_of_squares_and_their_neighbours)
{
    std::mt19937_64 rng(57);
    for (int i = 0; i < 20000; ++i) {
        // r has at most 57 significant bits, so r * r is exact.
        binary128 r = binary128::from_bits((std::uint64_t(0x3F00 + rng() % 0x200) << 48) |
                                               (rng() & 0xFFFFFFFFFFFF),
                                           rng() & 0xFF00000000000000);
        binary128 square = r * r;
        ASSERT_EQ(sqrt(square), r) << std::hex << r.high() << ":" << r.low();
        for (int step : {-1, 1}) {
            binary128 next = binary128::from_bits(square.high(), square.low() + step);
            if ((step < 0 && square.low() == 0) || (step > 0 && next.low() == 0))
                continue; // keep within the binade
            ASSERT_TRUE(correctly_rounded_root(next, sqrt(next)));
        }
    }
}

TEST(binary128, sqrt_special_values)
{
    const struct {
        binary128 a, want;
    } cases[] = {
        {bits(0), bits(0)},
        {bits(sign_high), bits(sign_high)},
        {bits(0x7FFF000000000000), bits(0x7FFF000000000000)},
        {bits(0x4001000000000000), bits(0x4000000000000000)},  // sqrt 4 = 2
        {bits(0x3FFF000000000000), bits(0x3FFF000000000000)},
        {bits(0, 1), bits(0x1FC8000000000000)},  // 2^-16494 -> 2^-8247
    };
    for (const auto& c : cases)
        EXPECT_EQ(sqrt(c.a), c.want) << std::hex << c.a.high();
    EXPECT_TRUE(is_nan(sqrt(bits(sign_high | one_high))));
    EXPECT_TRUE(is_nan(sqrt(bits(0xFFFF000000000000))));
    EXPECT_TRUE(is_nan(sqrt(bits(0x7FFF000000000000, 1))));
}

// The roots where the C library's quadmath sqrtq is one unit low.
TEST(binary128, sqrt_where_quadmath_is_off)
{
    for (float x : {10100.0f, 10000100.0f})
        EXPECT_TRUE(correctly_rounded_root(widen(x), sqrt(widen(x)))) << x;
}

} // namespace
