// f(x) = 0.1 x (sqrt(x + 100) - sqrt(x)) in binary32 and binary128, and the
// algebraically equal g(x) = 10 x / (sqrt(x + 100) + sqrt(x)) in binary32.
#pragma once

#include "binary128.h"

// Each step is one correctly rounded operation in its own format, in the
// order and grouping written in the definition; pure, no state.
void evaluate_point(float x, float& f_single, binary128& f_quad, float& g_single);
