// SPDX-License-Identifier: GPL-3.0-or-later
// The two real-to-integer conversions of the picture code. They must never be mixed up:
// Round for sizes, centres and box bounds; Trunc for pixel values and coordinates.
#pragma once

#include <cmath>
#include <cstdint>

// To the nearest integer, halves to the even neighbour (2.5 gives 2, 3.5 gives 4, -2.5 gives -2).
// Independent of the floating-point rounding mode in force.
inline int64_t Round(long double x)
{
    long double floor = std::floor(x);
    long double fraction = x - floor; // exact: x and its floor share the exponent range
    if (fraction > 0.5L || (fraction == 0.5L && std::fmod(floor, 2.0L) != 0.0L))
        floor += 1.0L;
    return static_cast<int64_t>(floor);
}

// Toward zero (-0.7 gives 0, 3.9 gives 3).
inline int64_t Trunc(long double x)
{
    return static_cast<int64_t>(std::trunc(x));
}
