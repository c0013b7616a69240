// SPDX-License-Identifier: GPL-3.0-or-later
// Reading BMP and JPEG files whole into memory, then through the program's own decoders.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

#include <atomic>

// The BMP and JPEG decoders on a whole file: throw Failure with a clear Japanese description
// naming the file when it cannot be opened, is not a regular file, is damaged or truncated, or
// would take more than kMaxPictureBytes decoded (see DecodeJpeg and DecodeBmp for the rest).
// Pictures of any kind, by content, are read by ReadPictureFile (plugin_reading.h).
//
// A large picture can take seconds. A caller that reads on another thread may pass cancel and
// set it (from any thread) to stop the reading soon after: Cancelled (a Failure) is thrown.
QImage ReadJpeg(const QString &path, const std::atomic<bool> *cancel = nullptr);
QImage ReadBmp(const QString &path, const std::atomic<bool> *cancel = nullptr);

// The whole file into bytes, with the rules and errors of ReadJpeg, in the memory of bytes when it
// is large enough: a batch reads file after file into the same buffer.
void ReadFileInto(const QString &path, QByteArray &bytes);
