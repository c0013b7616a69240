// mokaran: the main window, or the command line when arguments are given.
#include "app/app_paths.h"
#include "app/ui_support.h"
#include "app/unit1.h"
#include "cli/cli.h"
#include "image/image.h"

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
    TForm1 form(ResolveAppPaths(QCoreApplication::applicationDirPath()));
    form.show();
    return app.exec();
}
