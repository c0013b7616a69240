// SPDX-License-Identifier: GPL-3.0-or-later
// The main window: the zoom commands, the readouts of the size strip, and the frame's position
// typed in.
#include "windows/main_window.h"

#include "ui_main_window.h"
#include "windows/frame_position_dialog.h"
#include "windows/labels.h"

#include <QMouseEvent>

void MainWindow::connectView()
{
    CanvasWidget *canvas = m_ui->canvas;
    connect(canvas, &CanvasWidget::hovered, this, &MainWindow::showPointer);
    connect(canvas, &CanvasWidget::left, this, &MainWindow::hidePointer);
    connect(canvas, &CanvasWidget::zoomChanged, this, &MainWindow::showZoom);
    const auto onTrigger = [this](QAction *item, void (MainWindow::*command)()) {
        connect(item, &QAction::triggered, this, command);
    };
    onTrigger(m_ui->zoomInAction, &MainWindow::zoomIn);
    onTrigger(m_ui->zoomOutAction, &MainWindow::zoomOut);
    onTrigger(m_ui->actualSizeAction, &MainWindow::showActualSize);
    onTrigger(m_ui->fitToWindowAction, &MainWindow::fitToWindow);
    onTrigger(m_ui->framePositionAction, &MainWindow::chooseFramePosition);
    connect(m_ui->pixelGridAction, &QAction::toggled, canvas, &CanvasWidget::setPixelGrid);
    // Where "+" needs Shift (US layouts), Ctrl and the key beside it zoom in as well.
    m_ui->zoomInAction->setShortcuts({m_ui->zoomInAction->shortcut(), QKeySequence("Ctrl+=")});
    m_ui->positionLabel->installEventFilter(this);
    setAcceptDrops(true);
}

void MainWindow::restoreView()
{
    ViewSettings view;
    ReadViewSettings(m_paths.settingsFile, view);
    m_recentFiles = view.recentFiles;
    showRecentFiles();
    m_ui->canvas->setZoom(ZoomFromPercent(view.zoomPercent), {});
    showZoom(m_ui->canvas->zoom());
    showFramePosition();
    hidePointer();
}

ViewSettings MainWindow::viewSettings() const
{
    return {ZoomPercent(m_ui->canvas->zoom()), m_recentFiles};
}

void MainWindow::zoomIn()
{
    setZoom(ZoomIn(m_ui->canvas->zoom()), m_ui->canvasArea->viewport()->rect().center());
}

void MainWindow::zoomOut()
{
    setZoom(ZoomOut(m_ui->canvas->zoom()), m_ui->canvasArea->viewport()->rect().center());
}

void MainWindow::showActualSize()
{
    setZoom({1, 1}, m_ui->canvasArea->viewport()->rect().center());
}

void MainWindow::fitToWindow()
{
    // The room without scroll bars: once the picture fits, they go.
    setZoom(FitZoom(m_document.size(), m_ui->canvasArea->maximumViewportSize()), {});
}

void MainWindow::setZoom(Zoom zoom, QPoint anchor)
{
    m_ui->canvas->setZoom(zoom, anchor);
    showZoom(zoom);
}

void MainWindow::showZoom(Zoom zoom)
{
    SetLabelText(m_ui->zoomLabel, ZoomText(zoom));
    hidePointer(); // the pixel under the pointer is another one now
}

void MainWindow::showFramePosition()
{
    const QPoint at = m_frame.position();
    SetLabelText(m_ui->positionLabel, QStringLiteral("%1, %2").arg(at.x()).arg(at.y()));
}

void MainWindow::showPointer(QPoint pixel)
{
    const QImage &picture = m_document.picture();
    if (!picture.valid(pixel)) {
        hidePointer();
        return;
    }
    const QRgb colour = picture.pixel(pixel);
    SetLabelText(m_ui->cursorLabel, QStringLiteral("%1, %2  (%3, %4, %5)")
                                        .arg(pixel.x())
                                        .arg(pixel.y())
                                        .arg(qRed(colour))
                                        .arg(qGreen(colour))
                                        .arg(qBlue(colour)));
}

void MainWindow::hidePointer()
{
    SetLabelText(m_ui->cursorLabel, QStringLiteral("-"));
}

void MainWindow::chooseFramePosition()
{
    if (!hasPicture())
        return;
    if (const auto chosen =
            m_framePositionDialog->ask(m_frame.position(), m_frame.lastPosition())) {
        CutFrame moved = m_frame;
        moved.moveTo(*chosen);
        placeFrame(moved);
        m_ui->canvas->showFrameCorner();
    }
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_ui->positionLabel && event->type() == QEvent::MouseButtonDblClick) {
        chooseFramePosition();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}
