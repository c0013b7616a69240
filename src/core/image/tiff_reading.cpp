// SPDX-License-Identifier: GPL-3.0-or-later
// Reading TIFF files with libtiff's RGBA interface, from memory, into the picture's own rows.
#include "core/image/tiff_reading.h"

#include "core/base/files.h"
#include "core/image/picture.h"

#include <QColorSpace>
#include <QCoreApplication>
#include <tiffio.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

namespace {

struct TiffSource {
    QByteArrayView bytes;
    qint64 pos = 0;
};

tmsize_t readBytes(thandle_t handle, void *data, tmsize_t size)
{
    auto &source = *static_cast<TiffSource *>(handle);
    const qint64 left = std::max<qint64>(0, source.bytes.size() - source.pos);
    const qint64 count = std::min<qint64>(size, left);
    if (count > 0)
        std::memcpy(data, source.bytes.data() + source.pos, size_t(count));
    source.pos += count;
    return tmsize_t(count);
}

tmsize_t refuseWriting(thandle_t, void *, tmsize_t)
{
    return -1;
}

toff_t seekTo(thandle_t handle, toff_t offset, int whence)
{
    auto &source = *static_cast<TiffSource *>(handle);
    const qint64 base = whence == SEEK_CUR   ? source.pos
                        : whence == SEEK_END ? source.bytes.size()
                                             : 0;
    const qint64 to = base + qint64(offset);
    if (to < 0)
        return toff_t(-1);
    source.pos = to;
    return toff_t(to);
}

int closeNothing(thandle_t)
{
    return 0;
}

toff_t sizeOf(thandle_t handle)
{
    return toff_t(static_cast<TiffSource *>(handle)->bytes.size());
}

// The bytes are already in memory: libtiff reads strips and tiles in place, as from a mapped file.
// It also takes the size of an uncompressed block from the file then, where its own buffers would
// round it up and make libtiff 4.5.0 refuse every uncompressed tile of a size not a multiple of
// 1024 bytes. libtiff only reads mapped memory.
int mapBytes(thandle_t handle, void **base, toff_t *size)
{
    const auto &source = *static_cast<TiffSource *>(handle);
    *base = const_cast<char *>(source.bytes.data());
    *size = toff_t(source.bytes.size());
    return 1;
}

void unmapNothing(thandle_t, void *, toff_t) {}

// libtiff's messages would go to standard error: they are dropped, the failure is ours to say.
int quiet(TIFF *, void *, const char *, const char *, va_list)
{
    return 1;
}

struct TiffCloser {
    void operator()(TIFF *tiff) const { TIFFClose(tiff); }
};
struct OptionsFreer {
    void operator()(TIFFOpenOptions *options) const { TIFFOpenOptionsFree(options); }
};
using TiffFile = std::unique_ptr<TIFF, TiffCloser>;

TiffFile openTiff(TiffSource &source)
{
    const std::unique_ptr<TIFFOpenOptions, OptionsFreer> options(TIFFOpenOptionsAlloc());
    if (!options)
        throw std::bad_alloc();
    // No single buffer of libtiff's beyond what a picture may take in all.
    TIFFOpenOptionsSetMaxSingleMemAlloc(options.get(), tmsize_t(kMaxDecodingBytes));
    TIFFOpenOptionsSetErrorHandlerExtR(options.get(), quiet, nullptr);
    TIFFOpenOptionsSetWarningHandlerExtR(options.get(), quiet, nullptr);
    return TiffFile(TIFFClientOpenExt("tiff", "r", &source, readBytes, refuseWriting, seekTo,
                                      closeNothing, sizeOf, mapBytes, unmapNothing, options.get()));
}

// The largest block of decoded samples libtiff holds at once beside the picture: one strip or tile.
qint64 blockBytes(TIFF *tiff)
{
    return TIFFIsTiled(tiff) ? qint64(TIFFTileSize64(tiff)) : qint64(TIFFStripSize64(tiff));
}

// Refused before the picture's memory is taken: the picture limit; the 32-bit picture libtiff
// writes, its 24-bit copy and a block of samples; the pixels the file's bytes can describe.
void checkLimits(TIFF *tiff, const QByteArray &bytes, const QString &name, uint32_t width,
                 uint32_t height)
{
    const bool tooLarge = ExceedsPictureLimit(width, height) ||
                          ExceedsDecodingLimit(width, height, 4 + 3) ||
                          qint64(width) * height * (4 + 3) + blockBytes(tiff) > kMaxDecodingBytes;
    if (tooLarge)
        throw ReadFailure(name, PictureTooLargeText(width, height));
    if (ExceedsCodedPixels(width, height, bytes.size()))
        throw ReadFailure(name, TooLittleDataText(u"TIFF", width, height));
}

// libtiff's raster holds premultiplied red, green, blue, alpha as bytes in that order: made Qt's
// non-premultiplied ARGB in place. True when a pixel is not opaque.
bool toArgb(QImage &picture)
{
    bool seeThrough = false;
    for (int y = 0; y < picture.height(); ++y) {
        auto *row = reinterpret_cast<QRgb *>(picture.scanLine(y));
        for (int x = 0; x < picture.width(); ++x) {
            const uint32_t abgr = row[x];
            const QRgb premultiplied = qRgba(int(TIFFGetR(abgr)), int(TIFFGetG(abgr)),
                                             int(TIFFGetB(abgr)), int(TIFFGetA(abgr)));
            row[x] = qUnpremultiply(premultiplied);
            seeThrough = seeThrough || qAlpha(premultiplied) != 255;
        }
    }
    return seeThrough;
}

QColorSpace iccColours(TIFF *tiff)
{
    uint32_t length = 0;
    void *profile = nullptr;
    if (!TIFFGetField(tiff, TIFFTAG_ICCPROFILE, &length, &profile) || !profile)
        return {};
    return QColorSpace::fromIccProfile(
        QByteArray(static_cast<const char *>(profile), qsizetype(length)));
}

// Whether a strip or tile lies past the end of the bytes: the file was cut short.
bool isCutShort(TIFF *tiff, qint64 size)
{
    for (uint32_t i = 0; tiff && i < TIFFNumberOfStrips(tiff); ++i) {
        if (TIFFGetStrileOffset(tiff, i) + TIFFGetStrileByteCount(tiff, i) > uint64_t(size))
            return true;
    }
    return false;
}

[[noreturn]] void refuse(TIFF *tiff, const QByteArray &bytes, const QString &name)
{
    throw ReadFailure(name, isCutShort(tiff, bytes.size()) || bytes.size() < 8
                                ? CutShortFileText(u"TIFF")
                                : DamagedFileText(u"TIFF"));
}

} // namespace

QImage DecodeTiff(const QByteArray &bytes, const QString &name, Orientation orientation)
{
    TiffSource source{bytes};
    const TiffFile tiff = openTiff(source);
    uint32_t width = 0, height = 0;
    if (!tiff || !TIFFGetField(tiff.get(), TIFFTAG_IMAGEWIDTH, &width) ||
        !TIFFGetField(tiff.get(), TIFFTAG_IMAGELENGTH, &height) || width < 1 || height < 1)
        refuse(tiff.get(), bytes, name);
    checkLimits(tiff.get(), bytes, name, width, height);
    char why[1024] = "";
    if (!TIFFRGBAImageOK(tiff.get(), why))
        throw ReadFailure(name, QCoreApplication::translate(
                                    "TiffReading", "この形式の TIFF には対応していません"));
    uint16_t stored = ORIENTATION_TOPLEFT;
    TIFFGetFieldDefaulted(tiff.get(), TIFFTAG_ORIENTATION, &stored);
    if (stored < ORIENTATION_TOPLEFT || stored > ORIENTATION_LEFTBOT)
        stored = ORIENTATION_TOPLEFT;
    QImage picture(int(width), int(height), QImage::Format_ARGB32);
    if (picture.isNull())
        throw std::bad_alloc();
    // Asked in the file's own orientation, libtiff flips nothing: the rows come as stored, and
    // every orientation, the four that swap the sides too, is applied below by Upright.
    auto *raster = reinterpret_cast<uint32_t *>(picture.bits());
    if (!TIFFReadRGBAImageOriented(tiff.get(), width, height, raster, stored, 1))
        refuse(tiff.get(), bytes, name);
    if (!toArgb(picture))
        picture = picture.convertToFormat(kPictureFormat);
    if (orientation == Orientation::Upright)
        picture = Upright(picture, stored);
    picture.setColorSpace(iccColours(tiff.get()));
    return picture;
}
