// SPDX-License-Identifier: GPL-3.0-or-later
// Reading every kind of picture the program takes: the kind decided by the file's content (the
// extension only where the content cannot tell), BMP and JPEG by the program's own decoders, PNG,
// GIF (its first frame), WebP, TIFF and TGA through Qt's image plugins.
#pragma once

#include <atomic>

#include "core/image/exif_orientation.h"

#include <QByteArray>
#include <QImage>
#include <QString>

// The kinds, by the names Qt's readers go by.
enum class ContentKind { Bmp, Jpeg, Png, Gif, Webp, Tiff, Tga, Unknown };

// The kind of a file from its first bytes: each kind's signature; for bytes with none (TGA has no
// signature, a damaged file may have lost its own) the name's extension, any letter case (.bmp,
// .jpg, .jpeg, .png, .gif, .webp, .tif, .tiff, .tga). A PNG named .jpg is a PNG.
ContentKind ContentKindOf(QByteArrayView head, const QString &path);

// The word a message uses for the kind ("PNG", "GIF", ...).
QString ContentKindName(ContentKind kind);

// Decodes bytes of one of the plugin kinds (PNG, GIF, WebP, TIFF, TGA): a picture with a pixel
// that is not opaque as 32-bit ARGB (non-premultiplied), any other as 24-bit. TGA files must carry
// the TGA 2.0 footer, which Qt's reader needs. Throws Failure naming `name` with the
// damaged-file message when the data is damaged or ends early, or the picture-too-large message
// beyond kMaxPictureBytes.
QImage DecodeWithPlugin(const QByteArray &bytes, ContentKind kind, const QString &name);

// Reads a picture file of any kind as the program reads pictures: the whole file, its kind by
// content, then its decoder. A JPEG is turned upright by its EXIF orientation unless
// orientation is AsStored. Throws Failure as ReadJpeg and ReadBmp do, and "<name>
// は読み込める画像では ありません" for a file of no known kind. When cancel is given and becomes
// true (from another thread), a BMP or JPEG stops being read soon after and Cancelled is thrown.
QImage ReadPictureFile(const QString &path, Orientation orientation = Orientation::Upright,
                       const std::atomic<bool> *cancel = nullptr);
