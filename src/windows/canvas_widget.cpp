// SPDX-License-Identifier: GPL-3.0-or-later
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
    // Some keyboards report the arrows as keypad keys: that makes no difference here.
    const Qt::KeyboardModifiers held = event->modifiers() & ~Qt::KeypadModifier;
    if (event->key() == Qt::Key_Home && held == Qt::NoModifier) {
        emit homePressed();
        return;
    }
    QPoint direction;
    switch (event->key()) {
    case Qt::Key_Left: direction = {-1, 0}; break;
    case Qt::Key_Right: direction = {1, 0}; break;
    case Qt::Key_Up: direction = {0, -1}; break;
    case Qt::Key_Down: direction = {0, 1}; break;
    default: break;
    }
    const bool sized =
        held == Qt::NoModifier || held == Qt::ShiftModifier || held == Qt::ControlModifier;
    if (direction.isNull() || !sized) { // other keys go on to the scroll area and the window
        QWidget::keyPressEvent(event);
        return;
    }
    emit nudged(direction.x(), direction.y(),
                held == Qt::ControlModifier ? NudgeSize::Tile
                : held == Qt::ShiftModifier ? NudgeSize::TenPixels
                                            : NudgeSize::Pixel);
}
