// The canvas: a surface that shows nothing of its own. The main window paints it (the picture
// with the cut frame) and moves the frame from its mouse signals.
#pragma once

#include <QWidget>
#include <functional>

class CanvasWidget : public QWidget {
    Q_OBJECT
  public:
    explicit CanvasWidget(QWidget *parent = nullptr);

    // Paints the exposed part of the canvas, in the canvas's own coordinates (= picture pixels).
    using Painter = std::function<void(QPainter &, const QRegion &exposed)>;
    void setPainter(Painter painter) { m_painter = std::move(painter); }

  signals:
    // The picture pixel under the pointer. It may lie outside the canvas while a button is held:
    // the canvas keeps the mouse from press to release.
    void pressed(QPoint pixel);
    void moved(QPoint pixel);
    void released(QPoint pixel);

  protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

  private:
    Painter m_painter;
};
