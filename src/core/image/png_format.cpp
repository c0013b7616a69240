// SPDX-License-Identifier: GPL-3.0-or-later
// PNG writing through libpng.
#include "core/image/png_format.h"

#include "core/base/atomic_file.h"
#include "core/base/files.h"
#include "core/base/io_error.h"
#include "core/image/alpha.h"
#include "core/image/picture.h"

#include <QCoreApplication>
#include <png.h>
#include <zlib.h>

#include <csetjmp>
#include <new>
#include <vector>

namespace {

static_assert(Q_BYTE_ORDER == Q_LITTLE_ENDIAN,
              "32-bit pixels are handed to libpng as the bytes blue, green, red, alpha");

// Frames of photos and screenshots: every filter tried per row (libpng's choice by the smallest
// sum), then run-length matching only. On filtered photo rows, matches longer than a run are rare,
// so this gives files as small as the default deflate search at a fraction of its time; flat
// screenshot areas are runs after filtering and compress as well.
constexpr int kZlibLevel = 6;
constexpr int kZlibStrategy = Z_RLE;

struct Sink {
    QByteArray *out = nullptr;
    bool outOfMemory = false;
};

void appendBytes(png_structp png, png_bytep data, png_size_t length)
{
    auto *sink = static_cast<Sink *>(png_get_io_ptr(png));
    try {
        sink->out->append(reinterpret_cast<const char *>(data), qsizetype(length));
    } catch (const std::bad_alloc &) {
        sink->outOfMemory = true;
        png_error(png, "out of memory");
    }
}

void noFlush(png_structp) {}

// libpng reports errors by a long jump back into this function: nothing with a destructor lives
// between the setjmp and the calls that can jump, so nothing is skipped.
bool encodeRows(const uchar *const *rows, int width, int height, bool alpha, Sink &sink)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png)
        return false;
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, &sink, appendBytes, noFlush);
    png_set_compression_level(png, kZlibLevel);
    png_set_compression_strategy(png, kZlibStrategy);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_ALL_FILTERS);
    png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), 8,
                 alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
    // Every picture the program writes is sRGB: one read in another colour space was converted.
    png_set_sRGB(png, info, PNG_sRGB_INTENT_PERCEPTUAL);
    png_write_info(png, info);
    png_set_bgr(png); // the rows hold blue first
    png_write_image(png, const_cast<png_bytepp>(rows));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

} // namespace

void EncodePng(const QImage &picture, QByteArray &out)
{
    if (picture.isNull())
        throw Failure(NoPictureText());
    const bool alpha = HasAlpha(picture);
    const QImage pixels = !alpha ? To24Bit(picture)
                          : picture.format() == QImage::Format_ARGB32
                              ? picture
                              : picture.convertToFormat(QImage::Format_ARGB32);
    if (pixels.isNull())
        throw std::bad_alloc();
    std::vector<const uchar *> rows(size_t(pixels.height()));
    for (int y = 0; y < pixels.height(); ++y)
        rows[size_t(y)] = pixels.constScanLine(y);
    out.resize(0); // keeps the memory for the next frame
    Sink sink{&out};
    if (!encodeRows(rows.data(), pixels.width(), pixels.height(), alpha, sink)) {
        if (sink.outOfMemory)
            throw std::bad_alloc();
        throw Failure(QCoreApplication::translate("PngFormat", "PNG を作れません (%1 x %2)")
                          .arg(pixels.width())
                          .arg(pixels.height()));
    }
}

QByteArray EncodePng(const QImage &picture)
{
    QByteArray out;
    EncodePng(picture, out);
    return out;
}

QByteArray EncodePngFor(const QString &path, const QImage &picture)
{
    try {
        return EncodePng(picture);
    } catch (const std::bad_alloc &) {
        throw;
    } catch (const Failure &failure) {
        throw WriteFailure(path, failure.description());
    }
}

void WritePngFile(const QString &path, const QImage &picture)
{
    WriteFileAtomically(path, EncodePngFor(path, picture));
}
