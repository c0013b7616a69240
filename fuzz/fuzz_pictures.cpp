// SPDX-License-Identifier: GPL-3.0-or-later
// The pictures of the kinds beyond BMP and JPEG (PNG, GIF, WebP, TIFF, TGA) and the EXIF
// orientation, on any bytes: the kind told by content as a file's is, damaged data, sizes past the
// limits.
#include "core/base/io_error.h"
#include "core/image/exif_orientation.h"
#include "core/image/picture.h"
#include "core/image/plugin_reading.h"

#include "fuzz_target.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = FuzzInput(data, size);
    const int orientation = ExifOrientation(bytes);
    Require(orientation >= 1 && orientation <= 8);
    // Bytes with no signature are taken for TGA, the one kind told by its name alone.
    const ContentKind kind = ContentKindOf(bytes, QStringLiteral("fuzz.tga"));
    if (kind == ContentKind::Bmp || kind == ContentKind::Jpeg || kind == ContentKind::Unknown)
        return 0; // their own targets
    try {
        const QImage picture = DecodePicture(bytes, kind, QStringLiteral("fuzz"));
        Require(!picture.isNull());
        UsePixels(picture);
        // What a read JPEG goes through next, and every command after it.
        const QImage corner = Upright(Corner(picture), orientation);
        UsePixels(To24Bit(corner));
    } catch (const Failure &) {
    }
    return 0;
}
