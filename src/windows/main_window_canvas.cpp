// MainWindow: the canvas with the cut frame, and the routines that change the picture or its size.
#include "windows/main_window.h"

#include "windows/canvas_widget.h"
#include "windows/window_support.h"

#include <QLabel>
#include <QPainter>

namespace {

void setNumber(QLabel *label, int value)
{
    SetLabelText(label, QString::number(value));
}

} // namespace

void MainWindow::ResetCanvas(int width, int height)
{
    ResetCanvasImages(m_ws, width, height);
    setNumber(Label9, m_ws.WorkImage.width());
    setNumber(Label10, m_ws.WorkImage.height());
    PaintBox1->resize(width, height);
    RefreshCanvas();
}

void MainWindow::UpdateSizeLabels()
{
    setNumber(Label4, m_ws.CutWidth);
    setNumber(Label6, m_ws.CutHeight);
    // The bitmap's own size, which is what the canvas shows.
    setNumber(Label9, m_ws.WorkImage.width());
    setNumber(Label10, m_ws.WorkImage.height());
}

void MainWindow::FirstPictureSetup()
{
    if (m_ws.PictureLoaded != 0)
        return;
    // The cut size of the previous run replaces whatever was chosen before the first picture.
    // A stored size below 1 (a hand-edited set.ini) would make an empty cut: 1 is the least.
    m_ws.CutWidth = std::max(m_ws.WindowSettings.ImageWidth, 1);
    m_ws.CutHeight = std::max(m_ws.WindowSettings.ImageHeight, 1);
    m_ws.PictureLoaded = 1;
    applyPictureState();
}

void MainWindow::TakeNewPicture(const QImage &picture)
{
    SetWorkPicture(m_ws, picture);
    PaintBox1->resize(m_ws.CanvasWidth, m_ws.CanvasHeight);
    FirstPictureSetup();
    applyPictureState(); // shows the canvas again after a capture hid it
    LowerCutToCanvas(m_ws);
    UpdateSizeLabels();
    RefreshCanvas();
}

void MainWindow::PutEditResult(const QImage &result, EditResultKind kind)
{
    PlaceEditResult(m_ws, result, kind);
    if (kind == EditResultKind::ChangesSize)
        PaintBox1->resize(m_ws.CanvasWidth, m_ws.CanvasHeight);
    RefreshCanvas();
    if (kind != EditResultKind::KeepsSize)
        UpdateSizeLabels();
}

QRegion MainWindow::composeView()
{
    ClampFrame(m_ws);
    return m_view.compose(m_ws.WorkImage, m_ws.ViewImage,
                          QRect(m_ws.FrameX, m_ws.FrameY, m_ws.CutWidth, m_ws.CutHeight));
}

void MainWindow::RefreshCanvas()
{
    const QRegion changed = composeView();
    // Picture and outline reach the screen together: Qt paints the changed part off screen and
    // shows it in one step.
    if (!changed.isEmpty())
        PaintBox1->update(changed);
}

void MainWindow::PaintBox1Paint(QPainter &painter, const QRegion &exposed)
{
    const QRegion changed = composeView();
    if (!changed.isEmpty())
        PaintBox1->update(changed - exposed); // parts outside this paint follow in the next one
    for (const QRect &r : exposed)
        painter.drawImage(r.topLeft(), m_ws.ViewImage, r);
}

void MainWindow::PaintBox1MouseDown(Qt::MouseButton, Qt::KeyboardModifiers, int x, int y)
{
    // The frame's corner jumps to the pointer; it is drawn at the next move or the release.
    m_ws.Dragging = 1;
    m_ws.FrameX = x;
    m_ws.FrameY = y;
}

void MainWindow::PaintBox1MouseMove(Qt::KeyboardModifiers, int x, int y)
{
    if (m_ws.Dragging != 1)
        return;
    m_ws.FrameX = x;
    m_ws.FrameY = y;
    RefreshCanvas();
}

void MainWindow::PaintBox1MouseUp(Qt::MouseButton, Qt::KeyboardModifiers, int, int)
{
    // The release's own position is not used: the frame stays where the press or the last move
    // put it.
    RefreshCanvas();
    m_ws.Dragging = 0;
}
