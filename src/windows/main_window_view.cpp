// SPDX-License-Identifier: GPL-3.0-or-later
// The main window: the view of the picture (zoom, pixel grid, the frame's marks), the readouts of
// the size strip, and the frame moved by keys or typed in.
#include "windows/main_window.h"

#include "ui_main_window.h"
#include "windows/frame_position_dialog.h"
#include "windows/window_support.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

namespace {

// The pixel grid: mid grey at half strength shows on light and dark pictures alike.
const QColor kGridColor(128, 128, 128, 128);

} // namespace

void MainWindow::connectView()
{
    CanvasWidget *canvas = m_ui->canvas;
    connect(canvas, &CanvasWidget::hovered, this, &MainWindow::showPointer);
    connect(canvas, &CanvasWidget::left, this, &MainWindow::hidePointer);
    connect(canvas, &CanvasWidget::wheelZoomed, this, &MainWindow::zoomByWheel);
    connect(canvas, &CanvasWidget::nudged, this, &MainWindow::nudgeFrame);
    connect(canvas, &CanvasWidget::homePressed, this, [this] {
        m_ws.FrameX = 0;
        m_ws.FrameY = 0;
        frameMovedByKey();
    });
    const auto onTrigger = [this](QAction *item, void (MainWindow::*command)()) {
        connect(item, &QAction::triggered, this, command);
    };
    onTrigger(m_ui->zoomInAction, &MainWindow::zoomIn);
    onTrigger(m_ui->zoomOutAction, &MainWindow::zoomOut);
    onTrigger(m_ui->actualSizeAction, &MainWindow::showActualSize);
    onTrigger(m_ui->fitToWindowAction, &MainWindow::fitToWindow);
    onTrigger(m_ui->framePositionAction, &MainWindow::chooseFramePosition);
    connect(m_ui->pixelGridAction, &QAction::toggled, canvas, qOverload<>(&QWidget::update));
    // Where "+" needs Shift (US layouts), Ctrl and the key beside it zoom in as well.
    m_ui->zoomInAction->setShortcuts({m_ui->zoomInAction->shortcut(), QKeySequence("Ctrl+=")});
    m_ui->positionLabel->installEventFilter(this);
    setAcceptDrops(true);
}

void MainWindow::restoreView()
{
    ViewSettings view;
    ReadViewSettings(m_paths.settingsFile, view);
    m_recentFiles = view.RecentFiles;
    showRecentFiles();
    m_ui->canvas->setZoom(ZoomFromPercent(view.ZoomPercent));
    SetLabelText(m_ui->zoomLabel, ZoomText(m_ui->canvas->zoom()));
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
    setZoom(FitZoom(m_ui->canvas->pictureSize(), m_ui->canvasArea->maximumViewportSize()), {});
}

void MainWindow::zoomByWheel(int steps, QPoint at)
{
    Zoom zoom = m_ui->canvas->zoom();
    for (int i = 0; i < std::abs(steps); ++i)
        zoom = steps > 0 ? ZoomIn(zoom) : ZoomOut(zoom);
    setZoom(zoom, m_ui->canvas->mapTo(m_ui->canvasArea->viewport(), at));
}

void MainWindow::setZoom(Zoom zoom, QPoint anchor)
{
    CanvasWidget *canvas = m_ui->canvas;
    const Zoom old = canvas->zoom();
    if (zoom == old)
        return;
    QScrollBar *across = m_ui->canvasArea->horizontalScrollBar();
    QScrollBar *down = m_ui->canvasArea->verticalScrollBar();
    // The picture point under the anchor (in picture pixels, fractional) stays under it.
    const QPointF point =
        QPointF(anchor + QPoint(across->value(), down->value())) * old.den / old.num;
    m_zoomedView.invalidate(); // the tiles of the old zoom are of no more use
    canvas->setZoom(zoom);
    canvas->update();
    const QPointF scaled = point * zoom.num / zoom.den;
    across->setValue(qRound(scaled.x()) - anchor.x());
    down->setValue(qRound(scaled.y()) - anchor.y());
    SetLabelText(m_ui->zoomLabel, ZoomText(zoom));
    hidePointer(); // the pixel under the pointer is another one now
}

void MainWindow::nudgeFrame(int dx, int dy, NudgeSize size)
{
    NudgeFrame(m_ws, dx, dy, size);
    frameMovedByKey();
}

void MainWindow::frameMovedByKey()
{
    refreshCanvas();
    // The frame's corner stays in sight when the keys take it off screen.
    const QRect corner = ViewRectOf(QRect(m_ws.FrameX, m_ws.FrameY, 1, 1), m_ui->canvas->zoom());
    m_ui->canvasArea->ensureVisible(corner.center().x(), corner.center().y(), 50, 50);
}

void MainWindow::paintFrameMarks(QPainter &painter) const
{
    const FrameMarks marks =
        FrameMarksOf(m_shownFrame, m_ui->canvas->zoom(), m_ws.WorkImage.size());
    for (const QRect &r : marks.white)
        painter.fillRect(r, Qt::white);
    for (const QRect &r : marks.black)
        painter.fillRect(r, Qt::black);
}

void MainWindow::paintPixelGrid(QPainter &painter, const QRegion &exposed) const
{
    const Zoom zoom = m_ui->canvas->zoom();
    if (!m_ui->pixelGridAction->isChecked() || ZoomBelow(zoom, kLeastGridZoom))
        return;
    // One line along the first view column and row of every picture pixel in sight.
    const QRect r = exposed.boundingRect();
    for (int p = PictureAt(r.left(), zoom); p <= PictureAt(r.right(), zoom); ++p)
        painter.fillRect(ViewSpanOf(p, p, zoom).begin, r.top(), 1, r.height(), kGridColor);
    for (int p = PictureAt(r.top(), zoom); p <= PictureAt(r.bottom(), zoom); ++p)
        painter.fillRect(r.left(), ViewSpanOf(p, p, zoom).begin, r.width(), 1, kGridColor);
}

void MainWindow::showFramePosition()
{
    SetLabelText(m_ui->positionLabel, QStringLiteral("%1, %2").arg(m_ws.FrameX).arg(m_ws.FrameY));
}

void MainWindow::showPointer(QPoint pixel)
{
    if (!m_ws.WorkImage.valid(pixel)) {
        hidePointer();
        return;
    }
    const QRgb colour = m_ws.WorkImage.pixel(pixel);
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
    if (!m_pictureLoaded)
        return;
    const QPoint greatest(m_ws.CanvasWidth - m_ws.CutWidth, m_ws.CanvasHeight - m_ws.CutHeight);
    if (const auto chosen = m_framePositionDialog->ask({m_ws.FrameX, m_ws.FrameY}, greatest)) {
        m_ws.FrameX = chosen->x();
        m_ws.FrameY = chosen->y();
        frameMovedByKey();
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
