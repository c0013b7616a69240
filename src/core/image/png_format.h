// SPDX-License-Identifier: GPL-3.0-or-later
// PNG files of frames, cuts and whole pictures: 8-bit RGB, or RGBA when the picture has alpha.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// Encodes picture as a PNG stream into out (replacing its contents, keeping its memory): 8-bit
// RGB, or 8-bit RGBA when the picture has an alpha channel, marked sRGB (an sRGB chunk); no other
// chunk than these. Throws Failure for a null picture.
void EncodePng(const QImage &picture, QByteArray &out);
QByteArray EncodePng(const QImage &picture);

// EncodePng for a picture that goes to path: a failure to encode names the file.
QByteArray EncodePngFor(const QString &path, const QImage &picture);

// Writes the PNG atomically (the old file or the whole new one); throws Failure naming the file.
void WritePngFile(const QString &path, const QImage &picture);
