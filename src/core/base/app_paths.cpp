// Where the program finds its files and keeps its settings.
#include "core/base/app_paths.h"

#include "core/base/files.h"

#include <QDir>
#include <QFileInfo>

namespace {

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
    paths.AppDir = WithTrailingSlash(QDir::cleanPath(QDir(exeDir).absolutePath()));
    // An installed copy (bin/mokaran) finds its data in share/mokaran beside bin/.
    paths.installedDataDir =
        WithTrailingSlash(QDir::cleanPath(paths.AppDir + QStringLiteral("../share/mokaran")));

    // A copy unpacked in a folder of its own keeps everything there, settings included, so it can
    // be moved or removed as one folder; an installed copy cannot write beside itself and keeps the
    // user's settings in XDG's place.
    if (QFileInfo(paths.AppDir).isWritable()) {
        paths.settingsFile = paths.AppDir + QStringLiteral("set.ini");
    } else {
        paths.configDir = userConfigDir();
        paths.settingsFile = paths.configDir + QStringLiteral("set.ini");
    }
    return paths;
}

QString AppPaths::dataFile(const QString &name) const
{
    if (configDir.isEmpty())
        return AppDir + name;
    for (const QString &dir : {configDir, AppDir, installedDataDir}) {
        if (QFileInfo::exists(dir + name))
            return dir + name;
    }
    return AppDir + name;
}
