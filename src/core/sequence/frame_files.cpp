// SPDX-License-Identifier: GPL-3.0-or-later
// The numbered names of frame files, and which of a run's names are already taken.
#include "core/sequence/frame_files.h"

#include <QFileInfo>

QLatin1String FrameExtension(FrameFormat format)
{
    switch (format) {
    case FrameFormat::Bmp: break;
    case FrameFormat::Png: return QLatin1String(".png");
    case FrameFormat::Gif: return QLatin1String(".gif");
    case FrameFormat::Webp: return QLatin1String(".webp");
    }
    return QLatin1String(".bmp");
}

QString FrameFileName(const QString &chosenPath, int frame, FrameFormat format)
{
    const QLatin1String extension = FrameExtension(format);
    const qsizetype slash = chosenPath.lastIndexOf(u'/');
    QString folder;
    if (slash >= 0) {
        // Doubled slashes before the base name collapse, so the folder ends in exactly one "/"
        // and a file directly in the root keeps its single leading "/".
        folder = chosenPath.left(slash);
        while (folder.endsWith(u'/'))
            folder.chop(1);
        folder += u'/';
    }
    QString baseName = chosenPath.mid(slash + 1);
    // A base typed with a picture's extension means the frames, not a name with ".bmp" in the
    // middle: "walk.bmp" numbers as walk001.bmp, and "walk.jpg" as walk001.png for PNG frames.
    // Only the one ending goes; "walk.bmp.bak" is a name of its own and stays whole.
    static const QLatin1String kPictureExtensions[] = {
        QLatin1String(".bmp"),  QLatin1String(".png"),  QLatin1String(".jpg"),
        QLatin1String(".jpeg"), QLatin1String(".gif"),  QLatin1String(".webp"),
        QLatin1String(".tif"),  QLatin1String(".tiff"), QLatin1String(".tga")};
    for (const QLatin1String picture : kPictureExtensions) {
        if (baseName.endsWith(picture, Qt::CaseInsensitive)) {
            baseName.chop(picture.size());
            break;
        }
    }

    QString number = QString::number(frame);
    if (number.size() == 1)
        number.prepend(QStringLiteral("00"));
    else if (number.size() == 2)
        number.prepend(u'0');
    return folder + baseName + number + extension;
}

QStringList ExistingFrameFiles(const QString &chosenPath, int frameCount, FrameFormat format)
{
    QStringList existing;
    for (int k = 1; k <= frameCount; ++k) {
        const QString path = FrameFileName(chosenPath, k, format);
        // A link whose target is missing counts too: writing the frame would go through it.
        const QFileInfo file(path);
        if (file.exists() || file.isSymLink())
            existing.append(path);
    }
    return existing;
}
