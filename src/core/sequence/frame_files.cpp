// The numbered names of frame files.
#include "core/sequence/frame_files.h"

QString FrameFileName(const QString &chosenPath, int frame)
{
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
    const QString baseName = chosenPath.mid(slash + 1);

    QString number = QString::number(frame);
    if (number.size() == 1)
        number.prepend(QStringLiteral("00"));
    else if (number.size() == 2)
        number.prepend(u'0');
    return folder + baseName + number + QStringLiteral(".bmp");
}
