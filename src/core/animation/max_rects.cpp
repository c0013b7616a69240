// SPDX-License-Identifier: GPL-3.0-or-later
// MaxRects bin packing.
#include "core/animation/max_rects.h"

#include <algorithm>
#include <climits>
#include <cstdint>

namespace {

// The length two stretches [a, a + m) and [b, b + n) share.
long long shared(int a, int m, int b, int n)
{
    return std::max(0, std::min(a + m, b + n) - std::max(a, b));
}

// A placement's score as one number, less is better: the rule's first measure, then its second.
// Both are below 2^31 (sides and areas of a picture within the 1 GiB limit).
uint64_t scoreOf(long long first, long long second)
{
    return (uint64_t(first) << 32) | uint64_t(second);
}

} // namespace

MaxRectsBin::MaxRectsBin(QSize size) : m_width(size.width()), m_height(size.height())
{
    if (!size.isEmpty())
        addFree({0, 0, size.width(), size.height()});
}

void MaxRectsBin::addFree(const Box &box)
{
    m_left.push_back(box.x);
    m_top.push_back(box.y);
    m_right.push_back(box.right());
    m_bottom.push_back(box.bottom());
}

void MaxRectsBin::removeFree(size_t i)
{
    for (std::vector<int> *field : {&m_left, &m_top, &m_right, &m_bottom}) {
        (*field)[i] = field->back();
        field->pop_back();
    }
}

void MaxRectsBin::expectAtLeast(QSize smallest)
{
    if (smallest.width() <= m_smallestWidth && smallest.height() <= m_smallestHeight)
        return;
    m_smallestWidth = std::max(m_smallestWidth, smallest.width());
    m_smallestHeight = std::max(m_smallestHeight, smallest.height());
    for (size_t i = m_left.size(); i-- > 0;)
        if (m_right[i] - m_left[i] < m_smallestWidth || m_bottom[i] - m_top[i] < m_smallestHeight)
            removeFree(i);
}

long long MaxRectsBin::contactScore(const Box &box) const
{
    long long score = 0;
    if (box.x == 0 || box.right() == m_width)
        score += box.h;
    if (box.y == 0 || box.bottom() == m_height)
        score += box.w;
    for (const Box &used : m_used) {
        if (used.x == box.right() || used.right() == box.x)
            score += shared(used.y, used.h, box.y, box.h);
        if (used.y == box.bottom() || used.bottom() == box.y)
            score += shared(used.x, used.w, box.x, box.w);
    }
    return score;
}

// The free rectangle of least score(i, leftover across, leftover down) that holds size. The
// loop is free of unpredictable branches: a rectangle that does not hold size scores the most.
template <typename Score> std::optional<QPoint> MaxRectsBin::placeBy(QSize size, Score score)
{
    const int w = size.width(), h = size.height();
    uint64_t best = UINT64_MAX;
    size_t chosen = SIZE_MAX;
    const int *left = m_left.data(), *top = m_top.data(), *right = m_right.data(),
              *bottom = m_bottom.data();
    for (size_t i = 0, n = m_left.size(); i < n; ++i) {
        const int across = right[i] - left[i] - w, down = bottom[i] - top[i] - h;
        const uint64_t s = (across | down) < 0 ? UINT64_MAX : score(i, across, down);
        if (s < best) {
            best = s;
            chosen = i;
        }
    }
    if (chosen == SIZE_MAX)
        return std::nullopt;
    const Box used{m_left[chosen], m_top[chosen], w, h};
    split(used);
    m_used.push_back(used);
    m_reachRight = std::max(m_reachRight, used.right());
    m_reachBottom = std::max(m_reachBottom, used.bottom());
    return QPoint(used.x, used.y);
}

std::optional<QPoint> MaxRectsBin::place(QSize size, PlacementRule rule)
{
    const long long area = (long long)size.width() * size.height();
    switch (rule) {
    case PlacementRule::BestShortSideFit:
        return placeBy(size, [](size_t, int across, int down) {
            return scoreOf(std::min(across, down), std::max(across, down));
        });
    case PlacementRule::BestLongSideFit:
        return placeBy(size, [](size_t, int across, int down) {
            return scoreOf(std::max(across, down), std::min(across, down));
        });
    case PlacementRule::BestAreaFit:
        return placeBy(size, [&](size_t i, int across, int down) {
            const long long space = (long long)(m_right[i] - m_left[i]) * (m_bottom[i] - m_top[i]);
            return scoreOf(space - area, std::min(across, down));
        });
    case PlacementRule::BottomLeft:
        return placeBy(
            size, [&](size_t i, int, int) { return scoreOf(m_top[i] + size.height(), m_left[i]); });
    case PlacementRule::ContactPoint:
        return placeBy(size, [&](size_t i, int, int) {
            const Box box{m_left[i], m_top[i], size.width(), size.height()};
            return scoreOf(LLONG_MAX / 4 / (1LL << 32) - contactScore(box), 0);
        });
    }
    return std::nullopt;
}

// Every free rectangle that the used one overlaps gives way to the up to four maximal pieces of
// it that lie beside the used one. The free rectangles were none inside another before; a piece
// lies inside the rectangle it came from, so it can hold no other, and only the pieces need
// checking, against each other and against the free rectangles that could hold one: each piece
// has a pixel right beside the used rectangle, so those are the ones that reach within a pixel
// of it without overlapping it.
void MaxRectsBin::split(const Box &used)
{
    // The free rectangles within a pixel of the used one: few, so the one branch costs nothing.
    std::vector<uint32_t> near;
    const int *left = m_left.data(), *top = m_top.data(), *right = m_right.data(),
              *bottom = m_bottom.data();
    const int usedRight = used.right(), usedBottom = used.bottom();
    for (size_t i = 0, n = m_left.size(); i < n; ++i)
        if ((left[i] <= usedRight) & (used.x <= right[i]) & (top[i] <= usedBottom) &
            (used.y <= bottom[i]))
            near.push_back(uint32_t(i));
    std::vector<size_t> overlapping; // in increasing order
    std::vector<Box> neighbours;
    for (const uint32_t i : near) {
        const Box space = freeBox(i);
        if (space.x < usedRight && used.x < space.right() && space.y < usedBottom &&
            used.y < space.bottom())
            overlapping.push_back(i);
        else
            neighbours.push_back(space);
    }
    std::vector<Box> pieces;
    for (const size_t i : overlapping) {
        const Box space = freeBox(i);
        if (used.x > space.x)
            pieces.push_back({space.x, space.y, used.x - space.x, space.h});
        if (used.right() < space.right())
            pieces.push_back({used.right(), space.y, space.right() - used.right(), space.h});
        if (used.y > space.y)
            pieces.push_back({space.x, space.y, space.w, used.y - space.y});
        if (used.bottom() < space.bottom())
            pieces.push_back({space.x, used.bottom(), space.w, space.bottom() - used.bottom()});
    }
    for (size_t k = overlapping.size(); k-- > 0;)
        removeFree(overlapping[k]);
    const auto inside = [](const Box &a, const Box &b) {
        return a.x >= b.x && a.y >= b.y && a.right() <= b.right() && a.bottom() <= b.bottom();
    };
    for (size_t i = 0; i < pieces.size(); ++i) {
        const Box &piece = pieces[i];
        if (piece.w < m_smallestWidth || piece.h < m_smallestHeight)
            continue;
        bool covered = std::any_of(neighbours.begin(), neighbours.end(),
                                   [&](const Box &space) { return inside(piece, space); });
        // Of two equal pieces the first stays.
        for (size_t j = 0; j < pieces.size() && !covered; ++j)
            covered = j != i && inside(piece, pieces[j]) && (j < i || !inside(pieces[j], piece));
        if (!covered)
            addFree(piece);
    }
}
