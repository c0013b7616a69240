// mokaran: the main window, or the command line when arguments are given.
#include "cli/cli.h"
#include "core/base/app_paths.h"
#include "core/image/picture.h"
#include "windows/main_window.h"
#include "windows/window_support.h"

#include <QApplication>
#include <QCoreApplication>

int main(int argc, char *argv[])
{
    KeepPictureMemoryForReuse();
    if (argc > 1) {
        QCoreApplication app(argc, argv);
        return RunCommandLine(QCoreApplication::arguments().mid(1));
    }

    QApplication app(argc, argv);
    SetUpApplication(app);
    MainWindow window(ResolveAppPaths(QCoreApplication::applicationDirPath()));
    window.show();
    return app.exec();
}
