// SPDX-License-Identifier: GPL-3.0-or-later
// PNGs made by libpng in memory, for the colour types, depths and chunks the program's own writer
// never makes: each sample given as a number, so a test knows what every pixel holds.
#pragma once

#include <QByteArray>

#include <functional>
#include <optional>
#include <vector>

#include <png.h>

struct PngSpec {
    int width = 1;
    int height = 1;
    int bitDepth = 8;
    int colourType = PNG_COLOR_TYPE_RGB;
    bool interlaced = false;
    // Sample `channel` of pixel (x, y), or its palette index; at most 2^bitDepth - 1.
    std::function<unsigned(int x, int y, int channel)> sample = [](int, int, int) { return 0u; };
    std::vector<png_color> palette;
    std::vector<png_byte> paletteAlpha;      // tRNS of a palette
    std::optional<png_color_16> transparent; // tRNS of a grey or colour picture
    // Chunks of the header (gAMA, iCCP, ...) set on the info before it is written.
    std::function<void(png_structp, png_infop)> chunks;
};

inline int PngChannels(int colourType)
{
    switch (colourType) {
    case PNG_COLOR_TYPE_GRAY:
    case PNG_COLOR_TYPE_PALETTE: return 1;
    case PNG_COLOR_TYPE_GRAY_ALPHA: return 2;
    case PNG_COLOR_TYPE_RGB: return 3;
    default: return 4;
    }
}

// The PNG's bytes; a libpng failure ends the test program, which is right here.
inline QByteArray MakePng(const PngSpec &spec)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    QByteArray out;
    png_set_write_fn(
        png, &out,
        [](png_structp p, png_bytep data, size_t length) {
            static_cast<QByteArray *>(png_get_io_ptr(p))
                ->append(reinterpret_cast<const char *>(data), qsizetype(length));
        },
        nullptr);
    png_set_IHDR(png, info, png_uint_32(spec.width), png_uint_32(spec.height), spec.bitDepth,
                 spec.colourType, spec.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
    if (!spec.palette.empty())
        png_set_PLTE(png, info, spec.palette.data(), int(spec.palette.size()));
    if (!spec.paletteAlpha.empty())
        png_set_tRNS(png, info, spec.paletteAlpha.data(), int(spec.paletteAlpha.size()), nullptr);
    if (spec.transparent) {
        png_color_16 key = *spec.transparent;
        png_set_tRNS(png, info, nullptr, 0, &key);
    }
    if (spec.chunks)
        spec.chunks(png, info);
    png_write_info(png, info);
    const int channels = PngChannels(spec.colourType);
    const size_t rowBytes = (size_t(spec.width) * channels * spec.bitDepth + 7) / 8;
    std::vector<std::vector<png_byte>> rows(size_t(spec.height), std::vector<png_byte>(rowBytes));
    for (int y = 0; y < spec.height; ++y) {
        png_byte *row = rows[size_t(y)].data();
        for (int i = 0; i < spec.width * channels; ++i) {
            const unsigned v = spec.sample(i / channels, y, i % channels);
            if (spec.bitDepth == 16) {
                row[2 * i] = png_byte(v >> 8);
                row[2 * i + 1] = png_byte(v);
            } else if (spec.bitDepth == 8) {
                row[i] = png_byte(v);
            } else { // packed from the high bits of each byte on
                const int bit = i * spec.bitDepth;
                row[bit / 8] |= png_byte(v << (8 - spec.bitDepth - bit % 8));
            }
        }
    }
    std::vector<png_bytep> pointers;
    for (auto &row : rows)
        pointers.push_back(row.data());
    png_write_image(png, pointers.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}
