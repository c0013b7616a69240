// SPDX-License-Identifier: GPL-3.0-or-later
// The EXIF orientation of photos: how a camera says the stored pixels are to be turned for
// showing, read with libexif and applied as an exact turn or mirror.
#pragma once

#include <QByteArrayView>
#include <QImage>

// Whether a photo's orientation tag is applied when it is read. Upright unless the user asks to
// keep the pixels as stored (the command line's --keep-orientation).
enum class Orientation { Upright, AsStored };

// The orientation tag (1 .. 8) of JPEG bytes, from the EXIF block of IFD 0; 1 (as stored) when
// there is no EXIF block, no tag, or a value outside 1 .. 8.
int ExifOrientation(QByteArrayView jpeg);

// The picture as orientation tag `orientation` says it is shown: 2 mirrored left to right, 3 turned
// half way, 4 mirrored top to bottom, 5 mirrored across the top-left to bottom-right diagonal,
// 6 turned a quarter clockwise, 7 mirrored across the other diagonal, 8 turned a quarter
// counter-clockwise. Every pixel is moved, none sampled; 1 and unknown values return picture.
QImage Upright(const QImage &picture, int orientation);
