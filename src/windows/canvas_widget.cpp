// The canvas: a surface painted and driven by the main window.
#include "windows/canvas_widget.h"

#include <QMouseEvent>
#include <QPainter>
#include <cmath>

namespace {

// The pixel under the pointer: floor, so that -0.5 is pixel -1, left of the canvas.
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
    if (!m_painter)
        return;
    QPainter painter(this);
    m_painter(painter, event->region());
}

void CanvasWidget::mousePressEvent(QMouseEvent *event)
{
    emit pressed(pixelAt(event));
}

void CanvasWidget::mouseMoveEvent(QMouseEvent *event)
{
    emit moved(pixelAt(event));
}

void CanvasWidget::mouseReleaseEvent(QMouseEvent *event)
{
    emit released(pixelAt(event));
}
