// SPDX-License-Identifier: GPL-3.0-or-later
// The target size of a shrink, box averaging, and enlarging.
#pragma once

#include <QImage>
#include <cstdint>

// The size a picture of W x H shrinks to for the target length T (the longer side becomes T;
// a landscape picture narrower than T keeps its size; a portrait one always gets height T).
// The ratio is a double, the product formed in extended precision and truncated:
// (200, 300, 300) gives (200, 199).
void FitSize(int32_t T, int32_t W, int32_t H, int32_t &NewWidth, int32_t &NewHeight);

// Area-average resize to newWidth x newHeight (24-bit result). Shrinking averages each
// destination pixel's box of source pixels (bounds by Round, means by Trunc); a side that
// grows gives every destination pixel at least its nearest source pixel, never black.
QImage ResizeAverage(int32_t newWidth, int32_t newHeight, const QImage &source);

// Enlarges source to exactly targetWidth wide (height Round(H * targetWidth / W)), bilinear
// with the edge pixels repeated: no black column or row.
QImage Enlarge(const QImage &source, int32_t targetWidth);
