// SPDX-License-Identifier: GPL-3.0-or-later
// Files dragged onto a window.
#include "windows/dropped_files.h"

#include <QMimeData>
#include <QUrl>

QString DraggedFile(const QMimeData *data)
{
    const QList<QUrl> urls = data ? data->urls() : QList<QUrl>();
    return urls.size() == 1 && urls.front().isLocalFile() ? urls.front().toLocalFile() : QString();
}
