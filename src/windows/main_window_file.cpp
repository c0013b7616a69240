// The main window: loading and saving the picture, going back to it as loaded, and the Help menu
// and the tools that run a dialog of their own.
#include "windows/main_window.h"

#include "core/image/bmp_format.h"
#include "core/image/jpeg_codec.h"
#include "core/sequence/mixing.h"
#include "ui_main_window.h"
#include "windows/about_dialog.h"
#include "windows/batch_shrink_dialog.h"
#include "windows/import_dialog.h"
#include "windows/page_maker_dialog.h"
#include "windows/window_support.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace {

// The whole-picture save adds the filter's extension unless the name already ends with it.
QString withExtension(const QString &path, const QString &extension)
{
    return path.endsWith(extension, Qt::CaseInsensitive) ? path : path + extension;
}

} // namespace

void MainWindow::loadPicture()
{
    importPicture(ImportTarget::WorkingPicture);
}

void MainWindow::importPicture(ImportTarget target)
{
    const std::optional<QImage> picture = m_importDialog->choosePicture();
    if (!picture)
        return;
    Guarded(this, [&] {
        if (target == ImportTarget::WorkingPicture)
            takeNewPicture(*picture);
        else
            m_ws.BlendImage = FitToCut(*picture, m_ws.CutWidth, m_ws.CutHeight);
    });
}

void MainWindow::savePicture()
{
    const QString chosen = RunFileDialog(m_pictureSaveDialog);
    if (QFileInfo(chosen).fileName().isEmpty())
        return;
    const bool jpeg = SelectedFilterIndex(m_pictureSaveDialog) == 1;
    Guarded(this, [&] {
        if (jpeg)
            WriteJpegFile(withExtension(chosen, QStringLiteral(".jpg")), m_ws.WorkImage);
        else
            WriteBmpOwnDepthFile(withExtension(chosen, QStringLiteral(".bmp")), m_ws.WorkImage);
    });
}

void MainWindow::revertToLoaded()
{
    if (m_ws.UndoImage.isNull())
        return;
    m_ws.WorkImage = m_ws.UndoImage;
    m_ws.CanvasWidth = m_ws.UndoImage.width();
    m_ws.CanvasHeight = m_ws.UndoImage.height();
    m_ui->canvas->resize(m_ws.CanvasWidth, m_ws.CanvasHeight);
    LowerCutToCanvas(m_ws);
    updateSizeLabels();
    refreshCanvas();
}

void MainWindow::openHelp()
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(m_paths.dataFile(QStringLiteral("help.html"))));
}

void MainWindow::openReadme()
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(m_paths.dataFile(QStringLiteral("readme.txt"))));
}

void MainWindow::openHomePage()
{
    QDesktopServices::openUrl(QUrl(QString::fromLatin1(kHomePageUrl)));
}

void MainWindow::showAbout()
{
    m_aboutDialog->exec();
}

void MainWindow::openPageMaker()
{
    m_pageMakerDialog->exec();
}

void MainWindow::openBatchShrink()
{
    m_batchShrinkDialog->run();
}
