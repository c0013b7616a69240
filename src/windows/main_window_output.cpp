// The main window: the cut size and the four outputs of the cut.
#include "windows/main_window.h"

#include "core/image/bmp_format.h"
#include "core/sequence/continuous_cut.h"
#include "core/sequence/frame_files.h"
#include "core/sequence/mixing.h"
#include "core/workspace/cut_size.h"
#include "ui_main_window.h"
#include "windows/cut_size_dialog.h"
#include "windows/output_dialog.h"
#include "windows/window_support.h"

namespace {

MixKind mixKindOf(const OutputOrder &order)
{
    if (order.mode == OutputMode::Blend)
        return order.secondOption ? MixKind::BlendWhiteTransparent : MixKind::Blend;
    return order.secondOption ? MixKind::FadeToBlack : MixKind::FadeToWhite;
}

} // namespace

void MainWindow::chooseCutSize()
{
    const QSize limit = m_pictureLoaded ? QSize(m_ws.CanvasWidth, m_ws.CanvasHeight)
                                        : QSize(kFreeCutSizeLimit, kFreeCutSizeLimit);
    const std::optional<CutSizeChoice> choice =
        m_cutSizeDialog->ask(QSize(m_ws.CutWidth, m_ws.CutHeight), limit);
    if (!choice)
        return;
    ApplyCutSize(m_ws, choice->preset, choice->width, choice->height);
    updateSizeLabels();
    refreshCanvas();
}

void MainWindow::saveCut()
{
    openOutput(OutputMode::SingleCut);
}

void MainWindow::saveSequence()
{
    openOutput(OutputMode::Sequence);
}

void MainWindow::saveBlend()
{
    openOutput(OutputMode::Blend);
}

void MainWindow::saveFade()
{
    openOutput(OutputMode::Fade);
}

void MainWindow::openOutput(OutputMode mode)
{
    bool ready = false;
    Guarded(this, [&] {
        ClampFrame(m_ws);
        FillCutImage(m_ws);
        ready = true;
    });
    if (!ready)
        return;
    OutputActions actions;
    actions.frameCount = [this](int step, Direction direction) {
        Workspace probe = m_ws; // pictures are shared, not copied
        probe.FrameStep = step;
        probe.FrameDirection = direction;
        return ContinuousFrameCount(probe);
    };
    actions.write = [this](const OutputOrder &order, const FrameProgress &progress) {
        writeOutput(order, progress);
    };
    actions.chooseBlendPicture = [this] { return importPicture(ImportTarget::BlendPicture); };
    actions.blendPictureName = m_blendPictureName;
    m_outputDialog->run(mode, m_ws.CutImage, actions);
    refreshCanvas(); // the frame stands where it stood; a new picture may have come meanwhile
}

void MainWindow::writeOutput(const OutputOrder &order, const FrameProgress &progress)
{
    if (order.singleFile) {
        WriteBmp24File(order.path, m_ws.CutImage);
        return;
    }
    // The run works on a copy (the pictures are shared, not copied): whatever happens, the
    // workspace is as before, so a second save writes the same frames.
    Workspace run = m_ws;
    BmpFrameWriter writer;
    if (order.mode == OutputMode::Sequence) {
        run.FrameStep = order.step;
        run.FrameDirection = order.direction;
        WriteContinuousFrames(
            run, order.path,
            [&writer](const QString &path, const QImage &picture) { writer.write(path, picture); },
            progress);
    } else {
        WriteMixFrames(run, mixKindOf(order), order.path, writer, progress);
    }
}
