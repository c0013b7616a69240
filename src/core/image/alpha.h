// SPDX-License-Identifier: GPL-3.0-or-later
// Pictures with transparency: how the program sees them over white, how the canvas shows them
// over a checkerboard, and the cut that keeps their alpha for outputs that can hold it.
#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>

// Whether a picture carries transparency at all (an alpha channel in its format). A picture read
// from a PNG without transparent pixels has none, and costs nothing here.
inline bool HasAlpha(const QImage &picture)
{
    return picture.hasAlphaChannel();
}

// The picture as a 24-bit picture seen over white: each channel is
// Round(c * a / 255 + 255 * (255 - a) / 255), halves to even, which the integer form below gives
// exactly. A picture without alpha is converted as To24Bit converts it.
QImage OverWhite(const QImage &picture);

// The size of a checkerboard square of the canvas, in picture pixels.
inline constexpr int kCheckerSquare = 8;

// The part of picture at `area` as the canvas shows it: over a grey and white checkerboard whose
// squares are anchored at the picture's (0, 0), so a part redrawn later meets its neighbours
// seamlessly. 24-bit. A picture without alpha gives its 24-bit pixels.
QImage OverCheckerboard(const QImage &picture, const QRect &area);

// The pixels of picture under area as a 24-bit picture seen over white (as To24Bit sees it), in a
// picture of area's size; any part of area outside the picture is white. Only the area is read
// and, for a picture that is not 24-bit, converted: the cost follows the cut, not the picture.
// into is reused when it has the right size and format. An area beyond kMaxPictureBytes leaves
// into null.
void CopyOverWhite(const QImage &picture, const QRect &area, QImage &into);

// The pixels of picture under area with their alpha, as a non-premultiplied 32-bit picture
// (QImage::Format_ARGB32) of area's size; any part of area outside the picture is opaque white, as
// the 24-bit cut has it. into is reused when it has the right size and format.
void CopyWithAlpha(const QImage &picture, const QRect &area, QImage &into);
