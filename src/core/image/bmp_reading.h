// SPDX-License-Identifier: GPL-3.0-or-later
// Reading BMP files: Qt's reader behind our own checks, our own run-length decoder, and our own
// decoding of pixels made of colour masks.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

#include <atomic>

// Decodes BMP bytes in the file's own depth (1-bit files give 1-bit pictures, 4- and 8-bit
// files, RLE included, 8-bit palette pictures; 16- and 24-bit files give 24-bit pictures; 32-bit
// ones 24-bit or, with an alpha mask and a pixel not opaque, 32-bit ARGB). Channels of 16-bit
// files and of colour masks (compression 3 and 6) of any width are scaled to bytes as
// Round(v * 255 / max) (DecodeMaskedPixels); masks that are empty, overlap or are not one run of
// bits make the file damaged. name is used in messages only. Throws Failure naming it when the file
// is damaged or cut short (an RLE stream that ends before its end-of-bitmap code included), would
// take more than kMaxPictureBytes decoded, or is an RLE stream too short for the picture it
// declares (ExceedsCodedPixels). Pixels an RLE stream skips (end of line, end of bitmap, a jump)
// are palette index 0. Every picture up to kMaxPictureBytes is read, whatever limits Qt's own
// reader has. When cancel is given and becomes true (from another thread), reading stops between
// two bands of rows and Cancelled is thrown.
QImage DecodeBmp(const QByteArray &bytes, const QString &name,
                 const std::atomic<bool> *cancel = nullptr);
