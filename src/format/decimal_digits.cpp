#include "decimal_digits.h"

#include <algorithm>
#include <cstdint>
#include <vector>

int decimal::digit(int i) const
{
    return i >= 1 && i <= static_cast<int>(digits.size()) ? digits[i - 1] - '0' : 0;
}

// sig x 2^exp2 = N x 10^exp2 with N = sig x 5^-exp2 when exp2 < 0, else
// N = sig x 2^exp2 x 10^0.  N is built in base 10^9, least significant
// limb first, by multiplying with the largest powers of 2 or 5 for which
// limb x factor + carry stays within 64 bits.
decimal exact_decimal(uint128 sig, int exp2)
{
    if (sig == 0)
        return {};
    constexpr std::uint32_t limb_base = 1000000000;
    constexpr int limb_digits = 9;
    constexpr int max_shift = 29;                  // 2^29 < 2^64 / 10^9
    constexpr int max_five_power = 13;             // 5^13 < 2^64 / 10^9
    std::vector<std::uint32_t> n;
    for (; sig; sig /= limb_base)
        n.push_back(static_cast<std::uint32_t>(sig % limb_base));
    auto multiply = [&n](std::uint64_t factor) {
        std::uint64_t carry = 0;
        for (std::uint32_t& limb : n) {
            std::uint64_t t = limb * factor + carry;
            limb = static_cast<std::uint32_t>(t % limb_base);
            carry = t / limb_base;
        }
        for (; carry; carry /= limb_base)
            n.push_back(static_cast<std::uint32_t>(carry % limb_base));
    };
    int scale = 0;
    if (exp2 >= 0) {
        for (int left = exp2; left > 0; left -= max_shift)
            multiply(std::uint64_t{1} << std::min(left, max_shift));
    } else {
        for (int left = -exp2; left > 0; left -= max_five_power) {
            std::uint64_t five_power = 1;
            for (int k = std::min(left, max_five_power); k > 0; --k)
                five_power *= 5;
            multiply(five_power);
        }
        scale = exp2;
    }

    decimal d;
    d.digits = std::to_string(n.back());
    for (auto limb = n.rbegin() + 1; limb != n.rend(); ++limb) {
        std::string part = std::to_string(*limb);
        d.digits.append(limb_digits - part.size(), '0').append(part);
    }
    d.point = static_cast<int>(d.digits.size()) + scale;
    d.digits.erase(d.digits.find_last_not_of('0') + 1);
    return d;
}

decimal round_to_digits(const decimal& v, int keep)
{
    int size = static_cast<int>(v.digits.size());
    if (keep >= size)
        return v;
    if (keep < 0)
        return {};  // v < 10^point, below half a unit of the place kept
    // With no trailing zeros, any digit after the first dropped one makes
    // the dropped part exceed a half.
    int first_dropped = v.digit(keep + 1);
    bool beyond_half = first_dropped > 5 || (first_dropped == 5 && keep + 1 < size);
    bool tie_to_odd = first_dropped == 5 && keep + 1 == size && v.digit(keep) % 2 == 1;
    decimal r{v.digits.substr(0, keep), v.point};
    if (beyond_half || tie_to_odd) {
        auto nine = r.digits.find_last_not_of('9');
        if (nine == std::string::npos) {
            r.digits.assign(1, '1');
            ++r.point;
        } else {
            r.digits.resize(nine + 1);
            ++r.digits.back();
        }
    }
    r.digits.erase(r.digits.find_last_not_of('0') + 1);
    if (r.digits.empty())
        r.point = 0;
    return r;
}
