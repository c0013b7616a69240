// SPDX-License-Identifier: GPL-3.0-or-later
// Reading BMP files: Qt's reader behind our own checks, and our own run-length decoder.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

#include <atomic>

// Decodes BMP bytes in the file's own depth (1-bit files give 1-bit pictures, 4- and 8-bit
// files, RLE included, 8-bit palette pictures; 16- and 24-bit files give 24-bit pictures). name
// is used in messages only. Throws Failure naming it when the file is damaged or cut short
// (an RLE stream that ends before its end-of-bitmap code included), would take more than
// kMaxPictureBytes decoded, or is an RLE stream too short for the picture it declares
// (ExceedsCodedPixels). Pixels an RLE stream skips (end of line, end of bitmap, a jump) are
// palette index 0. Every picture up to kMaxPictureBytes is read, whatever limits Qt's own reader
// has. When cancel is given and becomes true (from another thread), reading stops between two
// bands of rows and Cancelled is thrown.
QImage DecodeBmp(const QByteArray &bytes, const QString &name,
                 const std::atomic<bool> *cancel = nullptr);
