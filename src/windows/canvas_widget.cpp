// CanvasWidget: a surface painted and driven by its owner.
#include "windows/canvas_widget.h"

#include <QMouseEvent>
#include <QPainter>
#include <cmath>

namespace {

// The pixel under the pointer: floor, so that -0.5 is pixel -1, left of the box.
QPoint pixelAt(const QMouseEvent *event)
{
    return {int(std::floor(event->position().x())), int(std::floor(event->position().y()))};
}

} // namespace

CanvasWidget::CanvasWidget(QWidget *parent) : QWidget(parent)
{
    // Every pixel is painted by the owner: Qt need not clear the background first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CanvasWidget::paintEvent(QPaintEvent *event)
{
    if (!onPaint)
        return;
    QPainter painter(this);
    onPaint(painter, event->region());
}

void CanvasWidget::mousePressEvent(QMouseEvent *event)
{
    const QPoint p = pixelAt(event);
    if (onMouseDown)
        onMouseDown(event->button(), event->modifiers(), p.x(), p.y());
}

void CanvasWidget::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint p = pixelAt(event);
    if (onMouseMove)
        onMouseMove(event->modifiers(), p.x(), p.y());
}

void CanvasWidget::mouseReleaseEvent(QMouseEvent *event)
{
    const QPoint p = pixelAt(event);
    if (onMouseUp)
        onMouseUp(event->button(), event->modifiers(), p.x(), p.y());
}
