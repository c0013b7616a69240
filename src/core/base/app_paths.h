// Where the program finds its files and keeps its settings.
#pragma once

#include <QString>

struct AppPaths {
    QString AppDir; // the executable's folder, ending with "/"
    QString
        settingsFile; // set.ini: in AppDir, or in the user's config folder when AppDir is read-only
    QString configDir;        // the user's config folder ("" when AppDir is writable)
    QString installedDataDir; // the installed copy's shared data folder, ending with "/"

    // The path of one of the files that ship with the program (data.dat, jpeg.dat, help.html, ...).
    QString dataFile(const QString &name) const;
};

// exeDir: the folder of the executable. XDG_CONFIG_HOME and HOME decide the user's config folder.
AppPaths ResolveAppPaths(const QString &exeDir);
