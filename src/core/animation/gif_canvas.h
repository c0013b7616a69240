// SPDX-License-Identifier: GPL-3.0-or-later
// What a GIF player shows between frames, so that each frame stores only what changed. Every image
// here is ARGB32 of the canvas size, each pixel opaque or 0 (transparent).
#pragma once

#include <QImage>
#include <QRect>
#include <QRgb>

#include <cstdlib>

// A row of an ARGB32 image of the encoder's, as pixels.
inline const QRgb *GifRow(const QImage &image, int y)
{
    return reinterpret_cast<const QRgb *>(image.constScanLine(y));
}
inline QRgb *GifRow(QImage &image, int y)
{
    return reinterpret_cast<QRgb *>(image.scanLine(y));
}

struct GifCanvas {
    QImage shown;  // what the player shows now
    QImage source; // the frame pixel each shown pixel stands for: shown itself where exact
};

// A canvas of size showing nothing, as a player starts.
GifCanvas EmptyGifCanvas(QSize size);

// The frame's pixels as a GIF can hold them: ARGB32, a pixel less than half opaque 0, any other
// opaque. True in `transparent` when any pixel is 0.
QImage BinaryAlpha(const QImage &frame, bool &transparent);

// Whether the player may go on showing `shown` (standing for `source`) where a frame wants
// `wanted`: it is that very pixel (exact) or stands for it (a palette's approximation of the same
// pixel), or, with a tolerance, both are opaque and no channel differs by more. A transparent
// pixel is kept only over transparency: drawing cannot clear.
inline bool Keeps(QRgb shown, QRgb source, QRgb wanted, int tolerance, bool exact)
{
    if ((exact ? shown : source) == wanted)
        return true;
    if (tolerance == 0 || qAlpha(wanted) == 0 || qAlpha(shown) == 0)
        return false;
    return std::abs(qRed(shown) - qRed(wanted)) <= tolerance &&
           std::abs(qGreen(shown) - qGreen(wanted)) <= tolerance &&
           std::abs(qBlue(shown) - qBlue(wanted)) <= tolerance;
}

// The smallest rectangle holding every pixel of frame that canvas cannot keep (Keeps); empty when
// the canvas already shows the whole frame.
QRect ChangedRect(const GifCanvas &canvas, const QImage &frame, int tolerance, bool exact);

// The smallest rectangle holding every pixel opaque in frame and transparent in next: a player
// must clear them between the two frames, since a frame can only draw over what is shown.
QRect ClearedRect(const QImage &frame, const QImage &next);

// A player's disposal of the frame that covered rect: the rectangle made transparent.
void ClearOnCanvas(GifCanvas &canvas, const QRect &rect);
