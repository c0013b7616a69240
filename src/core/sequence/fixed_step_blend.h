// SPDX-License-Identifier: GPL-3.0-or-later
// One row of a blend through a 15-bit multiplier: 32 channels at a time on processors with AVX2,
// chosen when the program runs, and plain code with the same bytes elsewhere.
#pragma once

#include <QtGlobal>

// The mix of a channel pair is cut + round(x * d) with d = blend - cut. Unless a product falls
// exactly on a half (its rounding then depends on the parity of cut), round(x * -d) is
// -round(x * d), and for most weights one 15-bit multiplier m gives every step as a rounding
// multiply, (d * m + 2^14) >> 15 for all d = -255..255: the one instruction that vector units
// have for it. The mixing checks the multiplier against the exact steps, so the result is the same.
struct FixedStep {
    int m = 0; // 0 .. 2^15 - 1
};

// Mixes `bytes` channels of the rows c (cut) and b (blend) into to.
void BlendRowFixed(const uchar *c, const uchar *b, uchar *to, int bytes, FixedStep f);
