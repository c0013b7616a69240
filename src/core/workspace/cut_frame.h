// SPDX-License-Identifier: GPL-3.0-or-later
// The cut frame: the rectangle of the picture that is cut, its position and its size together.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

// How far a key moves the frame: one picture pixel, ten, or one cut width or height (the next
// tile).
enum class NudgeSize { Pixel, TenPixels, Tile };

// A value that keeps itself inside the picture: every setter leaves each side of the cut at least
// 1 and at most the picture's, and the position within 0 .. picture - cut, so the frame may touch
// the right and bottom edges (a 100 x 50 cut on 300 x 200 goes no further than (200, 150)). Any
// 32-bit value is taken without overflow. This is the only code that clamps the frame: a drag, a
// key, a typed position, an edit, undo and the command line's --at all go through it.
//
// Before the first picture there is nothing to keep it inside: the size is kept as chosen, for the
// first picture to lower, and the frame stands at (0, 0).
class CutFrame {
  public:
    CutFrame() = default;
    // A frame of size with no picture yet.
    explicit CutFrame(QSize size);
    // A frame of size at position on a picture of pictureSize, kept inside it.
    CutFrame(QSize pictureSize, QSize size, QPoint position = {});

    bool hasPicture() const { return !m_picture.isEmpty(); }
    QSize pictureSize() const { return m_picture; }
    QSize size() const { return m_size; }
    QPoint position() const { return m_position; }
    QRect rect() const { return {m_position, m_size}; }
    // The largest position: the frame touching the picture's right and bottom edges.
    QPoint lastPosition() const;

    // Puts the frame on a picture of that size (a new picture, or the current one after an edit
    // changed its size): the size is lowered to it where larger, the position brought inside. An
    // empty size takes the picture away.
    void setPictureSize(QSize pictureSize);
    // A new cut size, lowered to the picture; the position is brought inside.
    void setSize(QSize size);
    // The frame's top-left corner at position, brought inside the picture.
    void moveTo(QPoint position);
    // Moves the frame by dx and dy (each -1, 0 or 1) steps of size, stopping at the edges.
    void nudge(int dx, int dy, NudgeSize size);

    bool operator==(const CutFrame &) const = default;

  private:
    void keepInside();

    QSize m_picture; // empty: no picture yet
    QSize m_size{1, 1};
    QPoint m_position;
};
