// SPDX-License-Identifier: GPL-3.0-or-later
// The program's icon: the bitmaps the build draws from data/icons/<id>.svg, the launcher's icon.
#include "windows/application.h"

#include <QDirIterator>

QIcon MakeAppIcon()
{
    // Window managers read an icon as a set of bitmaps: each common size was drawn on its own, so
    // it is sharp in a title bar and in a task switcher alike.
    QIcon icon;
    QDirIterator sizes(QStringLiteral(":/icons"), {QStringLiteral("*.png")});
    while (sizes.hasNext())
        icon.addFile(sizes.next());
    return icon;
}
