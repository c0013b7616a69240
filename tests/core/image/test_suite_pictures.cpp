// SPDX-License-Identifier: GPL-3.0-or-later
// The kinds of file public test suites hold, made here sample by sample: PNGs of every colour type
// and depth, with tRNS and interlacing, and BMPs of every kind of colour mask.
#include "core/image/bmp_reading.h"
#include "core/image/picture.h"
#include "core/image/plugin_reading.h"
#include "core/image/png_reading.h"

#include "png_making.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>

namespace {

// What a reader must give, as non-premultiplied ARGB with the colour of a transparent pixel
// ignored (nothing shows it).
QImage comparable(const QImage &picture)
{
    QImage argb = picture.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < argb.height(); ++y)
        for (int x = 0; x < argb.width(); ++x)
            if (qAlpha(argb.pixel(x, y)) == 0)
                argb.setPixel(x, y, 0);
    return argb;
}

// Round(v * 255 / max) in floating point: the rule, written apart from the readers' whole numbers.
int scaled(unsigned v, unsigned max)
{
    return int(std::lround(v * 255.0 / max));
}

// Samples spread over the whole range of a channel, ends included.
unsigned spread(int x, int y, int channel, unsigned max)
{
    const unsigned values[] = {0, max, max / 2, max / 3 + 1, max - 1, (max * 7) / 9};
    return values[size_t(x * 5 + y * 3 + channel) % 6];
}

PngSpec rgb16WithKey(bool interlaced)
{
    PngSpec spec;
    spec.width = 9;
    spec.height = 7;
    spec.bitDepth = 16;
    spec.interlaced = interlaced;
    // (1, 2, 3) is the key, as in basn2c16.png with a tRNS added; (1, 2, 4) is not.
    spec.sample = [](int x, int y, int c) {
        if ((x + y) % 4 == 0)
            return unsigned(c + 1);
        if ((x + y) % 4 == 1)
            return unsigned(c == 2 ? 4 : c + 1);
        return spread(x, y, c, 65535);
    };
    spec.transparent = png_color_16{0, 1, 2, 3, 0};
    return spec;
}

// Mistakes: 16-bit colour with a transparent colour read as garbage (Qt's reader shifted its
// channels and squeezed the picture), the key compared after rounding to 8 bits (so (1, 2, 4)
// turns transparent too), 16-bit samples cut rather than rounded; and for every other colour type
// and depth, any pixel unlike what Qt's own reader, exact on those, gives.
TEST(PngReading, EveryColourTypeAndDepthReadsAsItsSamplesSay)
{
    for (const bool interlaced : {false, true}) {
        SCOPED_TRACE(interlaced ? "16-bit colour with tRNS, interlaced"
                                : "16-bit colour with tRNS");
        const PngSpec spec = rgb16WithKey(interlaced);
        const QImage read = DecodePng(MakePng(spec), "key.png");
        ASSERT_EQ(read.size(), QSize(spec.width, spec.height));
        for (int y = 0; y < spec.height; ++y)
            for (int x = 0; x < spec.width; ++x) {
                const unsigned r = spec.sample(x, y, 0), g = spec.sample(x, y, 1),
                               b = spec.sample(x, y, 2);
                const bool key = r == 1 && g == 2 && b == 3;
                const QRgb expected =
                    key ? 0 : qRgba(scaled(r, 65535), scaled(g, 65535), scaled(b, 65535), 255);
                ASSERT_EQ(comparable(read).pixel(x, y), expected) << x << "," << y;
            }
    }
    const auto make = [](int type, int depth, bool interlaced) {
        PngSpec spec;
        spec.width = 13;
        spec.height = 5;
        spec.colourType = type;
        spec.bitDepth = depth;
        spec.interlaced = interlaced;
        const unsigned max = (1u << depth) - 1;
        spec.sample = [max](int x, int y, int c) { return spread(x, y, c, max); };
        if (type == PNG_COLOR_TYPE_PALETTE) {
            for (unsigned i = 0; i <= max; ++i)
                spec.palette.push_back({png_byte(i * 40), png_byte(255 - i * 9), png_byte(i * 3)});
            spec.paletteAlpha = {0, 128};
        } else if (type == PNG_COLOR_TYPE_GRAY) {
            spec.transparent = png_color_16{0, 0, 0, 0, png_uint_16(max)};
        }
        return spec;
    };
    const struct {
        int type;
        std::vector<int> depths;
    } kinds[] = {{PNG_COLOR_TYPE_GRAY, {1, 2, 4, 8, 16}},
                 {PNG_COLOR_TYPE_PALETTE, {1, 2, 4, 8}},
                 {PNG_COLOR_TYPE_GRAY_ALPHA, {8, 16}},
                 {PNG_COLOR_TYPE_RGB, {8, 16}},
                 {PNG_COLOR_TYPE_RGB_ALPHA, {8, 16}}};
    for (const auto &kind : kinds)
        for (const int depth : kind.depths)
            for (const bool interlaced : {false, true}) {
                SCOPED_TRACE(testing::Message() << "type " << kind.type << ", " << depth << " bits"
                                                << (interlaced ? ", interlaced" : ""));
                const QByteArray png = MakePng(make(kind.type, depth, interlaced));
                EXPECT_EQ(comparable(DecodePng(png, "x.png")),
                          comparable(QImage::fromData(png, "PNG")));
            }
}

// A BMP of 16 or 32 bits a pixel with the masks given: a 40-byte header with the three masks
// after it, or a 124-byte one holding all four; pixel(x, y) is the stored value.
QByteArray maskedBmp(int width, int height, int bits, const uint32_t (&masks)[4], bool v5,
                     const std::function<uint32_t(int, int)> &pixel)
{
    const auto le = [](uint32_t v, int n) {
        QByteArray b;
        for (int i = 0; i < n; ++i)
            b += char(v >> (8 * i));
        return b;
    };
    const int stride = (width * bits + 31) / 32 * 4;
    QByteArray data;
    for (int stored = 0; stored < height; ++stored) {
        QByteArray row;
        for (int x = 0; x < width; ++x)
            row += le(pixel(x, height - 1 - stored), bits / 8);
        data += row + QByteArray(stride - row.size(), '\0');
    }
    const uint32_t compression = masks[3] && !v5 ? 6 : 3;
    QByteArray info = le(v5 ? 124 : 40, 4) + le(uint32_t(width), 4) + le(uint32_t(height), 4) +
                      le(1, 2) + le(uint32_t(bits), 2) + le(compression, 4) +
                      le(uint32_t(data.size()), 4) + QByteArray(16, '\0');
    info += le(masks[0], 4) + le(masks[1], 4) + le(masks[2], 4);
    info += v5 ? le(masks[3], 4) + QByteArray(124 - 56, '\0') : masks[3] ? le(masks[3], 4) : "";
    const uint32_t offset = uint32_t(14 + info.size());
    return "BM" + le(offset + uint32_t(data.size()), 4) + le(0, 4) + le(offset, 4) + info + data;
}

// One run of `bits` bits above `shift` bits.
constexpr uint32_t run(int bits, int shift)
{
    return uint32_t((uint64_t(1) << bits) - 1) << shift;
}

// Mistakes: channels shifted to 8 bits instead of scaled (5-bit white was 248), masks taken in a
// fixed order or width (11-11-10 came out black, 10-10-10-2 grey, the others scrambled), alpha
// from a V5 header ignored; and broken masks read as if they were whole.
TEST(BmpMasks, EveryChannelIsScaledFromItsOwnWidth)
{
    const struct {
        const char *name;
        int bits;
        uint32_t masks[4]; // red, green, blue, alpha
        bool v5;
    } rows[] = {
        {"rgb16-555 (no masks)", 16, {0, 0, 0, 0}, false},
        {"rgb16-565", 16, {run(5, 11), run(6, 5), run(5, 0), 0}, false},
        {"rgb16-3103", 16, {run(3, 13), run(10, 3), run(3, 0), 0}, false},
        {"rgba16-1924", 16, {run(9, 6), run(2, 4), run(4, 0), run(1, 15)}, true},
        {"rgb32-111110", 32, {run(11, 21), run(11, 10), run(10, 0), 0}, false},
        {"rgb32-7187", 32, {run(7, 25), run(18, 7), run(7, 0), 0}, false},
        {"rgba32-1010102", 32, {run(10, 20), run(10, 10), run(10, 0), run(2, 30)}, true},
        {"rgba32-61754", 32, {run(6, 26), run(17, 9), run(5, 4), run(4, 0)}, true},
        {"rgba32-81284 (alpha bit fields)",
         32,
         {run(8, 24), run(12, 12), run(8, 4), run(4, 0)},
         false},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        const bool fileMasks = row.masks[0] != 0;
        const uint32_t m[4] = {fileMasks ? row.masks[0] : run(5, 10),
                               fileMasks ? row.masks[1] : run(5, 5),
                               fileMasks ? row.masks[2] : run(5, 0), row.masks[3]};
        const auto value = [&](int x, int y, int c) {
            return spread(x, y, c, m[c] >> std::countr_zero(m[c]));
        };
        const auto pixel = [&](int x, int y) {
            uint32_t p = 0;
            for (int c = 0; c < 4; ++c)
                if (m[c])
                    p |= value(x, y, c) << std::countr_zero(m[c]);
            return p;
        };
        QByteArray file = maskedBmp(7, 3, row.bits, m, row.v5, pixel);
        if (!fileMasks) { // compression 0: the defaults, no masks in the file
            file[30] = 0;
            file.remove(54, 12);
            file[10] = char(54);
        }
        const QImage read = comparable(DecodeBmp(file, "masks.bmp"));
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 7; ++x) {
                const auto channel = [&](int c) {
                    return m[c] ? scaled(value(x, y, c), m[c] >> std::countr_zero(m[c])) : 255;
                };
                const QRgb expected =
                    channel(3) == 0 ? 0 : qRgba(channel(0), channel(1), channel(2), channel(3));
                ASSERT_EQ(read.pixel(x, y), expected) << x << "," << y;
            }
    }
    const uint32_t broken[][4] = {{run(8, 16), run(9, 7), run(8, 0), 0},  // overlapping
                                  {run(8, 16), 0, run(8, 0), 0},          // an empty channel
                                  {0x00F0F000, run(8, 8), run(8, 0), 0}}; // not one run
    for (const auto &masks : broken) {
        const QByteArray file = maskedBmp(2, 2, 32, masks, false, [](int, int) { return 0u; });
        EXPECT_TRUE(FailureOf([&] { DecodeBmp(file, "x.bmp"); }).contains("壊れています"));
    }
}

} // namespace
