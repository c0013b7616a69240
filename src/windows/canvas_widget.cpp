// SPDX-License-Identifier: GPL-3.0-or-later
// The canvas: the picture at the zoom, the frame, and the mouse and keys that move it.
#include "windows/canvas_widget.h"

#include "core/workspace/picture_document.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QScrollArea>
#include <QScrollBar>
#include <QWheelEvent>
#include <cmath>

namespace {

// One notch of a common mouse wheel, in eighths of a degree.
constexpr int kWheelNotch = 120;
// The pixel grid: mid grey at half strength shows on light and dark pictures alike.
const QColor kGridColor(128, 128, 128, 128);
// Transparency shows as squares of this many view pixels, white and light grey: a pattern no
// picture is likely to form, the same on screen at every zoom, and a picture's own white stays
// visible against the grey squares.
constexpr int kCheckerSquare = 8;
const QColor kCheckerGrey(204, 204, 204);

const QBrush &checkerboard()
{
    static const QBrush kBrush = [] {
        QPixmap tile(2 * kCheckerSquare, 2 * kCheckerSquare);
        tile.fill(Qt::white);
        QPainter painter(&tile);
        painter.fillRect(kCheckerSquare, 0, kCheckerSquare, kCheckerSquare, kCheckerGrey);
        painter.fillRect(0, kCheckerSquare, kCheckerSquare, kCheckerSquare, kCheckerGrey);
        return QBrush(tile);
    }();
    return kBrush;
}

} // namespace

CanvasWidget::CanvasWidget(QWidget *parent) : QWidget(parent)
{
    // Every pixel is painted here: Qt need not clear the background first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    // The readout follows the pointer without a button held; a click gives the keys to the frame.
    setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);
}

void CanvasWidget::setDocument(const PictureDocument *document)
{
    if (m_document)
        disconnect(m_document, nullptr, this, nullptr);
    m_document = document;
    if (m_document)
        connect(m_document, &PictureDocument::pictureChanged, this, &CanvasWidget::pictureChanged);
    pictureChanged();
}

QSize CanvasWidget::pictureSize() const
{
    return m_document ? m_document->size() : QSize();
}

void CanvasWidget::pictureChanged()
{
    fitToPicture();
    update();
}

void CanvasWidget::setFrame(const CutFrame &frame)
{
    if (frame == m_frame)
        return;
    // A moved frame repaints only its old and new marks; Qt paints them off screen and shows them
    // in one step, so the frame never shows in two places.
    update(marksOf(m_frame) + marksOf(frame));
    m_frame = frame;
}

void CanvasWidget::moveFrame(const CutFrame &moved)
{
    if (moved == m_frame)
        return;
    setFrame(moved);
    emit frameMoved(m_frame);
}

QRegion CanvasWidget::marksOf(const CutFrame &frame) const
{
    return FrameMarksOf(frame.rect(), m_zoom, pictureSize()).all();
}

void CanvasWidget::setZoom(Zoom zoom, QPoint anchor)
{
    if (zoom == m_zoom)
        return;
    QScrollArea *area = scrollArea();
    QScrollBar *across = area ? area->horizontalScrollBar() : nullptr;
    QScrollBar *down = area ? area->verticalScrollBar() : nullptr;
    const QPoint scrolled = area ? QPoint(across->value(), down->value()) : QPoint();
    // The picture point under the anchor (in picture pixels, fractional) stays under it.
    const QPointF point = QPointF(anchor + scrolled) * m_zoom.den / m_zoom.num;
    m_view.invalidate(); // the tiles of the old zoom are of no more use
    m_zoom = zoom;
    fitToPicture();
    update();
    if (area) {
        const QPointF scaled = point * zoom.num / zoom.den;
        across->setValue(qRound(scaled.x()) - anchor.x());
        down->setValue(qRound(scaled.y()) - anchor.y());
    }
}

void CanvasWidget::setPixelGrid(bool shown)
{
    m_pixelGrid = shown;
    update();
}

void CanvasWidget::fitToPicture()
{
    resize(ViewSize(pictureSize(), m_zoom));
}

QScrollArea *CanvasWidget::scrollArea() const
{
    for (QWidget *w = parentWidget(); w; w = w->parentWidget())
        if (auto *area = qobject_cast<QScrollArea *>(w))
            return area;
    return nullptr;
}

void CanvasWidget::showFrameCorner()
{
    if (QScrollArea *area = scrollArea()) {
        const QRect corner = ViewRectOf(QRect(m_frame.position(), QSize(1, 1)), m_zoom);
        area->ensureVisible(corner.center().x(), corner.center().y(), 50, 50);
    }
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
    if (!m_document)
        return;
    QPainter painter(this);
    const QImage &picture = m_document->picture();
    for (const QRect &r : event->region()) {
        const QImage part = m_view.part(picture, m_zoom, r);
        if (part.hasAlphaChannel()) // anchored at the canvas's corner, as the parts meet
            painter.fillRect(QRect(r.topLeft(), part.size()), checkerboard());
        painter.drawImage(r.topLeft(), part);
        paintPixelGrid(painter, r);
    }
    const FrameMarks marks = FrameMarksOf(m_frame.rect(), m_zoom, picture.size());
    for (const QRect &r : marks.white)
        painter.fillRect(r, Qt::white);
    for (const QRect &r : marks.black)
        painter.fillRect(r, Qt::black);
}

void CanvasWidget::paintPixelGrid(QPainter &painter, const QRect &area) const
{
    if (!m_pixelGrid || ZoomBelow(m_zoom, kLeastGridZoom))
        return;
    // One line along the first view column and row of every picture pixel in sight.
    for (int p = PictureAt(area.left(), m_zoom); p <= PictureAt(area.right(), m_zoom); ++p)
        painter.fillRect(ViewSpanOf(p, p, m_zoom).begin, area.top(), 1, area.height(), kGridColor);
    for (int p = PictureAt(area.top(), m_zoom); p <= PictureAt(area.bottom(), m_zoom); ++p)
        painter.fillRect(area.left(), ViewSpanOf(p, p, m_zoom).begin, area.width(), 1, kGridColor);
}

void CanvasWidget::mousePressEvent(QMouseEvent *event)
{
    // The frame's corner jumps to the pointer.
    m_dragging = true;
    CutFrame moved = m_frame;
    moved.moveTo(pixelAt(event->position()));
    moveFrame(moved);
}

void CanvasWidget::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint pixel = pixelAt(event->position());
    if (m_dragging && event->buttons() != Qt::NoButton) {
        CutFrame moved = m_frame;
        moved.moveTo(pixel);
        moveFrame(moved);
    }
    if (QRect(QPoint(0, 0), pictureSize()).contains(pixel))
        emit hovered(pixel);
    else
        emit left();
}

void CanvasWidget::mouseReleaseEvent(QMouseEvent *)
{
    // The release's own position is not used: the frame stays where the press or the last move
    // put it.
    m_dragging = false;
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
    event->accept();
    if (steps == 0)
        return;
    Zoom zoom = m_zoom;
    for (int i = 0; i < std::abs(steps); ++i)
        zoom = steps > 0 ? ZoomIn(zoom) : ZoomOut(zoom);
    QScrollArea *area = scrollArea();
    const QPoint at = event->position().toPoint();
    setZoom(zoom, area ? mapTo(area->viewport(), at) : at);
    emit zoomChanged(m_zoom);
}

void CanvasWidget::keyPressEvent(QKeyEvent *event)
{
    // Some keyboards report the arrows as keypad keys: that makes no difference here.
    const Qt::KeyboardModifiers held = event->modifiers() & ~Qt::KeypadModifier;
    CutFrame moved = m_frame;
    if (event->key() == Qt::Key_Home && held == Qt::NoModifier) {
        moved.moveTo({0, 0});
    } else {
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
        moved.nudge(direction.x(), direction.y(),
                    held == Qt::ControlModifier ? NudgeSize::Tile
                    : held == Qt::ShiftModifier ? NudgeSize::TenPixels
                                                : NudgeSize::Pixel);
    }
    moveFrame(moved);
    showFrameCorner(); // the frame's corner stays in sight when the keys take it off screen
}
