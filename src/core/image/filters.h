// SPDX-License-Identifier: GPL-3.0-or-later
// The same-size edits: blur and sharpen, contrast, gamma and the automatic level stretch.
#pragma once

#include "core/image/picture.h"

// The two fixed 3x3 kernels.
enum class FilterKind { Blur, Sharpen };

// Blur or sharpen with a fixed 3x3 kernel over rect; the border repeats the pixel's own row or
// column.
QImage Filter3x3(FilterKind kind, PixelRect rect, const QImage &source);

// Pushes each channel away from 127.5 by factor over rect.
QImage Contrast(double factor, PixelRect rect, const QImage &source);

// A power curve per channel over rect; any gamma of 0 or below leaves the picture as it is.
QImage Gamma(double gammaBlue, double gammaGreen, double gammaRed, PixelRect rect,
             const QImage &source);

// Stretches the luminance range present in picture onto 0..255, in place (24-bit after).
// A picture of one luminance is left unchanged.
void LevelCorrect(QImage &picture);
