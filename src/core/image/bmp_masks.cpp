// SPDX-License-Identifier: GPL-3.0-or-later
// BMP pixels as bit fields: the masks, checked, and every channel scaled to a byte.
#include "core/image/bmp_masks.h"

#include "core/image/picture.h"

#include <bit>
#include <vector>

namespace {

constexpr uint32_t kBitFields = 3;
constexpr uint32_t kAlphaBitFields = 6;
// The masks follow the 40-byte part of the header, after the 14-byte file header.
constexpr qsizetype kMasksAt = 14 + 40;
// A header this long holds the alpha mask after the three colour masks.
constexpr int kHeaderWithAlphaMask = 56;
// Rows decoded between two looks at the cancel flag.
constexpr int kRowsBetweenChecks = 256;

uint32_t le32At(QByteArrayView b, qsizetype at)
{
    return uint32_t(uchar(b[at])) | uint32_t(uchar(b[at + 1])) << 8 |
           uint32_t(uchar(b[at + 2])) << 16 | uint32_t(uchar(b[at + 3])) << 24;
}

// A mask is one run of set bits: shifted down to bit 0 it is 2^n - 1.
bool isOneRun(uint32_t mask)
{
    if (mask == 0)
        return false;
    const uint32_t low = mask >> std::countr_zero(mask);
    return (low & (low + 1)) == 0;
}

bool areSound(const BmpMasks &m, int bitCount)
{
    const uint32_t all[] = {m.red, m.green, m.blue, m.alpha};
    uint32_t seen = 0;
    for (const uint32_t mask : all) {
        if (mask & seen)
            return false; // two channels share a bit
        seen |= mask;
    }
    const bool fitsPixel = bitCount == 32 || (seen >> 16) == 0;
    return fitsPixel && isOneRun(m.red) && isOneRun(m.green) && isOneRun(m.blue) &&
           (m.alpha == 0 || isOneRun(m.alpha));
}

// One channel: where it sits, its largest value, and its bytes for every value when they fit a
// table (every real mask has at most 16 bits; a wider one is computed pixel by pixel).
class Channel {
  public:
    explicit Channel(uint32_t mask)
        : m_shift(mask ? std::countr_zero(mask) : 0), m_max(mask ? mask >> m_shift : 0)
    {
        if (m_max > 0 && m_max <= 0xFFFF) {
            m_table.resize(size_t(m_max) + 1);
            for (uint32_t v = 0; v <= m_max; ++v)
                m_table[v] = scale(v);
        }
    }

    uchar of(uint32_t pixel) const
    {
        const uint32_t v = (pixel >> m_shift) & m_max;
        return m_table.empty() ? scale(v) : m_table[v];
    }

  private:
    // Round(v * 255 / max), halves up, in whole numbers: (2 * 255 * v + max) / (2 * max).
    uchar scale(uint32_t v) const
    {
        return m_max == 0 ? 0 : uchar((uint64_t(v) * 510 + m_max) / (uint64_t(m_max) * 2));
    }

    int m_shift;
    uint32_t m_max;
    std::vector<uchar> m_table;
};

uint32_t pixelAt(const uchar *row, int x, int bitCount)
{
    if (bitCount == 16)
        return uint32_t(row[2 * x]) | uint32_t(row[2 * x + 1]) << 8;
    const uchar *p = row + 4 * size_t(x);
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

struct Channels {
    Channel red, green, blue, alpha;
};

// Row y of the picture; true when all its pixels are opaque.
bool decodeRow(const BmpRows &rows, const Channels &c, bool withAlpha, int y, uchar *out)
{
    const uchar *in = rows.first + rows.stride * (rows.topDown ? y : rows.height - 1 - y);
    bool opaque = true;
    for (int x = 0; x < rows.width; ++x) {
        const uint32_t pixel = pixelAt(in, x, rows.bitCount);
        if (withAlpha) {
            const uchar a = c.alpha.of(pixel);
            reinterpret_cast<QRgb *>(out)[x] =
                qRgba(c.red.of(pixel), c.green.of(pixel), c.blue.of(pixel), a);
            opaque = opaque && a == 255;
        } else {
            out[3 * x] = c.blue.of(pixel);
            out[3 * x + 1] = c.green.of(pixel);
            out[3 * x + 2] = c.red.of(pixel);
        }
    }
    return opaque;
}

} // namespace

std::optional<BmpMasks> BmpMasksOf(QByteArrayView file, int infoSize, uint32_t compression,
                                   int bitCount)
{
    BmpMasks masks;
    if (compression == kBitFields || compression == kAlphaBitFields) {
        const bool withAlpha = compression == kAlphaBitFields || infoSize >= kHeaderWithAlphaMask;
        if (file.size() < kMasksAt + (withAlpha ? 16 : 12))
            return std::nullopt;
        masks.red = le32At(file, kMasksAt);
        masks.green = le32At(file, kMasksAt + 4);
        masks.blue = le32At(file, kMasksAt + 8);
        masks.alpha = withAlpha ? le32At(file, kMasksAt + 12) : 0;
    } else if (bitCount == 16) {
        masks = {0x7C00, 0x03E0, 0x001F, 0}; // 5-5-5, the top bit unused
    } else {
        return std::nullopt;
    }
    if (!areSound(masks, bitCount))
        return std::nullopt;
    return masks;
}

QImage DecodeMaskedPixels(const BmpRows &rows, const BmpMasks &masks,
                          const std::atomic<bool> *cancel)
{
    const Channels channels{Channel(masks.red), Channel(masks.green), Channel(masks.blue),
                            Channel(masks.alpha)};
    const bool withAlpha = masks.alpha != 0;
    QImage picture(rows.width, rows.height, withAlpha ? QImage::Format_ARGB32 : kPictureFormat);
    if (picture.isNull())
        throw std::bad_alloc();
    bool opaque = true;
    for (int y = 0; y < rows.height; ++y) {
        if (cancel && y % kRowsBetweenChecks == 0 && cancel->load(std::memory_order_relaxed))
            return QImage();
        opaque = decodeRow(rows, channels, withAlpha, y, picture.scanLine(y)) && opaque;
    }
    return withAlpha && opaque ? picture.convertToFormat(kPictureFormat) : picture;
}
