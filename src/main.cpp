// SPDX-License-Identifier: GPL-3.0-or-later
// mokaran: the main window, or the command line when a verb is given.
#include "cli/cli.h"
#include "core/base/app_paths.h"
#include "core/base/file_names.h"
#include "core/base/interface_language.h"
#include "core/base/version.h"
#include "core/image/picture.h"
#include "windows/application.h"
#include "windows/main_window.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

int main(int argc, char *argv[])
{
    KeepPictureMemoryForReuse();
    // Launchers and file managers start the program as `mokaran FILE...`: a first argument that
    // is an existing file and no verb opens the window with that picture; the others are left.
    const QString first = argc > 1 ? DecodePath(argv[1]) : QString();
    const bool openFile = argc > 1 && !IsCommandLineVerb(first) && QFileInfo(first).isFile();
    if (argc > 1 && !openFile) {
        QCoreApplication app(argc, argv);
        // The failures the core reports follow the locale as the window does; the command line's
        // own texts (usage, progress) are English in every locale, for the scripts that read them.
        InstallProgramTranslation(ResolveAppPaths(QCoreApplication::applicationDirPath()));
        // Decoded losslessly, not as Qt decodes them: a file name that is not UTF-8 (made in
        // CP932 on another system) must reach the file system as the same bytes.
        QStringList args;
        for (int i = 1; i < argc; ++i)
            args << DecodePath(argv[i]);
        return RunCommandLine(args);
    }

    QApplication app(argc, argv);
    const AppPaths paths = ResolveAppPaths(QCoreApplication::applicationDirPath());
    // Before any window is made: the forms translate their texts as they are built.
    InstallProgramTranslation(paths);
    SetUpApplication(app);
    // Wayland desktops find the launcher, and so the icon, by this name.
    QGuiApplication::setDesktopFileName(QString::fromLatin1(kAppId));
    AdoptEarlierSettings(paths);
    MainWindow window(paths);
    window.show();
    if (openFile)
        window.openPicture(QFileInfo(first).absoluteFilePath());
    return app.exec();
}
