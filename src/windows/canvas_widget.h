// SPDX-License-Identifier: GPL-3.0-or-later
// The canvas: the document's picture at the zoom, with the cut frame on it. It paints itself at
// every zoom, keeps the picture point under the pointer or the view's centre in place when the
// zoom changes, and moves the frame from the mouse and the keys, telling the window by signals.
// A press inside the frame grabs it, and it moves by the pointer's travel; a press outside puts
// its top-left corner under the pointer. Held beyond the view's edge, the pointer scrolls the view.
#pragma once

#include "core/workspace/cut_frame.h"
#include "core/workspace/zoom.h"
#include "core/workspace/zoomed_view.h"

#include <QWidget>
#include <vector>

class PictureDocument;
class QScrollArea;

class CanvasWidget : public QWidget {
    Q_OBJECT
  public:
    explicit CanvasWidget(QWidget *parent = nullptr);

    // The document whose picture is shown; the canvas follows its changes.
    void setDocument(const PictureDocument *document);
    // The frame shown; the canvas moves it from the mouse and keys and tells frameMoved.
    void setFrame(const CutFrame &frame);
    const CutFrame &frame() const { return m_frame; }

    // The zoom; the canvas takes the size of the picture at it. anchor is a point of the scroll
    // area's viewport whose picture point stays under it.
    void setZoom(Zoom zoom, QPoint anchor);
    Zoom zoom() const { return m_zoom; }
    // Lines between the picture's pixels from kLeastGridZoom up.
    void setPixelGrid(bool shown);
    // Boxes drawn over the picture, each numbered from 1 in the order given: the sprites an output
    // would write. None hides them.
    void showBoxes(std::vector<QRect> boxes);
    const std::vector<QRect> &boxes() const { return m_boxes; }
    // Scrolls the frame's top-left corner into sight.
    void showFrameCorner();

  signals:
    // The mouse or a key has moved the frame.
    void frameMoved(const CutFrame &frame);
    // The pointer is over picture pixel `pixel` (with or without a button held), or has left the
    // picture.
    void hovered(QPoint pixel);
    void left();
    // Ctrl and the wheel changed the zoom.
    void zoomChanged(Zoom zoom);

  protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void timerEvent(QTimerEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

  private:
    QPoint pixelAt(QPointF position) const;
    QSize pictureSize() const;
    void fitToPicture();
    void pictureChanged();
    void moveFrame(const CutFrame &moved);
    void dragTo(QPointF position);
    void scrollTowardsPointer();
    QRegion marksOf(const CutFrame &frame) const;
    void paintPixelGrid(QPainter &painter, const QRect &area) const;
    void paintBoxes(QPainter &painter) const;
    // The scroll area the canvas sits in; none while it stands alone.
    QScrollArea *scrollArea() const;

    const PictureDocument *m_document = nullptr;
    CutFrame m_frame;
    Zoom m_zoom;
    ZoomedView m_view;
    bool m_pixelGrid = false;
    std::vector<QRect> m_boxes; // in picture pixels
    bool m_dragging = false;    // a mouse button is held on the canvas
    QPoint m_grab;              // where in the frame it was grabbed, in picture pixels
    QPointF m_pointer;          // the pointer's last place while dragging, in canvas coordinates
    int m_scrollTimer = 0;      // runs while the pointer is held beyond the view's edge
    int m_wheelAngle = 0;       // the part of a wheel turn not yet taken as a step
};
