// SPDX-License-Identifier: GPL-3.0-or-later
// The picture as the canvas shows it at any zoom: its own pixels at 100 %, sharp squares above,
// box averages below (see zoom.h for which picture pixels each view pixel shows).
#pragma once

#include "core/workspace/zoom.h"

#include <QHash>
#include <QImage>
#include <QRect>

// The view pixels of a rectangle of the view, in the view's format (ViewFormatOf). From 100 % up a
// part costs what it shows (a screenful at any zoom). Below 100 % a view pixel reads a box of
// picture pixels, up to 16 x 16: the reduced view is kept in tiles once computed, so a drag that
// repaints the frame's lines reads the picture again for none of them; a new picture or zoom starts
// the tiles afresh.
class ZoomedView {
  public:
    // The part rect of the view of work at zoom, clipped to the view (ViewSize). rect empty or
    // outside the view gives a null picture.
    QImage part(const QImage &work, Zoom zoom, const QRect &rect);

    // Forgets the kept tiles.
    void invalidate();

  private:
    const QImage &tile(const QImage &work, Zoom zoom, QPoint index);

    qint64 m_sourceKey = 0; // cacheKey() of the picture the tiles were reduced from
    Zoom m_zoom;
    QHash<quint64, QImage> m_tiles; // by (column << 32 | row) of kTileSize tiles
};

// The format of the view of work: 24-bit, or for a picture with alpha premultiplied 32-bit, for
// the canvas to draw over its checkerboard.
QImage::Format ViewFormatOf(const QImage &work);

// The nearest-neighbour view of work's pixels in rect (view pixels) at zoom, for any zoom; below
// 100 % each view pixel takes the first pixel of its box. In the view's format.
QImage SampledViewPart(const QImage &work, Zoom zoom, const QRect &rect);
// The box-averaged view of work's pixels in rect at zoom, for a zoom below 100 %: each channel the
// mean of the box, rounded to nearest with halves up. In the view's format; with alpha, the means
// of the premultiplied channels.
QImage AveragedViewPart(const QImage &work, Zoom zoom, const QRect &rect);
