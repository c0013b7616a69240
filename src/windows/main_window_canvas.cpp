// SPDX-License-Identifier: GPL-3.0-or-later
// The main window: the picture on the canvas, the cut frame, and the size readouts.
#include "windows/main_window.h"

#include "ui_main_window.h"
#include "windows/application.h"
#include "windows/frame_bar_widget.h"
#include "windows/labels.h"
#include "windows/output_dialog.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QStatusBar>

namespace {

void setNumber(QLabel *label, int value)
{
    SetLabelText(label, QString::number(value));
}

} // namespace

void MainWindow::connectCanvas()
{
    CanvasWidget *canvas = m_ui->canvas;
    canvas->setDocument(&m_document);
    connect(&m_document, &PictureDocument::pictureChanged, this, &MainWindow::showPicture);
    connect(&m_document, &PictureDocument::modificationChanged, this, &MainWindow::showTitle);
    connect(canvas, &CanvasWidget::frameMoved, this, &MainWindow::frameMoved);
    // The sprites the output dialog would write, numbered on the picture while it is open.
    connect(m_outputDialog, &OutputDialog::spriteBoxesChanged, canvas, &CanvasWidget::showBoxes);
    // The keys that move the frame reach it from anywhere in the picture area: a click on the
    // grey around a small picture, or Tab into the area, gives them to the canvas.
    m_ui->canvasArea->setFocusProxy(canvas);
    m_frameBar = new FrameBarWidget(m_ui->centralWidget);
    m_ui->centralLayout->addWidget(m_frameBar);
    connect(m_frameBar, &FrameBarWidget::frameChosen, &m_document, &PictureDocument::showFrame);
    showPicture();
}

void MainWindow::showPicture()
{
    // A change of the picture may have lowered the cut and moved the frame.
    m_ui->canvas->setFrame(m_frame);
    updateSizeLabels();
    showFramePosition();
    showTitle();
    m_frameBar->showFrame(m_document.shownFrame());
}

void MainWindow::showTitle()
{
    // The file's name, marked while it has edits not saved; a capture has no name.
    QString name = QFileInfo(m_document.fileName()).fileName();
    if (m_document.isModified())
        name += u'*';
    setWindowTitle(name.isEmpty() ? kAppTitle : QStringLiteral("%1 - %2").arg(name, kAppTitle));
}

void MainWindow::updateSizeLabels()
{
    setNumber(m_ui->cutWidthLabel, m_frame.size().width());
    setNumber(m_ui->cutHeightLabel, m_frame.size().height());
    setNumber(m_ui->pictureWidthLabel, m_document.size().width());
    setNumber(m_ui->pictureHeightLabel, m_document.size().height());
}

void MainWindow::takeNewPicture(const QImage &picture, const QString &fileName)
{
    LoadedPicture loaded;
    loaded.picture = picture;
    takeNewPicture(loaded, fileName);
}

void MainWindow::takeNewPicture(const LoadedPicture &loaded, const QString &fileName)
{
    m_document.load(loaded, m_frame, fileName);
    m_frameBar->setFrames(m_document.delaysMs());
    statusBar()->clearMessage(); // what it said was of the picture before
    updateActions();             // shows the canvas again after a capture hid it
    m_ui->canvas->setFocus();    // a new picture's frame takes the keys at once
    // A new picture opens whole: at 100 %, or smaller when it would not fit the window.
    const Zoom fit = FitZoom(m_document.size(), m_ui->canvasArea->maximumViewportSize());
    setZoom(ZoomBelow(fit, Zoom{1, 1}) ? fit : Zoom{1, 1}, {});
    if (!fileName.isEmpty()) // the file dialogs start in the picture's folder
        for (QFileDialog *dialog : findChildren<QFileDialog *>())
            dialog->setDirectory(QFileInfo(fileName).absolutePath());
}

void MainWindow::placeFrame(const CutFrame &frame)
{
    m_frame = frame;
    m_frame.setPictureSize(hasPicture() ? m_document.size() : QSize());
    m_ui->canvas->setFrame(m_frame);
    updateSizeLabels();
    showFramePosition();
}

void MainWindow::frameMoved(const CutFrame &frame)
{
    m_frame = frame;
    showFramePosition();
}
