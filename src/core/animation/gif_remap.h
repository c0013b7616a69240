// SPDX-License-Identifier: GPL-3.0-or-later
// A GIF frame's pixels in a palette chosen for it: each the nearest colour (squared distance in
// RGB, which is what the error of a frame against its source is measured in), with a little
// error diffusion, or transparent where what the player shows already is as close.
#pragma once

#include <QImage>
#include <QRgb>

#include <vector>

struct RemappedPixels {
    std::vector<unsigned char> indices; // one a pixel, row after row
    std::vector<QRgb> colours;          // the palette the indices point into, refined to them
};

// part (ARGB32, every pixel opaque or 0) in palette, whose entry transparentIndex is the
// transparent colour, knowing that shown (the same size) is what the player shows there. The
// palette is first refined to part, twice: each colour moved to the mean of the pixels nearest
// to it.
// Then, row after row, each pixel with dither (0 .. 1) of the error diffused from its neighbours
// before is the nearest colour, or the transparent index where shown is opaque and as close; a
// pixel of alpha 0 is the transparent index.
RemappedPixels RemapToPalette(const QImage &part, const QImage &shown,
                              const std::vector<QRgb> &palette, int transparentIndex, float dither);
