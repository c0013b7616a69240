// SPDX-License-Identifier: GPL-3.0-or-later
// Reading PNG files with libpng, straight into the picture's rows.
#include "core/image/png_reading.h"

#include "core/base/files.h"
#include "core/image/picture.h"

#include <QColorSpace>
#include <QCoreApplication>
#include <QPointF>
#include <png.h>

#include <cmath>
#include <cstring>
#include <new>
#include <vector>

namespace {

static_assert(Q_BYTE_ORDER == Q_LITTLE_ENDIAN,
              "32-bit pixels come from libpng as the bytes blue, green, red, alpha");

// Compressed text can expand a thousandfold, and none of it is ever shown: skipped unread.
constexpr png_byte kSkippedChunks[] = "tEXt\0zTXt\0iTXt";

struct PngSource {
    QByteArrayView bytes;
    qsizetype pos = 0;
    bool cutShort = false;
};

enum class PngStop { None, TooLarge, TooLittleData, NoMemory };

// libpng's objects and what the decoding made, kept outside the function that holds setjmp.
struct PngDecode {
    png_structp png = nullptr;
    png_infop info = nullptr;
    PngSource source;
    PngStop stop = PngStop::None;
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    QImage picture;
    std::vector<png_bytep> rows;
    ~PngDecode() { png_destroy_read_struct(&png, &info, nullptr); }
};

void readBytes(png_structp png, png_bytep data, size_t length)
{
    auto &source = *static_cast<PngSource *>(png_get_io_ptr(png));
    if (length > size_t(source.bytes.size() - source.pos)) {
        source.cutShort = true;
        png_error(png, "cut short");
    }
    std::memcpy(data, source.bytes.data() + source.pos, length);
    source.pos += qsizetype(length);
}

[[noreturn]] void onError(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

void onWarning(png_structp, png_const_charp) {} // nothing on standard error

bool hasTransparency(const PngDecode &d)
{
    return (png_get_color_type(d.png, d.info) & PNG_COLOR_MASK_ALPHA) ||
           png_get_valid(d.png, d.info, PNG_INFO_tRNS);
}

// Refused before any memory is taken for the pixels: the picture limit, what the decoding takes
// (4 bytes a pixel with transparency, and a 24-bit copy when every pixel turns out opaque), and
// the pixels the file's bytes can describe (deflate codes at most 1032 bytes in one).
bool withinLimits(PngDecode &d)
{
    const int bytesPerPixel = hasTransparency(d) ? 4 + 3 : 3;
    if (ExceedsPictureLimit(d.width, d.height) ||
        ExceedsDecodingLimit(d.width, d.height, bytesPerPixel)) {
        d.stop = PngStop::TooLarge;
        return false;
    }
    if (ExceedsCodedPixels(d.width, d.height, d.source.bytes.size())) {
        d.stop = PngStop::TooLittleData;
        return false;
    }
    return true;
}

// Every kind of PNG into 8-bit blue, green, red (and alpha): palettes and grey expanded, tRNS made
// alpha, 16-bit samples rounded (not cut) to 8 bits. No gamma transform: colours are converted,
// when they are, from the colour space as a whole.
void chooseOutput(PngDecode &d)
{
    png_set_expand(d.png);
    png_set_scale_16(d.png);
    png_set_gray_to_rgb(d.png);
    png_set_bgr(d.png);
    png_set_interlace_handling(d.png);
    png_read_update_info(d.png, d.info);
}

// The rows of a fresh picture; false when the memory is not there.
bool makePicture(PngDecode &d, bool alpha)
{
    d.picture = QImage(int(d.width), int(d.height), alpha ? QImage::Format_ARGB32 : kPictureFormat);
    if (d.picture.isNull())
        return false;
    d.rows.resize(d.height);
    for (png_uint_32 y = 0; y < d.height; ++y)
        d.rows[y] = d.picture.scanLine(int(y));
    return true;
}

// Holds setjmp: no local object with a destructor lives here (png_longjmp would skip it).
bool runDecode(PngDecode &d)
{
    if (setjmp(png_jmpbuf(d.png)))
        return false;
    png_set_read_fn(d.png, &d.source, readBytes);
    // The program's own limits decide a picture's size (libpng's stop at a million pixels a side).
    png_set_user_limits(d.png, PNG_UINT_31_MAX, PNG_UINT_31_MAX);
    png_set_keep_unknown_chunks(d.png, PNG_HANDLE_CHUNK_NEVER, kSkippedChunks, 3);
    png_read_info(d.png, d.info);
    d.width = png_get_image_width(d.png, d.info);
    d.height = png_get_image_height(d.png, d.info);
    if (!withinLimits(d))
        return false;
    const bool alpha = hasTransparency(d);
    chooseOutput(d);
    if (png_get_rowbytes(d.png, d.info) != size_t(d.width) * (alpha ? 4 : 3))
        png_error(d.png, "unexpected row layout");
    if (!makePicture(d, alpha)) {
        d.stop = PngStop::NoMemory;
        return false;
    }
    png_read_image(d.png, d.rows.data());
    png_read_end(d.png, nullptr); // the last chunks too: a file cut after its pixels is cut short
    return true;
}

// A gamma of 1/2.2 on its own is how many writers say "the usual monitor": converting it would move
// most pixels by a level for nothing a viewer shows.
bool isUsualGamma(double fileGamma)
{
    return std::abs(fileGamma - 1 / 2.2) < 0.005;
}

QPointF chromaticity(png_fixed_point x, png_fixed_point y)
{
    return QPointF(x / 100000.0, y / 100000.0);
}

// What the file says of its colours, by the chunks' precedence: iCCP, then sRGB, then gAMA with
// cHRM (or sRGB's primaries). Invalid when it says nothing a conversion could use.
QColorSpace fileColourSpace(png_structp png, png_infop info)
{
    png_charp name = nullptr;
    int compression = 0;
    png_bytep profile = nullptr;
    png_uint_32 length = 0;
    if (png_get_iCCP(png, info, &name, &compression, &profile, &length) && profile)
        return QColorSpace::fromIccProfile(
            QByteArray(reinterpret_cast<const char *>(profile), qsizetype(length)));
    if (png_get_valid(png, info, PNG_INFO_sRGB))
        return QColorSpace(QColorSpace::SRgb);
    png_fixed_point gamma = 0;
    if (!png_get_gAMA_fixed(png, info, &gamma) || gamma <= 0)
        return {};
    const double fileGamma = gamma / 100000.0;
    png_fixed_point wx, wy, rx, ry, gx, gy, bx, by;
    if (png_get_cHRM_fixed(png, info, &wx, &wy, &rx, &ry, &gx, &gy, &bx, &by))
        return QColorSpace(chromaticity(wx, wy), chromaticity(rx, ry), chromaticity(gx, gy),
                           chromaticity(bx, by), QColorSpace::TransferFunction::Gamma,
                           float(1 / fileGamma));
    if (isUsualGamma(fileGamma))
        return {};
    return QColorSpace(QColorSpace::Primaries::SRgb, float(1 / fileGamma));
}

[[noreturn]] void refuse(const PngDecode &d, const QString &name)
{
    switch (d.stop) {
    case PngStop::TooLarge: throw ReadFailure(name, PictureTooLargeText(d.width, d.height));
    case PngStop::TooLittleData:
        throw ReadFailure(name, TooLittleDataText(u"PNG", d.width, d.height));
    case PngStop::NoMemory: throw std::bad_alloc();
    case PngStop::None: break;
    }
    throw ReadFailure(name, d.source.cutShort ? CutShortFileText(u"PNG") : DamagedFileText(u"PNG"));
}

} // namespace

QImage DecodePng(const QByteArray &bytes, const QString &name)
{
    PngDecode d;
    d.source.bytes = bytes;
    d.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, onError, onWarning);
    if (d.png)
        d.info = png_create_info_struct(d.png);
    if (!d.png || !d.info)
        throw std::bad_alloc();
    if (!runDecode(d))
        refuse(d, name);
    QImage picture = WithoutUnusedAlpha(std::move(d.picture));
    picture.setColorSpace(fileColourSpace(d.png, d.info));
    return picture;
}
