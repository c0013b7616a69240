// SPDX-License-Identifier: GPL-3.0-or-later
// Reading every kind of picture the program takes: the kind decided by the file's content (the
// extension only where the content cannot tell), BMP, JPEG, PNG and TIFF by the program's own
// decoders, GIF (its first frame), WebP and TGA through Qt's image plugins, each within bounds
// set before any pixel is decoded.
#pragma once

#include <atomic>

#include "core/image/colour_space.h"
#include "core/image/exif_orientation.h"
#include "core/image/jpeg_metadata.h"

#include <QByteArray>
#include <QImage>
#include <QString>

#include <vector>

// The kinds, by the names Qt's readers go by.
enum class ContentKind { Bmp, Jpeg, Png, Gif, Webp, Tiff, Tga, Unknown };

// The kind of a file from its first bytes: each kind's signature; for bytes with none (TGA has no
// signature, a damaged file may have lost its own) the name's extension, any letter case (.bmp,
// .jpg, .jpeg, .png, .gif, .webp, .tif, .tiff, .tga). A PNG named .jpg is a PNG.
ContentKind ContentKindOf(QByteArrayView head, const QString &path);

// ContentKindOf the file at path by its first bytes; by its name alone when it cannot be read.
ContentKind ContentKindOfFile(const QString &path);

// The word a message uses for the kind ("PNG", "GIF", ...).
QString ContentKindName(ContentKind kind);

// Sets, once for the process, what Qt's image readers may allocate to what the program's own
// limits allow (kMaxDecodingBytes), so that those limits are the only ones that refuse a picture,
// and keeps the readers' own messages off standard error (QuietLibraryMessages). The program calls
// it at start; every decoder calls it too, so that no reading ever runs without it.
void PreparePictureReading();

// Decodes bytes of a known kind (name is used in messages only): BMP, JPEG, PNG and TIFF by the
// program's own decoders, GIF (its first frame), WebP and TGA through Qt's plugins. A picture with
// a pixel that is not opaque comes as 32-bit ARGB (non-premultiplied), any other in the depth of
// its decoder (24-bit but for BMP's palettes). Its colorSpace() is what the file says of its
// colours, invalid when it says nothing. A JPEG (EXIF) or TIFF (its tag) is turned upright by its
// orientation unless orientation is AsStored. TGA files must carry the TGA 2.0 footer, which Qt's
// reader needs. Throws Failure naming `name` when the data is damaged or ends early, when its
// decoding would take more than kMaxDecodingBytes (Qt's readers decode GIF, WebP and TGA at 4
// bytes a pixel, at a GIF's screen size, and an animated WebP keeps two canvases more), or when it
// is larger than kPixelsDecodedFreely and declares more pixels than its bytes could code. When
// cancel becomes true (from another thread), a BMP or JPEG stops being read soon after and
// Cancelled is thrown.
QImage DecodePicture(const QByteArray &bytes, ContentKind kind, const QString &name,
                     Orientation orientation = Orientation::Upright,
                     const std::atomic<bool> *cancel = nullptr);

// How a picture file is read: turned upright by its orientation, its colours made sRGB.
struct ReadingChoices {
    Orientation orientation = Orientation::Upright;
    Colours colours = Colours::ToSrgb;
    const std::atomic<bool> *cancel = nullptr;
};

// A picture read, with what a save of it as a JPEG keeps.
struct LoadedPicture {
    QImage picture;        // no colour space of its own: sRGB, or the numbers as stored
    QString convertedFrom; // the colour space its pixels were converted from; empty when none
    // A JPEG's metadata as a copy of the picture carries it (MetadataForCopy): the orientation 1
    // when it was applied, the profile gone when the colours were converted. Empty for other kinds.
    JpegMetadata metadata;
    // An animated GIF or WebP: every frame (picture is the first), each converted as picture is,
    // and the milliseconds each is shown (DecodeAnimation). Both empty for a still picture.
    std::vector<QImage> frames;
    std::vector<int> delaysMs;
};

// A picture file's bytes as the program reads pictures: the kind by content (by name's extension
// where the content cannot tell), its decoder (DecodePicture; DecodeAnimation first for a GIF or
// WebP of more than one frame), then its colours as choices say (ConvertToSrgb). Throws Failure as
// DecodePicture does, and "<name> を読み込めません (ファイルが空です)" for no bytes, "...
// (読み込める画像ではありません)" for bytes of no kind the program reads. Only those kinds are ever
// decoded, whatever else Qt's plugins could read.
LoadedPicture LoadPicture(const QByteArray &bytes, const QString &name,
                          const ReadingChoices &choices = {});

// LoadPicture of a whole file (refused unread beyond kMaxPictureBytes, or when not a regular file).
LoadedPicture ReadPicture(const QString &path, const ReadingChoices &choices = {});

// ReadPicture's picture, its colours made sRGB.
QImage ReadPictureFile(const QString &path, Orientation orientation = Orientation::Upright,
                       const std::atomic<bool> *cancel = nullptr);
