// SPDX-License-Identifier: GPL-3.0-or-later
// The cut frame and its clamp.
#include "core/workspace/cut_frame.h"

#include <algorithm>
#include <cstdint>

namespace {

// A side of the cut: at least 1, and at most the picture's side when there is a picture. Sizes
// come from set.ini, data.dat and the command line, so any 32-bit value arrives here.
int keptSide(int side, int pictureSide)
{
    side = std::max(side, 1);
    return pictureSide > 0 ? std::min(side, pictureSide) : side;
}

// A position on one axis: within 0 .. picture - cut, worked out in 64 bits so that no step or
// sum of 32-bit values can wrap around.
int keptPosition(int64_t position, int pictureSide, int cutSide)
{
    return int(
        std::clamp<int64_t>(position, 0, std::max<int64_t>(int64_t(pictureSide) - cutSide, 0)));
}

// 64-bit, then clamped: a step past the edge must stop there, not wrap around.
int64_t moved(int at, int direction, int step)
{
    return int64_t(at) + int64_t(direction) * step;
}

} // namespace

CutFrame::CutFrame(QSize size) : m_size(keptSide(size.width(), 0), keptSide(size.height(), 0)) {}

CutFrame::CutFrame(QSize pictureSize, QSize size, QPoint position)
    : m_picture(pictureSize), m_size(size), m_position(position)
{
    keepInside();
}

QPoint CutFrame::lastPosition() const
{
    if (!hasPicture())
        return {};
    return {m_picture.width() - m_size.width(), m_picture.height() - m_size.height()};
}

void CutFrame::setPictureSize(QSize pictureSize)
{
    m_picture = pictureSize.isEmpty() ? QSize() : pictureSize;
    keepInside();
}

void CutFrame::setSize(QSize size)
{
    m_size = size;
    keepInside();
}

void CutFrame::moveTo(QPoint position)
{
    m_position = position;
    keepInside();
}

void CutFrame::nudge(int dx, int dy, NudgeSize size)
{
    const auto stepOf = [size](int cutSide) {
        switch (size) {
        case NudgeSize::Pixel: return 1;
        case NudgeSize::TenPixels: return 10;
        case NudgeSize::Tile: return cutSide;
        }
        return 1;
    };
    if (!hasPicture())
        return;
    m_position = {keptPosition(moved(m_position.x(), dx, stepOf(m_size.width())), m_picture.width(),
                               m_size.width()),
                  keptPosition(moved(m_position.y(), dy, stepOf(m_size.height())),
                               m_picture.height(), m_size.height())};
}

void CutFrame::keepInside()
{
    m_size = {keptSide(m_size.width(), m_picture.width()),
              keptSide(m_size.height(), m_picture.height())};
    if (!hasPicture()) {
        m_position = {};
        return;
    }
    m_position = {keptPosition(m_position.x(), m_picture.width(), m_size.width()),
                  keptPosition(m_position.y(), m_picture.height(), m_size.height())};
}
