// SPDX-License-Identifier: GPL-3.0-or-later
// What the operations that make a picture of a new size share: the result's allocation and the
// bilinear blend of Rotate and Enlarge.
#pragma once

#include "core/base/io_error.h"
#include "core/image/picture.h"

#include <QCoreApplication>
#include <algorithm>
#include <cmath>
#include <cstdint>

// A 24-bit picture of width x height for a result, refused (Failure) before any memory is taken
// when it is too large, and refused as well when the allocation itself fails.
inline QImage NewResultPicture(long long width, long long height)
{
    CheckResultSize(width, height);
    QImage picture(int(width), int(height), kPictureFormat);
    if (picture.isNull())
        throw Failure(QCoreApplication::translate("Picture", "画像が大きすぎます (%1 x %2)")
                          .arg(width)
                          .arg(height));
    return picture;
}

// One channel of the bilinear blend in its exact form: the weights and the sum in extended
// precision, + 0.5 so that ClampByte's truncation rounds halves up. The sum is handed to ClampByte
// as a double, which is what ClampByte takes.
inline uint8_t ExactBilinearChannel(double fx, double fy, int p00, int p10, int p01, int p11)
{
    const long double lx = fx;
    const long double ly = fy;
    const long double v =
        ((1 - lx) * p00 + lx * p10) * (1 - ly) + ((1 - lx) * p01 + lx * p11) * ly + 0.5L;
    return ClampByte(double(v));
}

// The blend of the three channels of four BGR pixels into out. Extended arithmetic is slow, so
// each channel is first computed in double with the four weights multiplied out. ClampByte only
// changes value at whole numbers, and that double sum lies within about 1e-11 of the extended one
// (weights below 4 in size, values below 256), so wherever it is farther than kDoubtful from a
// whole number both give the same byte. The rare pixels with a channel that close to a whole
// number are recomputed in the exact form.
inline void BilinearPixel(double fx, double fy, const uint8_t *p00, const uint8_t *p10,
                          const uint8_t *p01, const uint8_t *p11, uint8_t *out)
{
    constexpr double kDoubtful = 1e-7;
    const double gx = 1.0 - fx;
    const double gy = 1.0 - fy;
    const double w00 = gx * gy, w10 = fx * gy, w01 = gx * fy, w11 = fx * fy;
    uint8_t result[3];
    bool doubtful = false;
    for (int c = 0; c < 3; ++c) {
        const double v = w00 * p00[c] + w10 * p10[c] + w01 * p01[c] + w11 * p11[c] + 0.5;
        const int64_t whole = int64_t(v); // Trunc; |v| stays below 2400
        const double fraction = std::fabs(v - double(whole));
        doubtful = doubtful || fraction < kDoubtful || fraction > 1.0 - kDoubtful;
        result[c] =
            uint8_t(std::clamp<int64_t>(whole, 0, 255)); // ClampByte away from whole numbers
    }
    if (doubtful) {
        for (int c = 0; c < 3; ++c)
            result[c] = ExactBilinearChannel(fx, fy, p00[c], p10[c], p01[c], p11[c]);
    }
    out[0] = result[0];
    out[1] = result[1];
    out[2] = result[2];
}
