#include "evaluate_point.h"

#include <cmath>

namespace {

constexpr float tenth = 0.1f;    // 3DCCCCCD
constexpr float hundred = 100.0f;
constexpr float ten = 10.0f;

} // namespace

void evaluate_point(float x, float& f_single, binary128& f_quad, float& g_single)
{
    float a = tenth * x;
    float s = x + hundred;
    float d = std::sqrt(s) - std::sqrt(x);
    f_single = a * d;

    // The binary32 tenth widened exactly, not the binary128 value nearest
    // 0.1: the reference column keeps the tenth's excess of 2^-26.
    binary128 big_x = widen(x);
    binary128 big_s = big_x + widen(hundred);
    binary128 root_s = sqrt(big_s);
    binary128 root_x = sqrt(big_x);
    binary128 big_t = widen(tenth) * big_x;
    f_quad = big_t * (root_s - root_x);

    float u = ten * x;
    float e = std::sqrt(hundred + x) + std::sqrt(x);
    g_single = u / e;
}
