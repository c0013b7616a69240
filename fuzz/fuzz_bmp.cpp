// SPDX-License-Identifier: GPL-3.0-or-later
// The BMP reader on any bytes: damaged headers, RLE streams, sizes at and past the limits.
#include "core/base/io_error.h"
#include "core/image/bmp_reading.h"
#include "core/image/picture.h"

#include "fuzz_target.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    try {
        const QImage picture = DecodeBmp(FuzzInput(data, size), "fuzz.bmp");
        Require(!picture.isNull());
        UsePixels(picture);
        UsePixels(To24Bit(Corner(picture))); // what every command does next
    } catch (const Failure &) {
    }
    return 0;
}
