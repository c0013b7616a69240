// SPDX-License-Identifier: GPL-3.0-or-later
// The memory the edit history costs: a 24-megapixel picture (6000 x 4000) edited 20 times
// through the main window's Edit menu, then every step taken back and made again. Prints the
// history's bytes, the steps it kept, the time per edit, 取り消し and やり直し, and the peak
// resident memory; exits 1 when the history ever held more than its limit.
//
//   QT_QPA_PLATFORM=offscreen build/bench/bench_edit_history [--limit-mib N]
//
// --limit-mib 0 keeps no step: the same run's memory without a history, to subtract (see
// bench/edit_history_memory.sh, which runs both).
#include "core/base/app_paths.h"
#include "core/image/picture.h"
#include "windows/application.h"
#include "windows/main_window.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <cstdio>
#include <sys/resource.h>
#include <unistd.h>

namespace {

constexpr int kWidth = 6000;
constexpr int kHeight = 4000;
constexpr int kEdits = 20;
constexpr double kMiB = 1024.0 * 1024.0;

QImage noisePicture(int width, int height)
{
    QImage picture(width, height, kPictureFormat);
    QRandomGenerator random(7);
    for (int y = 0; y < height; ++y) {
        auto *row = reinterpret_cast<quint32 *>(picture.scanLine(y));
        for (int i = 0; i < width * 3 / 4; ++i)
            row[i] = random.generate();
    }
    return picture;
}

double peakResidentMiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0; // kilobytes on Linux
}

double residentMiB()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toDouble() * double(sysconf(_SC_PAGESIZE)) / kMiB : 0;
}

} // namespace

int main(int argc, char *argv[])
{
    KeepPictureMemoryForReuse(); // as the program does at start
    QApplication app(argc, argv);
    SetUpApplication(app);
    const QStringList args = QApplication::arguments();
    const qsizetype limitAt = args.indexOf(QStringLiteral("--limit-mib"));
    const qint64 limit = limitAt > 0 && limitAt + 1 < args.size()
                             ? args[limitAt + 1].toLongLong() * (qint64(1) << 20)
                             : kHistoryByteLimit;

    QTemporaryDir dir;
    QFile presets(dir.filePath(QStringLiteral("data.dat"))); // no presets, and no error box
    presets.open(QIODevice::WriteOnly);
    presets.close();
    MainWindow form(ResolveAppPaths(dir.path()));
    form.show();
    form.takeNewPicture(noisePicture(kWidth, kHeight));
    form.document().history().setByteLimit(limit);
    QApplication::processEvents();
    const double loadedMiB = residentMiB();

    qint64 mostHeld = 0;
    const auto run = [&](const char *item, int times) {
        if (times == 0)
            return 0.0;
        auto *action = form.findChild<QAction *>(QLatin1String(item));
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < times; ++i) {
            action->trigger();
            QApplication::processEvents();
            mostHeld = std::max(mostHeld, form.document().history().byteCount());
        }
        return double(timer.nsecsElapsed()) / 1e6 / times;
    };
    const char *edits[] = {"blurAction", "sharpenAction", "levelsAction"};
    QElapsedTimer editTimer;
    editTimer.start();
    for (int i = 0; i < kEdits; ++i)
        run(edits[i % 3], 1);
    const double editMs = double(editTimer.nsecsElapsed()) / 1e6 / kEdits;
    const int kept = form.document().history().undoCount();
    const double undoMs = run("undoAction", kept);
    const double redoMs = run("redoAction", kept);

    const double pictureMiB = double(form.document().picture().sizeInBytes()) / kMiB;
    std::printf("picture %d x %d: %.1f MiB; %d edits; history limit %.0f MiB\n", kWidth, kHeight,
                pictureMiB, kEdits, double(limit) / kMiB);
    std::printf("steps kept %d; most held by the history %.1f MiB (%.1f pictures)\n", kept,
                double(mostHeld) / kMiB, double(mostHeld) / kMiB / pictureMiB);
    std::printf("per edit %.1f ms; per undo %.3f ms; per redo %.3f ms\n", editMs, undoMs, redoMs);
    std::printf("resident after loading %.1f MiB; peak resident %.1f MiB\n", loadedMiB,
                peakResidentMiB());
    if (mostHeld > limit) {
        std::fprintf(stderr, "the history held %lld bytes, past its limit of %lld\n",
                     static_cast<long long>(mostHeld), static_cast<long long>(limit));
        return 1;
    }
    return 0;
}
