// SPDX-License-Identifier: GPL-3.0-or-later
// libimagequant for GIF frames of many colours: a palette chosen for the whole frame, then the
// part of the frame that changed remapped to it (RemapToPalette) over what the player already
// shows there.
#pragma once

#include <QImage>
#include <QRgb>

#include <vector>

class GifQuantizer {
  public:
    // A palette of at most `colours` colours for frame (ARGB32, every pixel opaque or 0), one of
    // them the transparent colour. speed is libimagequant's, 1 (best) to 10 (fastest). Throws
    // Failure.
    GifQuantizer(const QImage &frame, int colours, int speed);

    struct Remapped {
        std::vector<unsigned char> indices; // one a pixel of the part, row after row
        std::vector<QRgb> colours;          // the palette the indices point into
        int transparentIndex = 0;
    };
    // part (ARGB32, as the frame) in the palette refined to it, dithered at `dither` (0 .. 1),
    // knowing that shown (the same size) is what the player already shows there: where shown is
    // as close to a pixel as the palette can be, the pixel is the transparent index and shown
    // stays.
    Remapped remap(const QImage &part, const QImage &shown, float dither) const;

  private:
    std::vector<QRgb> m_palette;
    int m_transparentIndex = -1;
};
