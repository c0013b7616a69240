// SPDX-License-Identifier: GPL-3.0-or-later
// The canvas: the picture at the zoom, the frame, and the mouse and keys that move it.
#include "windows/canvas_widget.h"

#include "core/workspace/picture_document.h"
#include "windows/palettes.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimerEvent>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

namespace {

// One notch of a common mouse wheel, in eighths of a degree.
constexpr int kWheelNotch = 120;
// While the pointer is held beyond the view's edge, the view scrolls this often, by as far as the
// pointer is beyond it but at most this many pixels a step.
constexpr int kAutoScrollMs = 30;
constexpr int kAutoScrollStep = 40;
// The pixel grid: mid grey at half strength shows on light and dark pictures alike.
const QColor kGridColor(128, 128, 128, 128);

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
            painter.fillRect(QRect(r.topLeft(), part.size()), CheckerboardBrush());
        painter.drawImage(r.topLeft(), part);
        paintPixelGrid(painter, r);
    }
    const FrameMarks marks = FrameMarksOf(m_frame.rect(), m_zoom, picture.size());
    for (const QRect &r : marks.white)
        painter.fillRect(r, Qt::white);
    for (const QRect &r : marks.black)
        painter.fillRect(r, Qt::black);
    paintBoxes(painter);
}

void CanvasWidget::showBoxes(std::vector<QRect> boxes)
{
    m_boxes = std::move(boxes);
    update();
}

void CanvasWidget::paintBoxes(QPainter &painter) const
{
    if (m_boxes.empty())
        return;
    // Magenta on a dark edge shows on sprites and backgrounds of any colour; the number sits inside
    // the box's corner on a dark patch, readable at any zoom.
    QFont font = painter.font();
    font.setPixelSize(11);
    painter.setFont(font);
    const QFontMetrics metrics(font);
    for (size_t i = 0; i < m_boxes.size(); ++i) {
        const QRect box = ViewRectOf(m_boxes[i], m_zoom);
        painter.setPen(QPen(QColor(0, 0, 0, 160), 3));
        painter.drawRect(box.adjusted(0, 0, -1, -1));
        painter.setPen(QPen(Qt::magenta, 1));
        painter.drawRect(box.adjusted(0, 0, -1, -1));
        const QString number = QString::number(i + 1);
        const QRect label(box.topLeft() + QPoint(1, 1),
                          QSize(metrics.horizontalAdvance(number) + 4, metrics.height()));
        painter.fillRect(label, QColor(0, 0, 0, 170));
        painter.setPen(Qt::white);
        painter.drawText(label, Qt::AlignCenter, number);
    }
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
    // Inside the frame the press grabs it where it is; outside, the frame's corner jumps to the
    // pointer.
    const QPoint pixel = pixelAt(event->position());
    m_grab = m_frame.rect().contains(pixel) ? pixel - m_frame.position() : QPoint();
    m_dragging = true;
    dragTo(event->position());
}

void CanvasWidget::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint pixel = pixelAt(event->position());
    if (m_dragging && event->buttons() != Qt::NoButton)
        dragTo(event->position());
    else
        setCursor(m_frame.rect().contains(pixel) ? Qt::SizeAllCursor : Qt::ArrowCursor);
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
    if (m_scrollTimer) {
        killTimer(m_scrollTimer);
        m_scrollTimer = 0;
    }
}

void CanvasWidget::dragTo(QPointF position)
{
    m_pointer = position;
    CutFrame moved = m_frame;
    moved.moveTo(pixelAt(position) - m_grab);
    moveFrame(moved);
    // Beyond the view's edge the view follows the pointer, a little at a time while it is held
    // there.
    QScrollArea *area = scrollArea();
    const bool outside =
        area && !area->viewport()->rect().contains(mapTo(area->viewport(), position.toPoint()));
    if (outside && !m_scrollTimer)
        m_scrollTimer = startTimer(kAutoScrollMs);
}

void CanvasWidget::timerEvent(QTimerEvent *event)
{
    if (event->timerId() != m_scrollTimer) {
        QWidget::timerEvent(event);
        return;
    }
    if (m_dragging)
        scrollTowardsPointer();
}

void CanvasWidget::scrollTowardsPointer()
{
    QScrollArea *area = scrollArea();
    if (!area)
        return;
    const QRect view = area->viewport()->rect();
    const QPoint at = mapTo(area->viewport(), m_pointer.toPoint());
    // As far as the pointer is beyond the edge, at most a screenful's tenth a step.
    const auto beyond = [](int p, int low, int high) {
        return p < low ? p - low : p > high ? p - high : 0;
    };
    const QPoint step(
        std::clamp(beyond(at.x(), view.left(), view.right()), -kAutoScrollStep, kAutoScrollStep),
        std::clamp(beyond(at.y(), view.top(), view.bottom()), -kAutoScrollStep, kAutoScrollStep));
    if (step.isNull()) {
        killTimer(m_scrollTimer);
        m_scrollTimer = 0;
        return;
    }
    QScrollBar *across = area->horizontalScrollBar();
    QScrollBar *down = area->verticalScrollBar();
    const QPoint before(across->value(), down->value());
    across->setValue(across->value() + step.x());
    down->setValue(down->value() + step.y());
    // The pointer stands still on the screen while the canvas moves under it: it now points at
    // another place of the picture, where the frame follows.
    const QPoint scrolled = QPoint(across->value(), down->value()) - before;
    dragTo(m_pointer + scrolled);
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
