// SPDX-License-Identifier: GPL-3.0-or-later
// The main window: the cut size and the four outputs of the cut.
#include "windows/main_window.h"

#include "core/sequence/continuous_cut.h"
#include "core/sequence/frame_files.h"
#include "core/sequence/frame_output.h"
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

// The continuous cut an order asks for, in the workspace that runs or counts it.
void setContinuousCut(Workspace &ws, const OutputOrder &order)
{
    ws.FrameStep = order.step;
    ws.FrameDirection = order.direction;
    ws.GridGapX = order.gapX;
    ws.GridGapY = order.gapY;
    ws.SkipEmptyTiles = order.skipEmpty;
}

// The frames the order asks for, from a copy of the workspace (the pictures are shared, not
// copied): whatever happens to the run, the workspace is as before, so a second save writes the
// same frames. A single file is the run of the one cut.
std::unique_ptr<FrameRun> frameRun(const Workspace &ws, const OutputOrder &order)
{
    Workspace run = ws;
    const bool keepAlpha = KeepsAlpha(order.frameOutput());
    if (order.mode == OutputMode::Blend || order.mode == OutputMode::Fade)
        return order.singleFile ? ContinuousRun(run, keepAlpha) : MixRun(run, mixKindOf(order));
    setContinuousCut(run, order);
    if (order.singleFile || order.mode == OutputMode::SingleCut) {
        run.FrameStep = 0;
        run.FrameDirection = Direction::Right;
    }
    return ContinuousRun(run, keepAlpha);
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
    actions.frameCount = [this](const OutputOrder &order) {
        Workspace probe = m_ws; // pictures are shared, not copied
        setContinuousCut(probe, order);
        return ContinuousFrameCount(probe);
    };
    actions.write = [this](const OutputOrder &order, const FrameProgress &progress) {
        writeOutput(order, progress);
    };
    actions.chooseBlendPicture = [this] { return importPicture(ImportTarget::BlendPicture); };
    actions.loadBlendPicture = [this](const QString &path) {
        return readPictureFile(path, ImportTarget::BlendPicture);
    };
    actions.blendPictureName = m_blendPictureName;
    actions.frames = [this](const OutputOrder &order) { return frameRun(m_ws, order); };
    // The dialog shows the cut with its alpha, as the outputs that keep it write it.
    Workspace single = m_ws;
    single.FrameStep = 0;
    const QImage cut = ContinuousRun(single, true)->frame(1);
    m_outputDialog->run(mode, cut, actions);
    refreshCanvas(); // the frame stands where it stood; a new picture may have come meanwhile
}

void MainWindow::writeOutput(const OutputOrder &order, const FrameProgress &progress)
{
    const std::unique_ptr<FrameRun> run = frameRun(m_ws, order);
    if (order.singleFile)
        WriteCutFile(order.path, run->frame(1), order.format);
    else
        WriteFrameOutput(*run, order.frameOutput(), progress);
}
