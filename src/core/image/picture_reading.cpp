// SPDX-License-Identifier: GPL-3.0-or-later
// Reading BMP and JPEG files: the whole file, then its decoder.
#include "core/image/picture_reading.h"

#include "core/base/files.h"
#include "core/image/bmp_reading.h"
#include "core/image/jpeg_codec.h"
#include "core/image/picture.h"
#include "core/image/plugin_reading.h"

namespace {

// A file larger than any picture we would decode is refused unread; so is anything but a regular
// file (a FIFO would block the reader until something wrote to it).
constexpr FileReading kPictureFileReading{.limit = kMaxPictureBytes};

QByteArray readWholeFile(const QString &path)
{
    QByteArray data;
    ReadFileInto(path, data);
    return data;
}

} // namespace

QImage ReadJpeg(const QString &path, const std::atomic<bool> *cancel)
{
    return DecodeJpeg(readWholeFile(path), path, cancel);
}

QImage ReadBmp(const QString &path, const std::atomic<bool> *cancel)
{
    return DecodeBmp(readWholeFile(path), path, cancel);
}

void ReadFileInto(const QString &path, QByteArray &bytes)
{
    try {
        ReadFile(path, bytes, kPictureFileReading);
    } catch (const Failure &failure) {
        throw ReadFailure(path, failure.description());
    }
}
