// SPDX-License-Identifier: GPL-3.0-or-later
// The main window: the cut size and the four outputs of the cut.
#include "windows/main_window.h"

#include "core/image/plugin_reading.h"
#include "core/workspace/cut_size.h"
#include "ui_main_window.h"
#include "windows/cut_size_dialog.h"
#include "windows/output_dialog.h"

void MainWindow::chooseCutSize()
{
    const QSize limit =
        hasPicture() ? m_document.size() : QSize(kFreeCutSizeLimit, kFreeCutSizeLimit);
    std::optional<GridSheet> sheet;
    if (hasPicture()) {
        const QImage &picture = m_document.picture();
        sheet = GridSheet{picture,
                          DefaultBackground(picture, ContentKindOfFile(m_document.fileName()))};
    }
    const std::optional<CutSizeChoice> choice = m_cutSizeDialog->ask(m_frame.size(), limit, sheet);
    if (!choice)
        return;
    // A new size starts again from the picture's top-left corner, a guessed grid's size from its
    // first cell.
    CutFrame sized = m_frame;
    sized.setSize(ChosenCutSize(choice->preset, QSize(choice->width, choice->height), m_presets));
    sized.moveTo(choice->grid ? choice->grid->offset : QPoint(0, 0));
    placeFrame(sized);
    if (choice->grid)
        m_outputDialog->offerGrid(choice->grid->gap);
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
    BlendPictureActions blendPicture;
    blendPicture.choose = [this] { importPicture(ImportTarget::BlendPicture); };
    blendPicture.load = [this](const QString &path) {
        readPictureFile(path, ImportTarget::BlendPicture);
    };
    m_outputDialog->run(mode, m_document, m_frame, blendPicture);
}
