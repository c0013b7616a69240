// SPDX-License-Identifier: GPL-3.0-or-later
// A folder standing for the program's own, so each window test starts from files it chose.
#pragma once

#include "core/base/app_paths.h"

#include <QFile>
#include <QTemporaryDir>

// A temporary folder holding data.dat (and set.ini when given); paths() resolves it as the
// program resolves its own folder.
struct ProgramFolder {
    QTemporaryDir dir;

    explicit ProgramFolder(const QByteArray &presets = {}, const QByteArray &ini = {})
    {
        write(QStringLiteral("data.dat"), presets);
        if (!ini.isNull())
            write(QStringLiteral("set.ini"), ini);
    }
    void write(const QString &name, const QByteArray &bytes) const
    {
        QFile file(dir.filePath(name));
        if (file.open(QIODevice::WriteOnly))
            file.write(bytes);
    }
    QString file(const QString &name) const { return dir.filePath(name); }
    AppPaths paths() const { return ResolveAppPaths(dir.path()); }
};
