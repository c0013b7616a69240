// SPDX-License-Identifier: GPL-3.0-or-later
// The canvas view: the working picture with the cut frame's one-pixel black outline on top.
#pragma once

#include <QImage>
#include <QRect>
#include <QRegion>

// The outline of a frame: the outermost pixels of the area that will be cut (columns x and
// x + w - 1, rows y and y + h - 1), clipped to a picture of the given size.
QRegion FrameOutline(const QRect &frame, const QSize &picture);

// Keeps ViewImage equal to "WorkImage with the outline of the frame drawn on it" (24-bit); a
// picture with alpha is shown over the checkerboard of OverCheckerboard.
//
// A drag on a large picture composes the view once per mouse move. Copying the whole picture each
// time costs tens of milliseconds at 6000 x 4000, so the composer remembers which picture and
// which outline the view holds: while the picture is unchanged, it puts back the picture's pixels
// under the old outline and draws the new one. The view is the same as a full copy would give.
class ViewComposer {
  public:
    // Brings view up to date and returns the region of it that changed (in picture pixels).
    QRegion compose(const QImage &work, QImage &view, const QRect &frame);

    // Forgets what the view holds; the next compose copies the whole picture.
    void invalidate() { m_sourceKey = 0; }

  private:
    qint64 m_sourceKey = 0; // cacheKey() of the picture the view was copied from
    QRect m_frame;          // the frame whose outline the view carries
};
