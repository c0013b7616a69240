// SPDX-License-Identifier: GPL-3.0-or-later
// The JPEG codec, through libjpeg: full-scale decoding with the accurate integer IDCT, and
// baseline encoding with the codec's defaults, into fresh memory or into buffers a batch keeps.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QImage>
#include <QString>

#include <vector>

// The quality of every JPEG the program writes: the whole-picture save, the edit verb and the
// batch shrink.
inline constexpr int kJpegQuality = 90;

// Decodes JPEG bytes into a 24-bit picture (name is used in messages only). Throws Failure naming
// it when the stream is damaged or cut short, or would take more than kMaxPictureBytes decoded.
QImage DecodeJpeg(const QByteArray &bytes, const QString &name);

// Encodes a picture as a baseline colour JPEG at the given quality with the codec's other defaults.
QByteArray EncodeJpeg(const QImage &picture, int quality = kJpegQuality);

// For a batch of many pictures, where fresh memory per file costs more than the work on a small
// one: the same decoding and encoding into buffers the caller keeps from file to file. Each
// buffer is replaced only when a larger one is needed.
// - DecodeJpegInto: decodes as DecodeJpeg does into pixels; the picture returned views that memory
//   (rows padded to 4 bytes) and stays valid until pixels is changed.
// - EncodeJpegInto: the stream of EncodeJpeg into out (sized to the stream). Throws Failure.
QImage DecodeJpegInto(QByteArrayView bytes, const QString &name, std::vector<uchar> &pixels);
void EncodeJpegInto(const QImage &picture, int quality, QByteArray &out);

// Writes the JPEG to a temporary file beside the target, then renames it over the target, so the
// target is either the old file or the whole new one. Throws Failure naming the file on any error.
void WriteJpegFile(const QString &path, const QImage &picture, int quality = kJpegQuality);
