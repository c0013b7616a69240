// SPDX-License-Identifier: GPL-3.0-or-later
// The main window: the canvas with the cut frame, and the routines that change the picture or its
// size.
#include "windows/main_window.h"

#include "ui_main_window.h"
#include "windows/window_support.h"

#include <QPainter>

namespace {

void setNumber(QLabel *label, int value)
{
    SetLabelText(label, QString::number(value));
}

} // namespace

void MainWindow::connectCanvas()
{
    m_ui->canvas->setPainter([this](QPainter &p, const QRegion &r) { paintCanvas(p, r); });
    connect(m_ui->canvas, &CanvasWidget::pressed, this, &MainWindow::startDrag);
    connect(m_ui->canvas, &CanvasWidget::moved, this, &MainWindow::drag);
    connect(m_ui->canvas, &CanvasWidget::released, this, &MainWindow::endDrag);
    // The keys that move the frame reach it from anywhere in the picture area: a click on the
    // grey around a small picture, or Tab into the area, gives them to the canvas.
    m_ui->canvasArea->setFocusProxy(m_ui->canvas);
}

void MainWindow::resetCanvas(int width, int height)
{
    ResetCanvasImages(m_ws, width, height);
    setNumber(m_ui->pictureWidthLabel, m_ws.WorkImage.width());
    setNumber(m_ui->pictureHeightLabel, m_ws.WorkImage.height());
    m_ui->canvas->setPictureSize(QSize(width, height));
    refreshCanvas();
}

void MainWindow::updateSizeLabels()
{
    setNumber(m_ui->cutWidthLabel, m_ws.CutWidth);
    setNumber(m_ui->cutHeightLabel, m_ws.CutHeight);
    // The bitmap's own size, which is what the canvas shows.
    setNumber(m_ui->pictureWidthLabel, m_ws.WorkImage.width());
    setNumber(m_ui->pictureHeightLabel, m_ws.WorkImage.height());
}

void MainWindow::enterWorkingState()
{
    if (m_pictureLoaded)
        return;
    // The cut size stands as the user left it (chosen in the dialog, or the previous run's);
    // the picture lowers it. A stored size below 1 (a hand-edited set.ini) would make an empty
    // cut: 1 is the least.
    m_ws.CutWidth = std::max(m_ws.CutWidth, 1);
    m_ws.CutHeight = std::max(m_ws.CutHeight, 1);
    m_pictureLoaded = true;
    updateActions();
}

void MainWindow::takeNewPicture(const QImage &picture)
{
    SetWorkPicture(m_ws, picture);
    m_history.clear();
    m_ui->canvas->setPictureSize(QSize(m_ws.CanvasWidth, m_ws.CanvasHeight));
    enterWorkingState();
    updateActions();          // shows the canvas again after a capture hid it
    m_ui->canvas->setFocus(); // a new picture's frame takes the keys at once
    LowerCutToCanvas(m_ws);
    updateSizeLabels();
    refreshCanvas();
}

void MainWindow::putEditResult(const QImage &result, EditResultKind kind)
{
    PlaceEditResult(m_ws, result, kind);
    if (kind == EditResultKind::ChangesSize)
        m_ui->canvas->setPictureSize(QSize(m_ws.CanvasWidth, m_ws.CanvasHeight));
    refreshCanvas();
    if (kind != EditResultKind::KeepsSize)
        updateSizeLabels();
}

QRegion MainWindow::composeView()
{
    ClampFrame(m_ws);
    return m_view.compose(m_ws.WorkImage, m_ws.ViewImage,
                          QRect(m_ws.FrameX, m_ws.FrameY, m_ws.CutWidth, m_ws.CutHeight));
}

void MainWindow::refreshCanvas()
{
    ClampFrame(m_ws);
    const QRect frame(m_ws.FrameX, m_ws.FrameY, m_ws.CutWidth, m_ws.CutHeight);
    const Zoom zoom = m_ui->canvas->zoom();
    // Picture and frame reach the screen together: Qt paints the changed part off screen and
    // shows it in one step. A moved frame repaints only its old and new marks.
    QRegion changed;
    if (m_ws.WorkImage.cacheKey() != m_shownPicture)
        changed = m_ui->canvas->rect();
    else if (frame != m_shownFrame)
        changed = FrameMarksOf(m_shownFrame, zoom, m_ws.WorkImage.size()).all() +
                  FrameMarksOf(frame, zoom, m_ws.WorkImage.size()).all();
    m_shownPicture = m_ws.WorkImage.cacheKey();
    m_shownFrame = frame;
    if (!changed.isEmpty())
        m_ui->canvas->update(changed);
    showFramePosition();
}

void MainWindow::paintCanvas(QPainter &painter, const QRegion &exposed)
{
    const Zoom zoom = m_ui->canvas->zoom();
    if (zoom == Zoom{1, 1}) {
        // At 100 % the view is kept whole, with the black line on it, and updated where the
        // frame moved (ViewComposer).
        const QRegion changed = composeView();
        if (!changed.isEmpty())
            m_ui->canvas->update(changed - exposed); // parts outside this paint follow later
        for (const QRect &r : exposed)
            painter.drawImage(r.topLeft(), m_ws.ViewImage, r);
    } else {
        ClampFrame(m_ws);
        for (const QRect &r : exposed)
            painter.drawImage(r.topLeft(), m_zoomedView.part(m_ws.WorkImage, zoom, r));
        paintPixelGrid(painter, exposed);
    }
    paintFrameMarks(painter);
}

void MainWindow::startDrag(QPoint pixel)
{
    // The frame's corner jumps to the pointer; it is drawn at the next move or the release.
    m_dragging = true;
    m_ws.FrameX = pixel.x();
    m_ws.FrameY = pixel.y();
}

void MainWindow::drag(QPoint pixel)
{
    if (!m_dragging)
        return;
    m_ws.FrameX = pixel.x();
    m_ws.FrameY = pixel.y();
    refreshCanvas();
}

void MainWindow::endDrag()
{
    // The release's own position is not used: the frame stays where the press or the last move
    // put it.
    refreshCanvas();
    m_dragging = false;
}
