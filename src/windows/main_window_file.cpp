// SPDX-License-Identifier: GPL-3.0-or-later
// The main window: loading and saving the picture, the question about unsaved edits, and the Help
// menu and the tools that run a dialog of their own.
#include "windows/main_window.h"

#include "core/base/interface_language.h"
#include "core/base/io_error.h"
#include "core/image/colour_space.h"
#include "core/image/picture.h"
#include "core/image/picture_reading.h"
#include "core/image/picture_writing.h"
#include "core/image/plugin_reading.h"
#include "ui_main_window.h"
#include "windows/about_dialog.h"
#include "windows/application.h"
#include "windows/batch_shrink_dialog.h"
#include "windows/busy_cursor.h"
#include "windows/dropped_files.h"
#include "windows/error_box.h"
#include "windows/file_dialogs.h"
#include "windows/help_window.h"
#include "windows/import_dialog.h"
#include "windows/page_maker_dialog.h"
#include "windows/questions.h"

#include <QDesktopServices>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>
#include <QStatusBar>
#include <QTimer>
#include <QUrl>

namespace {

} // namespace

void MainWindow::loadPicture()
{
    if (mayLetPictureGo())
        importPicture(ImportTarget::WorkingPicture);
}

void MainWindow::openPicture(const QString &path)
{
    if (mayLetPictureGo())
        readPictureFile(path, ImportTarget::WorkingPicture);
}

std::optional<QString> MainWindow::importPicture(ImportTarget target)
{
    const std::optional<ImportedPicture> taken = m_importDialog->choosePicture();
    if (!taken)
        return std::nullopt;
    return placePicture(*taken, target);
}

std::optional<QString> MainWindow::placePicture(const ImportedPicture &taken, ImportTarget target)
{
    const QString name = QFileInfo(taken.path).fileName();
    bool placed = false;
    Guarded(this, [&] {
        if (target == ImportTarget::WorkingPicture) {
            takeNewPicture(
                {taken.picture, taken.convertedFrom, taken.metadata, taken.frames, taken.delaysMs},
                taken.path);
            if (!taken.convertedFrom.isEmpty())
                statusBar()->showMessage(ColoursConvertedText(taken.convertedFrom));
            AddRecentFile(m_recentFiles, QFileInfo(taken.path).absoluteFilePath());
            showRecentFiles();
        } else {
            m_document.setBlendPicture(taken.picture, name);
        }
        placed = true;
    });
    return placed ? std::optional(name) : std::nullopt;
}

std::optional<QString> MainWindow::readPictureFile(const QString &path, ImportTarget target)
{
    // As the import dialog's 決定 reads a file: one that is gone is named, one that cannot be read
    // is reported, and the document stays as it was.
    std::optional<ImportedPicture> taken;
    Guarded(this, [&] {
        if (!QFileInfo(path).isFile())
            throw Failure(tr("%1 が見つかりません").arg(path));
        BusyCursor busy;
        taken = ImportPictureFile(path);
    });
    return taken ? placePicture(*taken, target) : std::nullopt;
}

void MainWindow::dragEnterEvent(QDragEnterEvent *event)
{
    if (!DraggedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent *event)
{
    const QString path = DraggedFile(event->mimeData());
    if (path.isEmpty())
        return;
    event->acceptProposedAction();
    // The drop returns to the program it came from before the picture is read.
    QTimer::singleShot(0, this, [this, path] { openPicture(path); });
}

void MainWindow::showRecentFiles()
{
    QMenu *menu = m_ui->recentMenu;
    // The items go later, not now: this may run from one of their own triggered signals.
    for (QAction *old : menu->actions()) {
        menu->removeAction(old);
        old->deleteLater();
    }
    for (qsizetype i = 0; i < m_recentFiles.size(); ++i) {
        const QString path = m_recentFiles[i];
        QString shown = path;
        shown.replace(u'&', QStringLiteral("&&"));
        QAction *item = menu->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(shown));
        connect(item, &QAction::triggered, this, [this, path] {
            if (!QFileInfo(path).isFile()) // gone since: no use offering it again
                m_recentFiles.removeAll(path);
            openPicture(path);
            showRecentFiles();
        });
    }
    updateActions();
}

void MainWindow::savePicture()
{
    savePictureAs();
}

bool MainWindow::savePictureAs()
{
    const QString chosen = RunFileDialog(m_pictureSaveDialog);
    if (QFileInfo(chosen).fileName().isEmpty())
        return false;
    // The filters' order: BMP, JPEG, PNG, WebP. PNG and WebP keep the picture's alpha and write
    // it losslessly; BMP and JPEG see it over white.
    static const QList<PictureFileKind> kKinds = {PictureFileKind::Bmp, PictureFileKind::Jpeg,
                                                  PictureFileKind::Png, PictureFileKind::Webp};
    const SaveTarget target =
        SaveTargetOf(chosen, kKinds.value(SelectedFilterIndex(m_pictureSaveDialog)), kKinds);
    const QFileInfo file(target.path);
    if ((file.exists() || file.isSymLink()) && !MayReplaceFiles(this, {target.path}))
        return false;
    bool saved = false;
    Guarded(this, [&] {
        WritePictureFile(target.path, m_document.picture(), target.kind,
                         m_document.metadataForSaving());
        m_document.markSaved();
        saved = true;
    });
    return saved;
}

bool MainWindow::mayLetPictureGo()
{
    if (!m_document.isModified())
        return true;
    switch (AskAboutUnsavedEdits(this, QFileInfo(m_document.fileName()).fileName())) {
    case UnsavedEdits::Save: return savePictureAs(); // a cancelled save keeps the picture too
    case UnsavedEdits::Discard: return true;
    case UnsavedEdits::Cancel: return false;
    }
    return false;
}

void MainWindow::openHelp()
{
    openInBrowser(QUrl::fromLocalFile(LocalizedDataFile(m_paths, QStringLiteral("help.html"))));
}

void MainWindow::openReadme()
{
    openInBrowser(QUrl::fromLocalFile(LocalizedDataFile(m_paths, QStringLiteral("readme.txt"))));
}

void MainWindow::openInBrowser(const QUrl &address)
{
    const bool local = address.isLocalFile();
    const QString type = local && address.path().endsWith(QLatin1String(".txt"))
                             ? QStringLiteral("text/plain")
                             : QStringLiteral("text/html");
    if ((!local || DesktopOpens(type)) && QDesktopServices::openUrl(address))
        return;
    // Without a browser (or a desktop that knows one) the program's own window shows its files.
    if (local) {
        if (!m_helpWindow)
            m_helpWindow = new HelpWindow(this);
        m_helpWindow->showFile(address.toLocalFile());
        return;
    }
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
