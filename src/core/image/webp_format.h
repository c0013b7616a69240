// SPDX-License-Identifier: GPL-3.0-or-later
// Still WebP files: the whole-picture save, lossless, keeping alpha.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// Encodes picture as a lossless WebP (with alpha when the picture has it). Throws Failure for a
// null picture or one larger than WebP holds (16383 pixels a side).
QByteArray EncodeWebpLossless(const QImage &picture);

// Writes it atomically; throws Failure naming the file.
void WriteWebpFile(const QString &path, const QImage &picture);
