// SPDX-License-Identifier: GPL-3.0-or-later
// Reading PNG files with libpng: every colour type and depth, transparency, the file's colours.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// Decodes PNG bytes (name is used in messages only): palette, grey and colour files of every bit
// depth, interlaced or not, 16-bit samples rounded to 8 bits (Round(v * 255 / 65535)). A picture
// with transparency (an alpha channel, or a transparent colour or palette entries in tRNS) comes
// out as non-premultiplied 32-bit ARGB when one of its pixels is not opaque; any other as 24-bit.
// The picture's colorSpace() is what the file says of its colours (iCCP, sRGB, or gAMA with
// cHRM), and invalid when it says nothing or only "gamma 1/2.2": no pixel is converted here.
// Text chunks (tEXt, zTXt, iTXt) are skipped unread, never decompressed.
// Throws Failure naming the file when it is damaged or ends before its last row, when its
// decoding would take more than kMaxDecodingBytes, or when it is larger than kPixelsDecodedFreely
// and declares more pixels than its bytes could code (ExceedsCodedPixels).
QImage DecodePng(const QByteArray &bytes, const QString &name);
