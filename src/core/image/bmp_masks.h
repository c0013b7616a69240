// SPDX-License-Identifier: GPL-3.0-or-later
// The pixels of 16- and 32-bit BMP files whose channels are bit fields (colour masks): each
// channel scaled from its own width to 0 .. 255.
#pragma once

#include <QByteArrayView>
#include <QImage>

#include <atomic>
#include <cstdint>
#include <optional>

// The masks of a 16- or 32-bit pixel, alpha 0 when the pixels have none.
struct BmpMasks {
    uint32_t red = 0;
    uint32_t green = 0;
    uint32_t blue = 0;
    uint32_t alpha = 0;
};

// The masks a BMP file declares: for compression 3 (bit fields) and 6 (with alpha) the three or
// four that follow the 40-byte part of the header (inside a larger header, or after a 40-byte
// one); a header of 56 bytes or more carries the alpha mask there too. Without them, a 16-bit
// file is 5-5-5. Nothing (a damaged file) when they lie beyond the bytes, a colour mask is empty
// or not one run of bits, two masks overlap, or a mask reaches past the pixel's bits.
std::optional<BmpMasks> BmpMasksOf(QByteArrayView file, int infoSize, uint32_t compression,
                                   int bitCount);

// Where the pixel rows lie and how they are stored.
struct BmpRows {
    const uchar *first = nullptr; // the first row the file stores
    qint64 stride = 0;            // bytes from one stored row to the next
    int width = 0;
    int height = 0;
    bool topDown = false; // false: the first stored row is the bottom one
    int bitCount = 16;    // 16 or 32
};

// The picture of masked pixels: every channel scaled to a byte as Round(v * 255 / max), halves up,
// where max is the channel's largest value (31 for 5 bits, 1023 for 10). 24-bit, or
// non-premultiplied 32-bit ARGB when there is an alpha mask and a pixel is not opaque. Returns a
// null picture when cancel becomes true (checked between bands of rows).
QImage DecodeMaskedPixels(const BmpRows &rows, const BmpMasks &masks,
                          const std::atomic<bool> *cancel = nullptr);
