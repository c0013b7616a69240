// CanvasWidget: a surface that shows nothing of its own; its owner paints it and handles its mouse.
#pragma once

#include <QWidget>
#include <functional>

class CanvasWidget : public QWidget {
    Q_OBJECT
  public:
    explicit CanvasWidget(QWidget *parent = nullptr);

    // exposed: the part to paint, in the box's own coordinates (= canvas pixels).
    std::function<void(QPainter &, const QRegion &exposed)> onPaint;
    // Coordinates are whole pixels and may lie outside the box while a button is held: the box
    // keeps the mouse from press to release.
    std::function<void(Qt::MouseButton, Qt::KeyboardModifiers, int x, int y)> onMouseDown;
    std::function<void(Qt::KeyboardModifiers, int x, int y)> onMouseMove;
    std::function<void(Qt::MouseButton, Qt::KeyboardModifiers, int x, int y)> onMouseUp;

  protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
};
