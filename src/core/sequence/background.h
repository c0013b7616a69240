// SPDX-License-Identifier: GPL-3.0-or-later
// The background of a sprite sheet, and the runs of pixels that are not background: what finding
// the sprites and guessing the grid both start from.
#pragma once

#include "core/image/plugin_reading.h"

#include <QImage>
#include <QRgb>
#include <QString>

#include <vector>

// What the background is: every fully transparent pixel, or one colour, the one the picture's
// corners share or one given.
enum class BackgroundKind { Transparent, Corner, Colour };

// A JPEG's noise moves flat colours by a few levels, and more beside sharp edges.
inline constexpr int kJpegBackgroundTolerance = 24;
inline constexpr int kMaxBackgroundTolerance = 255;

struct SpriteBackground {
    BackgroundKind kind = BackgroundKind::Corner;
    QRgb colour = qRgb(255, 255, 255); // Colour: the colour given (opaque)
    // How far each channel may lie from the background's and still be background: the alpha for
    // Transparent (a pixel of alpha at most this), red, green, blue (and alpha, in a picture with
    // transparency) for a colour.
    int tolerance = 0;
};

// The background a picture read from a file of kind is searched on unless the user chooses:
// transparent for a picture with a fully transparent pixel, otherwise the corners' colour; a
// JPEG's colour with kJpegBackgroundTolerance, any other's exactly.
SpriteBackground DefaultBackground(const QImage &picture, ContentKind kind);

// The background colour for a Corner background: the colour of the corner that the most corners
// match within the tolerance (top left, top right, bottom left, bottom right first on a tie).
// Throws Failure when no two corners match: no colour can then be told to be the background.
QRgb CornerColour(const QImage &picture, int tolerance);

// A run of pixels of one row that are not background: [left, right).
struct ForegroundSpan {
    int left;
    int right;
};

// Every row's runs of pixels that are not background, left to right (row y at [y]). Throws
// Failure (NoTransparencyText) for a Transparent background on a picture none of whose pixels is
// that transparent, where the whole picture would be one sprite, and as CornerColour does.
std::vector<std::vector<ForegroundSpan>> ForegroundSpans(const QImage &picture,
                                                         const SpriteBackground &background);

// The failure of a Transparent background on a picture without transparency.
QString NoTransparencyText();
