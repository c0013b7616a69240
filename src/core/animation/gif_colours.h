// SPDX-License-Identifier: GPL-3.0-or-later
// The colours of a GIF frame: those it holds exactly, and the nearest in a table.
#pragma once

#include <QImage>
#include <QRgb>

#include <vector>

// The frame's opaque colours in the order met, at most limit, and each pixel's place among them
// (0 for a transparent pixel); false when the frame has more.
bool ExactColours(const QImage &frame, int limit, std::vector<QRgb> &colours,
                  std::vector<unsigned char> &ids);

// The sum of the squared differences of (r, g, b) and colour's channels.
inline int SquaredDistance(int r, int g, int b, QRgb colour)
{
    const int dr = r - qRed(colour), dg = g - qGreen(colour), db = b - qBlue(colour);
    return dr * dr + dg * dg + db * db;
}

// The index of the colour nearest pixel (by the sum of squared channel differences), never
// transparentIndex.
int NearestOpaque(const std::vector<QRgb> &colours, QRgb pixel, int transparentIndex);
