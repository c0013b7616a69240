// SPDX-License-Identifier: GPL-3.0-or-later
// Mixing two channel values by a weight exactly.
#include "core/sequence/exact_mixing.h"

#include <algorithm>
#include <cmath>

ExactWeight ExactWeightOf(double x)
{
    x = std::clamp(x, -kLargestWeight, kLargestWeight);
    int exponent = 0;
    const double fraction = std::frexp(x, &exponent); // x = fraction * 2^exponent, |fraction| < 1
    // fraction * 2^53 is an integer (53-bit mantissa); s stays within 44..62 in the range above.
    return {int64_t(std::ldexp(fraction, 53)), 53 - exponent};
}

uint8_t MixChannel(double x, int a, int b)
{
    if (!(std::fabs(x) >= kSmallestWeight)) // also NaN
        return uint8_t(b);
    const ExactWeight w = ExactWeightOf(x);
    const MixWide one = MixWide(1) << w.s;
    // Numerator over 2^s; at most 2^62 * 255 + 2^53 * 255 in size, so 128 bits always hold it.
    const MixWide numerator = MixWide(w.m) * a + (one - w.m) * b;
    MixWide quotient = numerator >> w.s; // floor, also for a negative numerator
    const MixWide remainder = numerator - quotient * one;
    const MixWide half = one >> 1;
    if (remainder > half || (remainder == half && (quotient & 1) != 0))
        ++quotient;
    return uint8_t(std::clamp<MixWide>(quotient, 0, 255));
}

std::array<uint8_t, 256> FadeTable(double x, int b)
{
    std::array<uint8_t, 256> table{};
    for (int v = 0; v < 256; ++v)
        table[v] = MixChannel(x, v, b);
    return table;
}

ExactSteps ExactStepsOf(double x)
{
    ExactSteps steps;
    if (!(std::fabs(x) >= kSmallestWeight)) // x * d cannot reach a half: every step is 0
        return steps;
    const ExactWeight w = ExactWeightOf(x);
    // |m| < 2^53 and |d| < 2^8, so every product fits in 62 bits; s is at most 62.
    const int64_t one = int64_t(1) << w.s;
    const int64_t half = one >> 1;
    for (int d = -255; d <= 255; ++d) {
        const int64_t product = w.m * d;
        const int64_t q = product >> w.s; // floor, also for a negative product
        const int64_t remainder = product - q * one;
        steps.quotient[size_t(d + 255)] = q;
        steps.above[size_t(d + 255)] = remainder > half ? 1 : remainder == half ? -1 : 0;
    }
    return steps;
}

std::vector<uint8_t> BlendTable(double x)
{
    const ExactSteps steps = ExactStepsOf(x);
    std::vector<uint8_t> table(256 * 256);
    for (int cut = 0; cut < 256; ++cut) {
        for (int blend = 0; blend < 256; ++blend) {
            const size_t d = size_t(blend - cut + 255);
            int64_t q = cut + steps.quotient[d];
            if (steps.above[d] == 1 || (steps.above[d] == -1 && (q & 1) != 0))
                ++q;
            table[size_t(cut * 256 + blend)] = uint8_t(std::clamp<int64_t>(q, 0, 255));
        }
    }
    return table;
}
