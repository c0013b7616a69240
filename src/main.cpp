// mokaran: the main window, or the command line when arguments are given.
#include "cli/cli.h"
#include "core/base/app_paths.h"
#include "core/base/file_names.h"
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
        // Decoded losslessly, not as Qt decodes them: a file name that is not UTF-8 (made in
        // CP932 on another system) must reach the file system as the same bytes.
        QStringList args;
        for (int i = 1; i < argc; ++i)
            args << DecodePath(argv[i]);
        return RunCommandLine(args);
    }

    QApplication app(argc, argv);
    SetUpApplication(app);
    MainWindow window(ResolveAppPaths(QCoreApplication::applicationDirPath()));
    window.show();
    return app.exec();
}
