// SPDX-License-Identifier: GPL-3.0-or-later
// The output dialog's preview player on a 6000 x 4000 picture: the time from ▶ to the first frame
// in the preview, as the user presses it (the click runs the player, which makes frame 1 and puts
// it in the preview before returning). Runs offscreen; prints the median of the repetitions.
//
//   QT_QPA_PLATFORM=offscreen build/bench/bench_preview [repetitions]
#include "windows/application.h"
#include "windows/main_window.h"
#include "windows/output_dialog.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

QImage photoLike(int width, int height)
{
    QImage picture(width, height, QImage::Format_BGR888);
    quint32 state = 7;
    for (int y = 0; y < height; ++y) {
        uchar *row = picture.scanLine(y);
        for (int x = 0; x < width * 3; ++x) {
            state = state * 1664525u + 1013904223u;
            row[x] = uchar((x / 3 * 255 / width + y * 255 / height) / 2 + (state >> 28));
        }
    }
    return picture;
}

template <typename T> T *control(QObject *parent, const char *name)
{
    return parent->findChild<T *>(QLatin1String(name));
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    SetUpApplication(app);
    const int repetitions = argc > 1 ? std::max(1, atoi(argv[1])) : 15;
    QTemporaryDir folder;
    QFile presets(folder.filePath(QStringLiteral("data.dat")));
    if (!presets.open(QIODevice::WriteOnly) || presets.write("A\r\n16\r\n16\r\n") < 0)
        return 1;
    presets.close();
    MainWindow window(ResolveAppPaths(folder.path()));
    window.show();
    window.takeNewPicture(photoLike(6000, 4000));
    // The preview's largest frame: 1500 x 1500 is all it shows.
    window.placeFrame(CutFrame(window.document().size(), {1500, 1500}, {2000, 1000}));

    std::vector<double> ms;
    for (const char *mode : {"filesRadio", "animationRadio"}) {
        for (int i = 0; i < repetitions; ++i) {
            QTimer::singleShot(0, [&] {
                auto *dialog = control<OutputDialog>(&window, "OutputDialog");
                control<QRadioButton>(dialog, mode)->click();
                auto *preview = control<QLabel>(dialog, "previewLabel");
                const qint64 before = preview->pixmap().cacheKey();
                QElapsedTimer clock;
                clock.start();
                control<QPushButton>(dialog, "playButton")->click();
                const double elapsed = double(clock.nsecsElapsed()) / 1e6;
                if (preview->pixmap().cacheKey() != before)
                    ms.push_back(elapsed);
                control<QPushButton>(dialog, "stopButton")->click();
                dialog->reject();
            });
            window.saveSequence();
        }
    }
    if (ms.empty()) {
        std::fprintf(stderr, "bench_preview: the preview never changed\n");
        return 1;
    }
    std::sort(ms.begin(), ms.end());
    std::printf("preview first frame, 6000 x 4000 picture, 1500 x 1500 cut: median %.1f ms, "
                "max %.1f ms over %zu presses of ▶\n",
                ms[ms.size() / 2], ms.back(), ms.size());
    return 0;
}
