// SPDX-License-Identifier: GPL-3.0-or-later
// The target size of a shrink, box averaging, and enlarging.
#pragma once

#include <QImage>
#include <QSize>
#include <cstdint>

// The size a picture shrinks to when its longer side becomes longerSide (a square's width does):
// that side is longerSide, the other keeps the proportion, truncated, computed in whole numbers so
// that no rounding of a ratio takes a pixel off (300 x 300 to 200 gives 200 x 200, 1800 x 1200 to
// 300 gives 300 x 200). A picture whose longer side is at most longerSide keeps its size: a shrink
// never enlarges, in either orientation. A picture without pixels keeps its size too.
QSize SizeWithLongerSide(QSize picture, int32_t longerSide);

// Area-average resize to newWidth x newHeight (24-bit result). Shrinking averages each
// destination pixel's box of source pixels (bounds by Round, means by Trunc); a side that
// grows gives every destination pixel at least its nearest source pixel, never black.
QImage ResizeAverage(int32_t newWidth, int32_t newHeight, const QImage &source);

// Enlarges source to exactly targetWidth wide (height Round(H * targetWidth / W)), bilinear
// with the edge pixels repeated: no black column or row.
QImage Enlarge(const QImage &source, int32_t targetWidth);
