// SPDX-License-Identifier: GPL-3.0-or-later
// Reading picture files as the import dialog reads them: the kind from the extension, the whole
// file into memory, then the BMP or JPEG decoder.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

#include <atomic>

enum class PictureKind { Bmp, Jpeg, Unknown };

// The kind of a file by its name's extension alone, letter case ignored: .bmp, .jpg, .jpeg.
PictureKind PictureKindOf(const QString &path);

// Reads a picture as the import dialog does, of any kind ReadPictureFile takes, by content, a
// photo turned upright by its EXIF orientation. A JPEG gives a 24-bit picture (full scale,
// accurate integer IDCT); a BMP keeps the file's own depth (an 8-bit file gives an 8-bit palette
// picture); the other kinds give 24-bit pictures, or 32-bit ones with alpha.
// Throws Failure with a clear Japanese description naming the file when it cannot be opened, is
// not a regular file, is damaged or truncated, or would take more than kMaxPictureBytes decoded
// (see DecodeJpeg and DecodeBmp for the rest).
//
// A large picture can take seconds. A caller that reads on another thread may pass cancel and
// set it (from any thread) to stop the reading soon after: Cancelled (a Failure) is thrown.
QImage ReadPicture(const QString &path, const std::atomic<bool> *cancel = nullptr);
QImage ReadJpeg(const QString &path, const std::atomic<bool> *cancel = nullptr);
QImage ReadBmp(const QString &path, const std::atomic<bool> *cancel = nullptr);

// The whole file into bytes, with the rules and errors of ReadJpeg, in the memory of bytes when it
// is large enough: a batch reads file after file into the same buffer.
void ReadFileInto(const QString &path, QByteArray &bytes);
