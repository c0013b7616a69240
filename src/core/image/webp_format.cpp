// SPDX-License-Identifier: GPL-3.0-or-later
// Still WebP through libwebp's simple lossless encoder.
#include "core/image/webp_format.h"

#include "core/base/atomic_file.h"
#include "core/base/files.h"
#include "core/base/io_error.h"
#include "core/image/alpha.h"
#include "core/image/picture.h"

#include <webp/encode.h>

#include <new>

static_assert(Q_BYTE_ORDER == Q_LITTLE_ENDIAN,
              "32-bit pixels are handed to libwebp as the bytes blue, green, red, alpha");

QByteArray EncodeWebpLossless(const QImage &picture)
{
    if (picture.isNull())
        throw Failure(NoPictureText());
    if (picture.width() > WEBP_MAX_DIMENSION || picture.height() > WEBP_MAX_DIMENSION)
        throw Failure(PictureTooLargeText(picture.width(), picture.height()));
    uint8_t *out = nullptr;
    size_t size = 0;
    if (HasAlpha(picture)) {
        const QImage bgra = picture.convertToFormat(QImage::Format_ARGB32);
        size = WebPEncodeLosslessBGRA(bgra.constBits(), bgra.width(), bgra.height(),
                                      int(bgra.bytesPerLine()), &out);
    } else {
        const QImage bgr = To24Bit(picture);
        size = WebPEncodeLosslessBGR(bgr.constBits(), bgr.width(), bgr.height(),
                                     int(bgr.bytesPerLine()), &out);
    }
    if (size == 0) {
        WebPFree(out);
        throw std::bad_alloc(); // the simple encoder fails only when memory runs out
    }
    QByteArray bytes(reinterpret_cast<const char *>(out), qsizetype(size));
    WebPFree(out);
    return bytes;
}

void WriteWebpFile(const QString &path, const QImage &picture)
{
    QByteArray bytes;
    try {
        bytes = EncodeWebpLossless(picture);
    } catch (const std::bad_alloc &) {
        throw;
    } catch (const Failure &failure) {
        throw WriteFailure(path, failure.description());
    }
    WriteFileAtomically(path, bytes);
}
