// The canvas on a large picture: one drag step from the mouse event to the painted screen, and
// the cost of FillCutImage as the picture grows.
//
//   QT_QPA_PLATFORM=offscreen build/bench/bench_canvas
#include "core/base/app_paths.h"
#include "core/image/picture.h"
#include "windows/canvas_widget.h"
#include "windows/main_window.h"
#include "windows/window_support.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMouseEvent>
#include <QRandomGenerator>
#include <QScrollArea>
#include <QTemporaryDir>
#include <QWindow>
#include <benchmark/benchmark.h>

namespace {

QImage noisePicture(int width, int height, QImage::Format format = kPictureFormat)
{
    QImage picture(width, height, kPictureFormat);
    QRandomGenerator random(42);
    for (int y = 0; y < height; ++y) {
        auto *row = reinterpret_cast<quint32 *>(picture.scanLine(y));
        for (int i = 0; i < width * 3 / 4; ++i)
            row[i] = random.generate();
    }
    return format == kPictureFormat ? picture : picture.convertToFormat(format);
}

// Counts the paints of the canvas, so a benchmark can tell that a paint really happened.
class PaintCounter : public QObject {
  public:
    int paints = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

struct LoadedWindow {
    QTemporaryDir dir;
    std::unique_ptr<MainWindow> form;
    CanvasWidget *canvas = nullptr;
    PaintCounter counter;

    LoadedWindow(int width, int height)
    {
        QFile presets(dir.filePath(QStringLiteral("data.dat"))); // no presets, and no error box
        presets.open(QIODevice::WriteOnly);
        presets.close();
        form = std::make_unique<MainWindow>(ResolveAppPaths(dir.path()));
        form->resize(1280, 1024);
        form->show();
        form->takeNewPicture(noisePicture(width, height));
        Workspace &ws = form->workspace();
        ws.CutWidth = 200;
        ws.CutHeight = 200;
        form->putEditResult(ws.WorkImage, EditResultKind::ChangesSize);
        canvas = form->findChild<CanvasWidget *>(QStringLiteral("canvas"));
        canvas->installEventFilter(&counter);
        QElapsedTimer waited;
        waited.start();
        while (!form->windowHandle()->isExposed() && waited.elapsed() < 5000)
            QApplication::processEvents();
        QApplication::processEvents();
    }

    void send(QEvent::Type type, QPoint at)
    {
        QMouseEvent event(type, QPointF(at), canvas->mapToGlobal(QPointF(at)), Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(canvas, &event);
    }
};

// Moves stay where the frame is in view (the offscreen screen is small): a frame out of view
// needs no paint at all.

// One drag step: the move event, the frame clamp and view, and the paint that Qt then performs.
void BM_DragStep(benchmark::State &state)
{
    LoadedWindow window(6000, 4000);
    window.send(QEvent::MouseButtonPress, {10, 10});
    int step = 0;
    for (auto _ : state) {
        const int before = window.counter.paints;
        window.send(QEvent::MouseMove, {10 + (step % 300), 10 + (step % 200)});
        ++step;
        QApplication::processEvents();
        if (window.counter.paints == before)
            state.SkipWithError("the move did not repaint the canvas");
    }
    window.send(QEvent::MouseButtonRelease, {0, 0});
}
BENCHMARK(BM_DragStep)->Unit(benchmark::kMillisecond);

// The worst case of a step: the whole visible part of the canvas painted again.
void BM_DragStepFullViewport(benchmark::State &state)
{
    LoadedWindow window(6000, 4000);
    window.send(QEvent::MouseButtonPress, {10, 10});
    int step = 0;
    for (auto _ : state) {
        window.send(QEvent::MouseMove, {10 + (step % 300), 10 + (step % 200)});
        ++step;
        auto *area = window.form->findChild<QScrollArea *>(QStringLiteral("canvasArea"));
        window.canvas->repaint(area->viewport()->rect().translated(-window.canvas->pos()));
    }
    window.send(QEvent::MouseButtonRelease, {0, 0});
}
BENCHMARK(BM_DragStepFullViewport)->Unit(benchmark::kMillisecond);

// For comparison: what a step would cost if the view were copied whole from the picture.
void BM_WholeViewCopy(benchmark::State &state)
{
    const QImage work = noisePicture(6000, 4000);
    for (auto _ : state) {
        QImage view = work.copy();
        benchmark::DoNotOptimize(view.bits());
    }
}
BENCHMARK(BM_WholeViewCopy)->Unit(benchmark::kMillisecond);

// FillCutImage of a 200 x 200 cut: args are the picture's width, height and whether it is an
// 8-bit palette picture (which must be converted, but only where the frame lies).
void BM_FillCutImage(benchmark::State &state)
{
    Workspace ws;
    ws.WorkImage = noisePicture(int(state.range(0)), int(state.range(1)),
                                state.range(2) ? QImage::Format_Indexed8 : kPictureFormat);
    ws.CanvasWidth = ws.WorkImage.width();
    ws.CanvasHeight = ws.WorkImage.height();
    ws.CutWidth = 200;
    ws.CutHeight = 200;
    ws.FrameX = ws.CanvasWidth / 2;
    ws.FrameY = ws.CanvasHeight / 2;
    ClampFrame(ws);
    for (auto _ : state) {
        FillCutImage(ws);
        benchmark::DoNotOptimize(ws.CutImage.constBits());
    }
}
BENCHMARK(BM_FillCutImage)
    ->Args({640, 480, 0})
    ->Args({6000, 4000, 0})
    ->Args({640, 480, 1})
    ->Args({6000, 4000, 1})
    ->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    KeepPictureMemoryForReuse(); // as the program does at start
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    SetUpApplication(app);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
