// SPDX-License-Identifier: GPL-3.0-or-later
// Saving a picture as one file of a kind the program writes, named as the user typed it.
#pragma once

#include "core/image/jpeg_metadata.h"

#include <QImage>
#include <QList>
#include <QString>
#include <optional>

// The kinds of a whole picture or a single cut.
enum class PictureFileKind { Bmp, Jpeg, Png, Webp };

// The kind a name asks for by its extension: .bmp, .jpg, .jpeg, .png, .webp in any letter case.
std::optional<PictureFileKind> PictureFileKindOf(const QString &path);

// The file to save, from the name typed and the kind chosen in the save dialog. A typed extension
// of a kind among those offered wins; any other name gets the chosen kind's extension added
// ("whole2.png" with JPEG chosen stays a PNG; "notes.txt" becomes "notes.txt.jpg").
struct SaveTarget {
    QString path;
    PictureFileKind kind;
};
SaveTarget SaveTargetOf(const QString &typed, PictureFileKind chosen,
                        const QList<PictureFileKind> &offered);

// Writes picture as kind: BMP in the picture's own depth (with alpha seen over white), JPEG at
// quality 90 over white with metadata, PNG and lossless WebP keeping the alpha. Throws Failure.
// Temporary files that killed writers left in the folder go first (RemoveStaleTemporaryFiles).
void WritePictureFile(const QString &path, const QImage &picture, PictureFileKind kind,
                      const JpegMetadata &metadata = {});
