// SPDX-License-Identifier: GPL-3.0-or-later
// Reading TIFF files with libtiff: the first picture of a file, in strips or tiles, turned upright
// by its orientation tag.
#pragma once

#include "core/image/exif_orientation.h"

#include <QByteArray>
#include <QImage>
#include <QString>

// Decodes the first picture of TIFF bytes (name is used in messages only): every photometric
// kind libtiff turns into colours (grey, palette, RGB, CMYK, YCbCr, 1-bit), in strips or tiles of
// any size (a picture smaller than one tile included), with any compression libtiff holds;
// 16-bit samples are rounded to 8 bits. A picture with an alpha sample comes out as
// non-premultiplied 32-bit ARGB when one of its pixels is not opaque, any other as 24-bit. The
// orientation tag (1 .. 8, as EXIF's) is applied unless orientation is AsStored. colorSpace() is
// the file's ICC profile, invalid without one.
// Throws Failure naming the file when it is damaged or cut short, of a kind libtiff cannot turn
// into colours, when its decoding would take more than kMaxDecodingBytes, or when it is larger
// than kPixelsDecodedFreely and declares more pixels than its bytes could code.
QImage DecodeTiff(const QByteArray &bytes, const QString &name,
                  Orientation orientation = Orientation::Upright);
