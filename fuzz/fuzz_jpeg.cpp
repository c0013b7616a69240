// SPDX-License-Identifier: GPL-3.0-or-later
// The JPEG reader on any bytes, both ways the program decodes: into a fresh picture, and into the
// memory a batch keeps from file to file.
#include "core/base/io_error.h"
#include "core/image/jpeg_codec.h"

#include "fuzz_target.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static PixelBuffer kept; // as a batch worker keeps it, across inputs
    const QByteArray bytes = FuzzInput(data, size);
    try {
        const QImage picture =
            size % 2 ? DecodeJpegInto(bytes, "fuzz.jpg", kept) : DecodeJpeg(bytes, "fuzz.jpg");
        Require(!picture.isNull());
        UsePixels(picture);
    } catch (const Failure &) {
    }
    return 0;
}
