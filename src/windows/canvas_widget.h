// SPDX-License-Identifier: GPL-3.0-or-later
// The canvas: a surface that shows nothing of its own. The main window paints it (the picture
// with the cut frame) and moves the frame from its mouse and key signals. The canvas knows the
// picture's size and the zoom: it takes the size the picture has in view pixels and reports the
// pointer in picture pixels.
#pragma once

#include "core/workspace/workspace.h"
#include "core/workspace/zoom.h"

#include <QWidget>
#include <functional>

class CanvasWidget : public QWidget {
    Q_OBJECT
  public:
    explicit CanvasWidget(QWidget *parent = nullptr);

    // Paints the exposed part of the canvas, in the canvas's own coordinates (view pixels).
    using Painter = std::function<void(QPainter &, const QRegion &exposed)>;
    void setPainter(Painter painter) { m_painter = std::move(painter); }

    // The picture shown and the zoom; each sizes the canvas to ViewSize(picture, zoom).
    void setPictureSize(QSize picture);
    void setZoom(Zoom zoom);
    QSize pictureSize() const { return m_picture; }
    Zoom zoom() const { return m_zoom; }

  signals:
    // The picture pixel under the pointer. It may lie outside the picture while a button is held:
    // the canvas keeps the mouse from press to release.
    void pressed(QPoint pixel);
    void moved(QPoint pixel);
    void released(QPoint pixel);
    // The pointer is over picture pixel `pixel` (with or without a button held), or has left the
    // picture.
    void hovered(QPoint pixel);
    void left();
    // Ctrl + wheel: steps up (positive) or down, about the pointer at `at` (canvas coordinates).
    void wheelZoomed(int steps, QPoint at);
    // An arrow key moves the frame by dx, dy (each -1, 0 or 1) steps of size; Home to (0, 0).
    void nudged(int dx, int dy, NudgeSize size);
    void homePressed();

  protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

  private:
    QPoint pixelAt(QPointF position) const;
    void fitToPicture();

    Painter m_painter;
    QSize m_picture;
    Zoom m_zoom;
    int m_wheelAngle = 0; // the part of a wheel turn not yet taken as a step
};
