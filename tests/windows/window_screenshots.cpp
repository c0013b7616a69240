// SPDX-License-Identifier: GPL-3.0-or-later
// Pictures of the main window and of every dialog as the user sees them, for looking at a change
// to the forms in each language and font size, and for the help pages. Not a test: it asserts
// nothing; scripts/make-window-screenshots.sh runs it and says where the pictures are.
//
//   window_screenshots OUT_FOLDER [FONT_SCALE]   (MOKARAN_LANG=en for English)
#include "core/base/interface_language.h"
#include "core/image/picture.h"
#include "windows/application.h"
#include "windows/main_window.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <cmath>
#include <cstdio>
#include <functional>

namespace {

// Gradients with a few shapes: a picture that shows where the frame is and what a cut holds.
QImage scene(int width, int height)
{
    QImage picture(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const bool sun = std::hypot(x - width * 0.7, y - height * 0.3) < height * 0.15;
            picture.setPixel(x, y,
                             sun ? qRgb(250, 200, 60)
                                 : qRgb(40 + x * 100 / width, 90 + y * 120 / height, 200));
        }
    return picture;
}

// Runs command, which opens a modal dialog, and saves the dialog as name.png once it is up; then
// closes it. prepare, when given, acts on the dialog first.
void shoot(const QString &folder, const QString &name, const std::function<void()> &command,
           const std::function<void(QWidget *)> &prepare = {})
{
    QTimer poll;
    poll.setInterval(50);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget *dialog = QApplication::activeModalWidget();
        if (!dialog)
            return;
        poll.stop();
        if (prepare)
            prepare(dialog);
        QApplication::processEvents();
        dialog->grab().save(folder + u'/' + name + QStringLiteral(".png"));
        dialog->close();
    });
    poll.start();
    command();
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fputs("usage: window_screenshots OUT_FOLDER [FONT_SCALE]\n", stderr);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);
    SetUpApplication(app);
    if (argc > 2) {
        QFont font = QApplication::font();
        font.setPointSizeF(font.pointSizeF() * QString::fromLatin1(argv[2]).toDouble());
        QApplication::setFont(font);
    }
    // The program's own folder, with its translations beside this tool, and settings of its own.
    QTemporaryDir settings;
    AppPaths paths = ResolveAppPaths(QCoreApplication::applicationDirPath());
    paths.settingsFile = settings.filePath(QStringLiteral("set.ini"));
    InstallProgramTranslation(paths);

    MainWindow window(paths);
    window.resize(900, 600);
    window.show();
    window.takeNewPicture(scene(640, 400));
    window.placeFrame(CutFrame(window.document().size(), {160, 120}, {380, 40}));
    QApplication::processEvents();
    window.grab().save(folder + QStringLiteral("/main-window.png"));

    const auto trigger = [&](const char *action) {
        return [&window, action] { window.findChild<QAction *>(QLatin1String(action))->trigger(); };
    };
    shoot(folder, QStringLiteral("cut-size"), [&] { window.chooseCutSize(); });
    shoot(folder, QStringLiteral("output-cut"), [&] { window.saveCut(); });
    shoot(folder, QStringLiteral("output-sequence"), [&] { window.saveSequence(); });
    shoot(
        folder, QStringLiteral("output-grid"), [&] { window.saveSequence(); },
        [](QWidget *d) { d->findChild<QRadioButton *>(QStringLiteral("gridRadio"))->click(); });
    shoot(
        folder, QStringLiteral("output-animation"), [&] { window.saveSequence(); },
        [](QWidget *d) {
            d->findChild<QRadioButton *>(QStringLiteral("animationRadio"))->click();
        });
    shoot(
        folder, QStringLiteral("output-auto"), [&] { window.saveSequence(); },
        [](QWidget *d) { d->findChild<QRadioButton *>(QStringLiteral("autoRadio"))->click(); });
    shoot(
        folder, QStringLiteral("output-atlas"), [&] { window.saveSequence(); },
        [](QWidget *d) { d->findChild<QRadioButton *>(QStringLiteral("atlasRadio"))->click(); });
    shoot(
        folder, QStringLiteral("cut-size-guessed"), [&] { window.chooseCutSize(); },
        [](QWidget *d) {
            d->findChild<QPushButton *>(QStringLiteral("guessGridButton"))->click();
        });
    shoot(folder, QStringLiteral("output-blend"), [&] { window.saveBlend(); });
    shoot(folder, QStringLiteral("output-fade"), [&] { window.saveFade(); });
    shoot(folder, QStringLiteral("resize"), trigger("resizeAction"));
    shoot(folder, QStringLiteral("contrast"), trigger("contrastAction"));
    shoot(folder, QStringLiteral("frame-position"), [&] { window.chooseFramePosition(); });
    shoot(folder, QStringLiteral("import"), [&] { window.loadPicture(); });
    shoot(folder, QStringLiteral("batch-shrink"), [&] { window.openBatchShrink(); });
    shoot(folder, QStringLiteral("page-maker"), [&] { window.openPageMaker(); });
    shoot(folder, QStringLiteral("about"), [&] { window.showAbout(); });
    std::printf("window_screenshots: %s\n", qPrintable(folder));
    return 0;
}
