// The canvas: a surface painted and driven by the main window.
#include "windows/canvas_widget.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <cmath>

namespace {

// One notch of a common mouse wheel, in eighths of a degree.
constexpr int kWheelNotch = 120;

} // namespace

CanvasWidget::CanvasWidget(QWidget *parent) : QWidget(parent)
{
    // Every pixel is painted by the owner: Qt need not clear the background first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    // The readout follows the pointer without a button held; a click gives the keys to the frame.
    setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);
}

void CanvasWidget::setPictureSize(QSize picture)
{
    m_picture = picture;
    fitToPicture();
}

void CanvasWidget::setZoom(Zoom zoom)
{
    m_zoom = zoom;
    fitToPicture();
}

void CanvasWidget::fitToPicture()
{
    resize(ViewSize(m_picture, m_zoom));
}

// The view pixel under the pointer (floor, so that -0.5 is pixel -1, left of the canvas), then the
// picture pixel it shows.
QPoint CanvasWidget::pixelAt(QPointF position) const
{
    return {PictureAt(int(std::floor(position.x())), m_zoom),
            PictureAt(int(std::floor(position.y())), m_zoom)};
}

void CanvasWidget::paintEvent(QPaintEvent *event)
{
    if (!m_painter)
        return;
    QPainter painter(this);
    m_painter(painter, event->region());
}

void CanvasWidget::mousePressEvent(QMouseEvent *event)
{
    emit pressed(pixelAt(event->position()));
}

void CanvasWidget::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint pixel = pixelAt(event->position());
    if (event->buttons() != Qt::NoButton)
        emit moved(pixel);
    if (QRect(QPoint(0, 0), m_picture).contains(pixel))
        emit hovered(pixel);
    else
        emit left();
}

void CanvasWidget::mouseReleaseEvent(QMouseEvent *event)
{
    emit released(pixelAt(event->position()));
}

void CanvasWidget::leaveEvent(QEvent *event)
{
    emit left();
    QWidget::leaveEvent(event);
}

void CanvasWidget::wheelEvent(QWheelEvent *event)
{
    if (!(event->modifiers() & Qt::ControlModifier)) {
        event->ignore(); // the scroll area scrolls
        return;
    }
    // A fine-grained wheel sends fractions of a notch: they add up to a step.
    m_wheelAngle += event->angleDelta().y();
    const int steps = m_wheelAngle / kWheelNotch;
    m_wheelAngle -= steps * kWheelNotch;
    if (steps != 0)
        emit wheelZoomed(steps, event->position().toPoint());
    event->accept();
}

void CanvasWidget::keyPressEvent(QKeyEvent *event)
{
    const Qt::KeyboardModifiers modifiers =
        event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier);
    const NudgeSize size = modifiers == Qt::ControlModifier ? NudgeSize::Tile
                           : modifiers == Qt::ShiftModifier ? NudgeSize::TenPixels
                                                            : NudgeSize::Pixel;
    const bool plain = modifiers == Qt::NoModifier || modifiers == Qt::ShiftModifier ||
                       modifiers == Qt::ControlModifier;
    switch (plain ? event->key() : Qt::Key_unknown) {
    case Qt::Key_Left: emit nudged(-1, 0, size); break;
    case Qt::Key_Right: emit nudged(1, 0, size); break;
    case Qt::Key_Up: emit nudged(0, -1, size); break;
    case Qt::Key_Down: emit nudged(0, 1, size); break;
    case Qt::Key_Home:
        if (modifiers != Qt::NoModifier) {
            QWidget::keyPressEvent(event);
            return;
        }
        emit homePressed();
        break;
    default: QWidget::keyPressEvent(event); return;
    }
    event->accept();
}
