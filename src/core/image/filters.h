// SPDX-License-Identifier: GPL-3.0-or-later
// The same-size edits: blur and sharpen, contrast, gamma and the automatic level stretch.
#pragma once

#include "core/image/picture.h"

// The two fixed 3x3 kernels.
enum class FilterKind { Blur, Sharpen };

// Each edit gives a new 24-bit picture of the same size; a picture with alpha is seen over white.

// Blur or sharpen with a fixed 3x3 kernel; the border repeats the pixel's own row or column.
QImage Filter3x3(const QImage &picture, FilterKind kind);

// Pushes each channel away from 127.5 by factor.
QImage Contrast(const QImage &picture, double factor);

// The power curve 255 * (v / 255) ^ (1 / gamma) on every channel; a gamma of 0 or below (or NaN)
// leaves the picture as it is.
QImage Gamma(const QImage &picture, double gamma);

// Stretches the luminance range present in the picture onto 0..255. A picture of one luminance
// is left unchanged.
QImage LevelCorrect(const QImage &picture);
