// SPDX-License-Identifier: GPL-3.0-or-later
// Where the program finds its files and keeps its settings.
#pragma once

#include <QString>

struct AppPaths {
    QString programDir; // the executable's folder, ending with "/"
    // set.ini: in programDir, or in the user's config folder (an installed copy, a read-only
    // programDir)
    QString settingsFile;
    QString configDir;        // the user's config folder ("" when set.ini lives in programDir)
    QString installedDataDir; // the installed copy's shared data folder, ending with "/"

    // The path of one of the files that ship with the program (data.dat, jpeg.dat, help.html, ...).
    QString dataFile(const QString &name) const;
};

// exeDir: the folder of the executable. XDG_CONFIG_HOME and HOME decide the user's config folder.
// A copy is installed when share/mokaran/ lies beside its bin/ folder: it then writes nothing
// beside itself, even where it could (run by root, or installed under the user's home).
AppPaths ResolveAppPaths(const QString &exeDir);

// When set.ini belongs in the user's config folder but is only found beside the executable (where
// copies installed before kept it), copies it there, so that the user keeps the window's place
// and the cut size. The file beside the executable is left as it is. Returns whether it copied.
bool AdoptEarlierSettings(const AppPaths &paths);
