// The general number field of the report (1PGw.d): d significant digits in a
// field of exactly w characters, in fixed form (right-aligned, followed by
// four blanks) or in exponent form with one digit before the point; w
// asterisks when the value does not fit.  Defined for d >= 1, w >= d + 2.
#pragma once

#include <string>

#include "binary128.h"

std::string render_general_field(float value, int w, int d);
std::string render_general_field(binary128 value, int w, int d);
