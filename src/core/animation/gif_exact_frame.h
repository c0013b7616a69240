// SPDX-License-Identifier: GPL-3.0-or-later
// The ways a GIF frame of few colours can give its colours indices, to be weighed by the bytes
// each codes to: in a table of its own or in the file's global table, with the pixels the player
// keeps left transparent or drawn.
#pragma once

#include <QHash>
#include <QImage>
#include <QRect>
#include <QRgb>

#include <vector>

// The file's one global table as frames fill it.
struct GifGlobalTable {
    std::vector<QRgb> colours;
    QHash<QRgb, int> indexOf; // by opaque colour
    int indicesUsed = 0;      // the indices frames refer to, which the written table must reach
};

// What a player shown a pixel keeps showing: that very pixel, which it may as well draw again, or
// one close enough (a tolerance), which it must not: every way of indexing a frame then shows the
// same.
inline constexpr unsigned char kKeptSame = 1;
inline constexpr unsigned char kKeptClose = 2;

// A frame of few colours: its pixels over the whole canvas (ARGB32, each opaque or 0), its opaque
// colours and each pixel's place among them (ExactColours), the rectangle it stores, by pixel of
// that rectangle whether the player keeps what it shows (0, kKeptSame, kKeptClose), and whether
// the player clears the rectangle after the frame.
struct ExactFrame {
    const QImage &pixels;
    const std::vector<QRgb> &colours;
    const std::vector<unsigned char> &ids;
    QRect rect;
    const std::vector<unsigned char> &kept;
    bool cleared = false;
};

struct ExactIndexing {
    bool inGlobalTable = false;
    std::vector<QRgb> own;      // else the frame's own table
    std::vector<QRgb> appended; // global: colours the global table gains
    int transparentIndex = -1;
    int indexBits = 1;
    std::vector<unsigned char> indices; // by pixel of the rectangle
    std::vector<short> alternatives;    // as GifLzwData takes them
};

// The indexings worth coding: the pixels the player keeps the same transparent, or drawn, each in
// the global table (when it has room) and in a table of the frame's own. Colours are placed the
// most drawn first, so that those most frames draw tend to get the low indices that are coded in
// fewer bits.
std::vector<ExactIndexing> ExactIndexings(const ExactFrame &frame, const GifGlobalTable &global);
