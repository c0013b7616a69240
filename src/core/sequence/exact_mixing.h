// SPDX-License-Identifier: GPL-3.0-or-later
// Mixing two channel values by a weight exactly: the weight held as a fraction of a power of two,
// every product computed in integers, one rounding (half to even) at the end.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

// Wide enough for every numerator below; __extension__ keeps -Wpedantic quiet about the type.
__extension__ typedef __int128 MixWide;

// A weight x held exactly as m / 2^s. Every double is such a fraction, so the mixes here can be
// computed in integers with no rounding at all until the final half-to-even step: floating-point
// products of x would round before that step and could move a result sitting next to a half.
struct ExactWeight {
    int64_t m = 0;
    int s = 0;
};

// Weights outside this range need no exact form: below it x * (a - b) stays under a quarter and
// the result is b; above it the result leaves 0..255 and saturates unless a == b.
constexpr double kSmallestWeight = 0x1p-10;
constexpr double kLargestWeight = 256.0;

ExactWeight ExactWeightOf(double x);

// x * a + (1 - x) * b, rounded to the nearest integer (halves to even) and clamped to 0..255.
uint8_t MixChannel(double x, int a, int b);

// One mix of a channel with a fixed value, for every channel value: [v] = x * v + (1 - x) * b.
std::array<uint8_t, 256> FadeTable(double x, int b);

// The exact products x * d for every difference d = -255..255 of two channel values, as their
// floor and where the rest lies against a half.
struct ExactSteps {
    std::array<int64_t, 511> quotient{}; // [d + 255]
    std::array<int8_t, 511> above{};     // 1 above a half, 0 below, -1 exactly a half
};

ExactSteps ExactStepsOf(double x);

// Every pair of channel values: [cut * 256 + blend] = x * blend + (1 - x) * cut.
// Written as cut + x * d with d = blend - cut, the exact numerator is 2^s * cut + m * d: its
// quotient is cut plus the quotient of m * d, and its remainder, which decides the rounding, is
// that of m * d alone. So 511 exact products serve all 65536 pairs, with the same bytes as
// MixChannel; only an exact half still looks at the parity of the whole quotient.
std::vector<uint8_t> BlendTable(double x);
