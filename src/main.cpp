// mokaran: the main window, or the command line when a verb is given.
#include "cli/cli.h"
#include "core/base/app_paths.h"
#include "core/base/file_names.h"
#include "core/base/version.h"
#include "core/image/picture.h"
#include "windows/main_window.h"
#include "windows/window_support.h"

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
        // Decoded losslessly, not as Qt decodes them: a file name that is not UTF-8 (made in
        // CP932 on another system) must reach the file system as the same bytes.
        QStringList args;
        for (int i = 1; i < argc; ++i)
            args << DecodePath(argv[i]);
        return RunCommandLine(args);
    }

    QApplication app(argc, argv);
    SetUpApplication(app);
    // Wayland desktops find the launcher, and so the icon, by this name.
    QGuiApplication::setDesktopFileName(QString::fromLatin1(kAppId));
    const AppPaths paths = ResolveAppPaths(QCoreApplication::applicationDirPath());
    AdoptEarlierSettings(paths);
    MainWindow window(paths);
    window.show();
    if (openFile)
        window.openPicture(QFileInfo(first).absoluteFilePath());
    return app.exec();
}
