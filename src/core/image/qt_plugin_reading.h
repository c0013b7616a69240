// SPDX-License-Identifier: GPL-3.0-or-later
// The picture kinds read through Qt's image plugins (GIF, WebP, TGA), behind checks of their own:
// what the plugin would allocate is known and bounded before it decodes anything.
#pragma once

#include "core/image/plugin_reading.h"

#include <QByteArray>
#include <QImage>
#include <QString>

// Decodes GIF (its first frame), WebP or TGA bytes as DecodePicture describes.
QImage DecodeWithQtPlugin(const QByteArray &bytes, ContentKind kind, const QString &name);

// The size a GIF's first frame is decoded at by Qt's reader: its logical screen, widened to the
// first image where that reaches beyond (Qt's own size is the first image's alone). An invalid
// size when the header or the blocks before the first image are cut short.
QSize GifDecodedSize(QByteArrayView gif);
