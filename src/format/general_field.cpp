#include "general_field.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <string_view>

#include "decimal_digits.h"

namespace {

// The blank room the fixed form keeps at its right, where an exponent
// part would stand.
constexpr int tail = 4;

enum class kind { finite, zero, infinity, nan };

struct binary_value {
    kind k;
    bool negative;
    uint128 sig;
    int exp2;
    int decision_digits;  // digits after the point that decide the form
};

template <int frac_bits, int exp_bits>
binary_value decode(uint128 bits, int decision_digits)
{
    constexpr int field_max = (1 << exp_bits) - 1;
    constexpr int bias = field_max / 2;
    bool negative = (bits >> (frac_bits + exp_bits)) & 1;
    int field = static_cast<int>(bits >> frac_bits) & field_max;
    uint128 sig = bits & ((uint128{1} << frac_bits) - 1);
    kind k = field == field_max ? (sig ? kind::nan : kind::infinity)
             : field == 0 && sig == 0 ? kind::zero
                                      : kind::finite;
    if (field != 0)
        sig |= uint128{1} << frac_bits;
    return {k, negative, sig, std::max(field, 1) - bias - frac_bits, decision_digits};
}

// The one padding helper: `before` blanks, the text, blanks up to w.
std::string pad(std::string_view text, int before, int w)
{
    std::string out(before, ' ');
    out.append(text);
    out.append(w - out.size(), ' ');
    return out;
}

std::string stars(int w) { return std::string(w, '*'); }

void append_digits(std::string& out, const decimal& v, int from, int to)
{
    for (int i = from; i <= to; ++i)
        out += static_cast<char>('0' + v.digit(i));
}

std::string fixed_form(bool negative, const decimal& n, int w, int places)
{
    int room = w - tail;
    decimal r = round_to_digits(n, n.point + places);
    int whole = r.is_zero() ? 0 : std::max(r.point, 0);
    int need = whole + 1 + places + negative;
    bool leading_zero = whole == 0 && need < room;
    need += leading_zero;
    if (need > room)
        return stars(w);
    std::string text = negative ? "-" : "";
    if (leading_zero)
        text += '0';
    // Digit places 10^(whole-1) down to 10^-places.
    int first = r.point - whole + 1;
    append_digits(text, r, first, first + whole - 1);
    text += '.';
    append_digits(text, r, first + whole, first + whole + places - 1);
    return pad(text, room - need, w);
}

std::string exponent_form(bool negative, const decimal& n, int w, int d)
{
    decimal r = round_to_digits(n, d + 1);
    int x = r.point - 1;
    std::string text = negative ? "-" : "";
    append_digits(text, r, 1, 1);
    text += '.';
    append_digits(text, r, 2, d + 1);
    int magnitude = x < 0 ? -x : x;
    int exponent_digits = magnitude <= 99 ? 2 : magnitude <= 999 ? 3 : 4;
    if (exponent_digits == 2)
        text += 'E';
    text += x < 0 ? '-' : '+';
    std::string figures = std::to_string(magnitude);
    text.append(exponent_digits - figures.size(), '0').append(figures);
    int size = static_cast<int>(text.size());
    return size > w ? stars(w) : pad(text, w - size, w);
}

std::string not_a_number_field(const binary_value& v, int w, int d)
{
    std::string_view text = "NaN";
    if (v.k == kind::infinity) {
        text = v.negative ? "-Infinity" : "Infinity";
        if (d >= 8) {
            int room = w - tail, sign = v.negative;
            if (room < sign + 3)
                return stars(w);
            if (room < sign + 8)
                text = text.substr(0, sign + 3);
            return pad(text, w - static_cast<int>(text.size()), w);
        }
    } else if (d >= 3) {
        return w - tail < 3 ? stars(w) : pad(text, w - 3, w);
    }
    return 1 + static_cast<int>(text.size()) > w ? stars(w) : pad(text, 1, w);
}

std::string render(const binary_value& v, int w, int d)
{
    if (v.k == kind::nan || v.k == kind::infinity)
        return not_a_number_field(v, w, d);
    if (v.k == kind::zero)
        return fixed_form(false, decimal{}, w, d - 1);

    decimal n = exact_decimal(v.sig, v.exp2);
    int places = std::max(v.decision_digits, d + 2);
    decimal r = round_to_digits(n, n.point + places);
    if (r.is_zero())
        return exponent_form(v.negative, n, w, d);
    if (r.point + places > w)
        r = round_to_digits(n, w);

    // r = 0.s1 s2 ... x 10^u
    int u = r.point;
    bool nines = r.digit(d + 1) >= 5;
    for (int i = 1; i <= d; ++i)
        nines = nines && r.digit(i) == 9;
    if (u < -1 || u > d || (nines && u >= d))
        return exponent_form(v.negative, n, w, d);
    if (nines)
        ++u;
    else if (u == -1)
        return exponent_form(v.negative, n, w, d);
    return fixed_form(v.negative, n, w, d - u);
}

} // namespace

std::string render_general_field(float value, int w, int d)
{
    constexpr int decision_digits = 9;
    return render(decode<23, 8>(std::bit_cast<std::uint32_t>(value), decision_digits), w, d);
}

std::string render_general_field(binary128 value, int w, int d)
{
    constexpr int decision_digits = 35;
    return render(decode<112, 15>(value.bits, decision_digits), w, d);
}
