// SPDX-License-Identifier: GPL-3.0-or-later
// One row of a blend through a 15-bit multiplier, with AVX2 where the processor has it.
#include "core/sequence/fixed_step_blend.h"

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace {

// One channel through the multiplier: what the vector instruction computes, in plain code.
inline uchar mixFixed(int cut, int blend, FixedStep f)
{
    return uchar(cut + (((blend - cut) * f.m + (1 << 14)) >> 15)); // >> floors negative values
}

#if defined(__x86_64__) && defined(__GNUC__)
#define MOKARAN_HAS_AVX2_PATH 1
// 32 channels at a time on processors with AVX2 (nearly all since 2013), for rows of 32 channels
// or more. A row that does not end on a whole group ends with the last 32 channels, partly done
// again: each channel depends only on its own inputs, so they come out the same.
__attribute__((target("avx2"))) void blendRowAvx2(const uchar *c, const uchar *b, uchar *to,
                                                  int bytes, FixedStep f)
{
    const __m256i zero = _mm256_setzero_si256();
    const __m256i m = _mm256_set1_epi16(short(f.m));
    const auto mix32 = [&](int i) __attribute__((target("avx2")))
    {
        const __m256i cut = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(c + i));
        const __m256i blend = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(b + i));
        // Widened to 16 bits; unpacking and packing both work within 128-bit halves, so the
        // order comes back.
        const __m256i cutLow = _mm256_unpacklo_epi8(cut, zero);
        const __m256i cutHigh = _mm256_unpackhi_epi8(cut, zero);
        const __m256i dLow = _mm256_sub_epi16(_mm256_unpacklo_epi8(blend, zero), cutLow);
        const __m256i dHigh = _mm256_sub_epi16(_mm256_unpackhi_epi8(blend, zero), cutHigh);
        // (d * m + 2^14) >> 15 per lane.
        const __m256i low = _mm256_add_epi16(cutLow, _mm256_mulhrs_epi16(dLow, m));
        const __m256i high = _mm256_add_epi16(cutHigh, _mm256_mulhrs_epi16(dHigh, m));
        _mm256_storeu_si256(reinterpret_cast<__m256i *>(to + i), _mm256_packus_epi16(low, high));
    };
    int i = 0;
    for (; i + 32 <= bytes; i += 32)
        mix32(i);
    if (i < bytes)
        mix32(bytes - 32);
}

bool hasAvx2()
{
    static const bool kHas = __builtin_cpu_supports("avx2");
    return kHas;
}
#endif

} // namespace

void BlendRowFixed(const uchar *c, const uchar *b, uchar *to, int bytes, FixedStep f)
{
#if defined(MOKARAN_HAS_AVX2_PATH)
    if (bytes >= 32 && hasAvx2()) {
        blendRowAvx2(c, b, to, bytes, f);
        return;
    }
#endif
    for (int i = 0; i < bytes; ++i)
        to[i] = mixFixed(c[i], b[i], f);
}
