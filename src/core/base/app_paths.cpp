// SPDX-License-Identifier: GPL-3.0-or-later
// Where the program finds its files and keeps its settings.
#include "core/base/app_paths.h"

#include "core/base/files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

const QString kSettingsName = QStringLiteral("set.ini");

QString userConfigDir()
{
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.config");
    return WithTrailingSlash(base) + QStringLiteral("mokaran/");
}

} // namespace

AppPaths ResolveAppPaths(const QString &exeDir)
{
    AppPaths paths;
    paths.programDir = WithTrailingSlash(QDir::cleanPath(QDir(exeDir).absolutePath()));
    // An installed copy (bin/mokaran) finds its data in share/mokaran beside bin/.
    paths.installedDataDir =
        WithTrailingSlash(QDir::cleanPath(paths.programDir + QStringLiteral("../share/mokaran")));

    // A copy unpacked in a folder of its own keeps everything there, settings included, so it can
    // be moved or removed as one folder. An installed copy keeps the user's settings in XDG's
    // place: the test is the layout, not whether bin/ is writable, since root can write /usr/bin.
    const bool installed = QFileInfo(paths.installedDataDir).isDir();
    if (!installed && QFileInfo(paths.programDir).isWritable()) {
        paths.settingsFile = paths.programDir + kSettingsName;
    } else {
        paths.configDir = userConfigDir();
        paths.settingsFile = paths.configDir + kSettingsName;
    }
    return paths;
}

bool AdoptEarlierSettings(const AppPaths &paths)
{
    const QString earlier = paths.programDir + kSettingsName;
    if (paths.configDir.isEmpty() || QFileInfo::exists(paths.settingsFile) ||
        !QFileInfo(earlier).isFile())
        return false;
    // A failure here only means the defaults: the window starts all the same.
    return QDir().mkpath(paths.configDir) && QFile::copy(earlier, paths.settingsFile);
}

QString AppPaths::dataFile(const QString &name) const
{
    if (configDir.isEmpty())
        return programDir + name;
    for (const QString &dir : {configDir, programDir, installedDataDir}) {
        if (QFileInfo::exists(dir + name))
            return dir + name;
    }
    return programDir + name;
}
