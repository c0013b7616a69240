// The main window: loading and saving the picture, going back to it as loaded, and the Help menu
// and the tools that run a dialog of their own.
#include "windows/main_window.h"

#include "core/base/interface_language.h"
#include "core/image/bmp_format.h"
#include "core/image/jpeg_codec.h"
#include "core/image/picture_reading.h"
#include "core/sequence/mixing.h"
#include "ui_main_window.h"
#include "windows/about_dialog.h"
#include "windows/batch_shrink_dialog.h"
#include "windows/busy_cursor.h"
#include "windows/import_dialog.h"
#include "windows/page_maker_dialog.h"
#include "windows/window_support.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QMessageBox>
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

void MainWindow::openPicture(const QString &path)
{
    Guarded(this, [&] {
        BusyCursor busy;
        takeNewPicture(ReadPicture(path));
    });
}

std::optional<QString> MainWindow::importPicture(ImportTarget target)
{
    const std::optional<ImportedPicture> taken = m_importDialog->choosePicture();
    if (!taken)
        return std::nullopt;
    const QString name = QFileInfo(taken->path).fileName();
    bool placed = false;
    Guarded(this, [&] {
        if (target == ImportTarget::WorkingPicture) {
            takeNewPicture(taken->picture);
        } else {
            m_ws.BlendImage = FitToCut(taken->picture, m_ws.CutWidth, m_ws.CutHeight);
            m_blendPictureName = name;
        }
        placed = true;
    });
    return placed ? std::optional(name) : std::nullopt;
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
    // Already the picture as loaded (the same pixels): no step that 取り消し would take for
    // nothing.
    if (m_ws.UndoImage.isNull() || m_ws.WorkImage.cacheKey() == m_ws.UndoImage.cacheKey())
        return;
    const EditState before = CurrentEditState(m_ws);
    m_ws.WorkImage = m_ws.UndoImage;
    m_ws.CanvasWidth = m_ws.UndoImage.width();
    m_ws.CanvasHeight = m_ws.UndoImage.height();
    m_ui->canvas->resize(m_ws.CanvasWidth, m_ws.CanvasHeight);
    LowerCutToCanvas(m_ws);
    updateSizeLabels();
    refreshCanvas();
    m_history.record(tr("元に戻す"), before, m_ws);
    updateHistoryActions();
}

void MainWindow::openHelp()
{
    openInBrowser(QUrl::fromLocalFile(LocalizedDataFile(m_paths, QStringLiteral("help.html"))));
}

void MainWindow::openReadme()
{
    openInBrowser(QUrl::fromLocalFile(LocalizedDataFile(m_paths, QStringLiteral("readme.txt"))));
}

void MainWindow::openHomePage()
{
    openInBrowser(QUrl(QString::fromLatin1(kHomePageUrl)));
}

void MainWindow::openInBrowser(const QUrl &address)
{
    if (QDesktopServices::openUrl(address))
        return;
    // Without a browser (or a desktop that knows one) nothing would happen: say where to look.
    const QString where = address.isLocalFile() ? address.toLocalFile() : address.toString();
    QMessageBox::information(
        this, kAppTitle,
        tr("ブラウザーを開けませんでした。次の場所をブラウザーで開いてください:\n%1").arg(where));
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
