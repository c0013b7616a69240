// SPDX-License-Identifier: GPL-3.0-or-later
// The canvas view: the working picture with the cut frame's outline.
#include "core/workspace/view_composer.h"

#include "core/image/alpha.h"
#include "core/image/picture.h"

#include <cstring>

namespace {

void paintBlack(QImage &view, const QRegion &pixels)
{
    for (const QRect &r : pixels) {
        for (int y = r.top(); y <= r.bottom(); ++y)
            std::memset(view.scanLine(y) + 3 * r.left(), 0, size_t(r.width()) * 3);
    }
}

// Puts back the picture's own pixels where an outline was.
void restore(QImage &view, const QImage &work, const QRegion &pixels)
{
    const bool direct = work.format() == kPictureFormat;
    for (const QRect &r : pixels) {
        const QImage part = direct ? work : OverCheckerboard(work, r);
        const QPoint from = direct ? r.topLeft() : QPoint();
        for (int row = 0; row < r.height(); ++row)
            std::memcpy(view.scanLine(r.top() + row) + 3 * r.left(),
                        part.constScanLine(from.y() + row) + 3 * from.x(), size_t(r.width()) * 3);
    }
}

} // namespace

QRegion FrameOutline(const QRect &frame, const QSize &picture)
{
    if (frame.width() <= 0 || frame.height() <= 0)
        return {};
    QRegion outline;
    outline += QRect(frame.left(), frame.top(), frame.width(), 1);
    outline += QRect(frame.left(), frame.bottom(), frame.width(), 1);
    outline += QRect(frame.left(), frame.top(), 1, frame.height());
    outline += QRect(frame.right(), frame.top(), 1, frame.height());
    return outline.intersected(QRect(QPoint(0, 0), picture));
}

QRegion ViewComposer::compose(const QImage &work, QImage &view, const QRect &frame)
{
    const bool viewCurrent = m_sourceKey != 0 && m_sourceKey == work.cacheKey() &&
                             view.size() == work.size() && view.format() == kPictureFormat;
    if (viewCurrent && frame == m_frame)
        return {};

    QRegion changed;
    if (viewCurrent) {
        const QRegion old = FrameOutline(m_frame, work.size());
        restore(view, work, old);
        changed = old;
    } else {
        // A deep copy: the view must never share pixels with the picture it outlines.
        // Transparency shows as the checkerboard, anchored at the picture's corner so the parts
        // put back under an old outline match it.
        view = work.format() == kPictureFormat ? work.copy() : OverCheckerboard(work, work.rect());
        m_sourceKey = work.cacheKey();
        changed = QRect(QPoint(0, 0), work.size());
    }
    const QRegion outline = FrameOutline(frame, work.size());
    paintBlack(view, outline);
    m_frame = frame;
    return changed + outline;
}
