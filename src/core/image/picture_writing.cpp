// SPDX-License-Identifier: GPL-3.0-or-later
// Saving a picture as one file.
#include "core/image/picture_writing.h"

#include "core/base/atomic_file.h"
#include "core/base/file_names.h"
#include "core/image/alpha.h"
#include "core/image/bmp_format.h"
#include "core/image/jpeg_codec.h"
#include "core/image/picture.h"
#include "core/image/png_format.h"
#include "core/image/webp_format.h"

#include <QFileInfo>

namespace {

QLatin1String extensionOf(PictureFileKind kind)
{
    switch (kind) {
    case PictureFileKind::Bmp: return QLatin1String("bmp");
    case PictureFileKind::Jpeg: return QLatin1String("jpg");
    case PictureFileKind::Png: return QLatin1String("png");
    case PictureFileKind::Webp: return QLatin1String("webp");
    }
    return QLatin1String("bmp");
}

} // namespace

std::optional<PictureFileKind> PictureFileKindOf(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == u"jpeg")
        return PictureFileKind::Jpeg;
    for (const PictureFileKind kind :
         {PictureFileKind::Bmp, PictureFileKind::Jpeg, PictureFileKind::Png, PictureFileKind::Webp})
        if (suffix == extensionOf(kind))
            return kind;
    return std::nullopt;
}

SaveTarget SaveTargetOf(const QString &typed, PictureFileKind chosen,
                        const QList<PictureFileKind> &offered)
{
    if (const std::optional<PictureFileKind> kind = PictureFileKindOf(typed);
        kind && offered.contains(*kind))
        return {typed, *kind};
    return {typed + u'.' + extensionOf(chosen), chosen};
}

void WritePictureFile(const QString &path, const QImage &picture, PictureFileKind kind,
                      const JpegMetadata &metadata)
{
    // The folder the user writes to is where a killed save or run left its temporary files.
    RemoveStaleTemporaryFiles(FolderOfPath(path));
    switch (kind) {
    case PictureFileKind::Jpeg: WriteJpegFile(path, picture, kJpegQuality, metadata); break;
    case PictureFileKind::Png: WritePngFile(path, picture); break;
    case PictureFileKind::Webp: WriteWebpFile(path, picture); break;
    case PictureFileKind::Bmp: // a picture with alpha goes over white, as 24-bit
        WriteBmpOwnDepthFile(path, HasAlpha(picture) ? To24Bit(picture) : picture);
        break;
    }
}
