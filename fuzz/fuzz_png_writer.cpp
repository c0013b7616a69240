// SPDX-License-Identifier: GPL-3.0-or-later
// The PNG writer on pictures of any format and size the bytes choose: the file must read back as
// exactly the picture written (24-bit, or its alpha kept).
#include "core/image/picture.h"
#include "core/image/png_format.h"
#include "core/image/png_reading.h"

#include "fuzz_bytes.h"
#include "fuzz_target.h"

#include <QColorSpace>

namespace {

QImage comparable(QImage picture)
{
    picture.setColorSpace(QColorSpace());
    return picture.convertToFormat(QImage::Format_ARGB32);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzBytes bytes(FuzzInput(data, size));
    const QSize frameSize(bytes.take(1, 96), bytes.take(1, 96));
    const QImage picture = bytes.picture(frameSize);
    const QImage expected = picture.hasAlphaChannel()
                                ? WithoutUnusedAlpha(picture.convertToFormat(QImage::Format_ARGB32))
                                : To24Bit(picture);
    const QImage read = DecodePng(EncodePng(picture), QStringLiteral("fuzz.png"));
    Require(comparable(read) == comparable(expected));
    return 0;
}
