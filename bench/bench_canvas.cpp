// SPDX-License-Identifier: GPL-3.0-or-later
// The canvas on a large picture: one drag step from the mouse event to the painted screen, at
// 100 % and at every zoom from fit-to-window to 3200 %; one zoom step repainted; and the cost of
// the cut (CopyOverWhite) as the picture grows.
//
//   QT_QPA_PLATFORM=offscreen build/bench/bench_canvas
#include "core/base/app_paths.h"
#include "core/image/alpha.h"
#include "core/image/picture.h"
#include "core/workspace/zoom.h"
#include "core/workspace/zoomed_view.h"
#include "windows/application.h"
#include "windows/canvas_widget.h"
#include "windows/main_window.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMouseEvent>
#include <QRandomGenerator>
#include <QScrollArea>
#include <QScrollBar>
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
        // A window of 1280 x 1024, placed as the program places it at start-up.
        QFile settings(dir.filePath(QStringLiteral("set.ini")));
        settings.open(QIODevice::WriteOnly);
        settings.write("[set]\r\nPosW=1280\r\nPosH=1024\r\n");
        settings.close();
        form = std::make_unique<MainWindow>(ResolveAppPaths(dir.path()));
        form->show();
        form->takeNewPicture(noisePicture(width, height));
        CutFrame frame = form->frame();
        frame.setSize({200, 200});
        form->placeFrame(frame);
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

// The zoom of a benchmark's argument: kFit for fit-to-window, else the index of a zoom step.
constexpr int kFit = -1;
Zoom benchZoom(MainWindow &form, int64_t index)
{
    form.fitToWindow();
    const Zoom fit = form.findChild<CanvasWidget *>(QStringLiteral("canvas"))->zoom();
    return index == kFit ? fit : kZoomSteps.at(size_t(index));
}

// Brings the window to zoom through its own commands, scrolled to the picture's top-left corner
// (where the drags take place).
void zoomTo(MainWindow &form, Zoom zoom)
{
    auto *canvas = form.findChild<CanvasWidget *>(QStringLiteral("canvas"));
    while (ZoomBelow(canvas->zoom(), zoom))
        form.zoomIn();
    while (ZoomBelow(zoom, canvas->zoom()))
        form.zoomOut();
    auto *area = form.findChild<QScrollArea *>(QStringLiteral("canvasArea"));
    area->horizontalScrollBar()->setValue(0);
    area->verticalScrollBar()->setValue(0);
    QApplication::processEvents();
}

void setZoomLabel(benchmark::State &state, Zoom zoom, bool fit)
{
    state.SetLabel((ZoomText(zoom) + (fit ? QStringLiteral(" (fit)") : QString())).toStdString());
}

// One drag step at a zoom: the move event, the frame clamp, and the paint of the frame's old and
// new marks over the zoomed picture. Each step moves the frame by one picture pixel (one view
// pixel below 100 %), inside the part of the canvas in view.
void BM_DragStepAtZoom(benchmark::State &state)
{
    LoadedWindow window(6000, 4000);
    const Zoom zoom = benchZoom(*window.form, state.range(0));
    zoomTo(*window.form, zoom);
    setZoomLabel(state, zoom, state.range(0) == kFit);
    const int square = std::max(1, zoom.num / zoom.den); // view pixels per picture pixel
    const int steps = std::min(30, 400 / square);        // inside the offscreen viewport
    const auto at = [&](int step) {
        return QPoint(10 + (step % steps) * square, 10 + (step % (steps - 1)) * square);
    };
    window.send(QEvent::MouseButtonPress, at(0));
    int step = 1;
    for (auto _ : state) {
        const int before = window.counter.paints;
        window.send(QEvent::MouseMove, at(step++));
        QApplication::processEvents();
        if (window.counter.paints == before)
            state.SkipWithError("the move did not repaint the canvas");
    }
    window.send(QEvent::MouseButtonRelease, {0, 0});
}
BENCHMARK(BM_DragStepAtZoom)
    ->Arg(kFit)
    ->DenseRange(1, 15) // 12.5 % to 3200 %
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

// One zoom step: the command, the canvas resized and scrolled, and the window's view painted
// again at the new zoom (below 100 %, the visible tiles reduced afresh). Steps alternate between
// the zoom and the next one up (from fit-to-window: the step above it and fit again).
void BM_ZoomStep(benchmark::State &state)
{
    LoadedWindow window(6000, 4000);
    const Zoom zoom = benchZoom(*window.form, state.range(0));
    zoomTo(*window.form, zoom);
    setZoomLabel(state, zoom, state.range(0) == kFit);
    bool up = true;
    for (auto _ : state) {
        const int before = window.counter.paints;
        if (up)
            window.form->zoomIn();
        else if (state.range(0) == kFit)
            window.form->fitToWindow();
        else
            window.form->zoomOut();
        up = !up;
        QApplication::processEvents();
        if (window.counter.paints == before)
            state.SkipWithError("the zoom did not repaint the canvas");
    }
}
BENCHMARK(BM_ZoomStep)
    ->Arg(kFit)
    ->DenseRange(1, 14) // 12.5 % to 2400 %, each with the step above
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

// The reduction behind a zoom step below 100 %: the whole 6000 x 4000 picture box-averaged at
// 1/den, with the cores.
void BM_ReduceWholePicture(benchmark::State &state)
{
    const QImage work = noisePicture(6000, 4000);
    const Zoom zoom{1, int32_t(state.range(0))};
    for (auto _ : state) {
        const QImage view =
            AveragedViewPart(work, zoom, QRect(QPoint(0, 0), ViewSize(work.size(), zoom)));
        benchmark::DoNotOptimize(view.constBits());
    }
    state.SetLabel(ZoomText(zoom).toStdString());
}
BENCHMARK(BM_ReduceWholePicture)
    ->Arg(3)
    ->Arg(4)
    ->Arg(8)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

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

// The 24-bit cut of a 200 x 200 frame: args are the picture's width, height and whether it is an
// 8-bit palette picture (which must be converted, but only where the frame lies).
void BM_CutOverWhite(benchmark::State &state)
{
    const QImage picture = noisePicture(int(state.range(0)), int(state.range(1)),
                                        state.range(2) ? QImage::Format_Indexed8 : kPictureFormat);
    const CutFrame frame(picture.size(), {200, 200}, {picture.width() / 2, picture.height() / 2});
    QImage cut;
    for (auto _ : state) {
        CopyOverWhite(picture, frame.rect(), cut);
        benchmark::DoNotOptimize(cut.constBits());
    }
}
BENCHMARK(BM_CutOverWhite)
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
