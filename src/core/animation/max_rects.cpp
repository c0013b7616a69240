// SPDX-License-Identifier: GPL-3.0-or-later
// MaxRects bin packing.
#include "core/animation/max_rects.h"

#include <QRect>

#include <algorithm>
#include <climits>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// The free rectangles' fields, one array each.
struct Fields {
    const int *left, *top, *right, *bottom;
};

// Appends the numbers of the first n free rectangles that overlap area: few of them, so the scan
// over all is the cost, four at a time where the processor can.
void appendNear(const Fields &free, size_t n, const QRect &area, std::vector<uint32_t> &near)
{
    const int areaLeft = area.x(), areaTop = area.y();
    const int areaRight = area.x() + area.width(), areaBottom = area.y() + area.height();
    size_t i = 0;
#if defined(__SSE2__)
    // Apart when a rectangle starts after the area's last pixel or ends before its first.
    const __m128i lastX = _mm_set1_epi32(areaRight - 1), lastY = _mm_set1_epi32(areaBottom - 1);
    const __m128i firstX = _mm_set1_epi32(areaLeft + 1), firstY = _mm_set1_epi32(areaTop + 1);
    for (; i + 4 <= n; i += 4) {
        const auto load = [i](const int *field) {
            return _mm_loadu_si128(reinterpret_cast<const __m128i *>(field + i));
        };
        __m128i apart = _mm_cmpgt_epi32(load(free.left), lastX);
        apart = _mm_or_si128(apart, _mm_cmpgt_epi32(firstX, load(free.right)));
        apart = _mm_or_si128(apart, _mm_cmpgt_epi32(load(free.top), lastY));
        apart = _mm_or_si128(apart, _mm_cmpgt_epi32(firstY, load(free.bottom)));
        for (int mask = ~_mm_movemask_ps(_mm_castsi128_ps(apart)) & 15; mask != 0; mask &= mask - 1)
            near.push_back(uint32_t(i + size_t(__builtin_ctz(unsigned(mask)))));
    }
#endif
    for (; i < n; ++i)
        if ((free.left[i] < areaRight) & (areaLeft < free.right[i]) & (free.top[i] < areaBottom) &
            (areaTop < free.bottom[i]))
            near.push_back(uint32_t(i));
}

// Appends the numbers of the first n free rectangles that can hold size, in order: a tenth of
// them or fewer, so the scan over all is the cost, four at a time where the processor can.
void appendHolding(const Fields &free, size_t n, QSize size, std::vector<uint32_t> &found)
{
    size_t i = 0;
#if defined(__SSE2__)
    const __m128i narrower = _mm_set1_epi32(size.width()), lower = _mm_set1_epi32(size.height());
    for (; i + 4 <= n; i += 4) {
        const auto load = [i](const int *field) {
            return _mm_loadu_si128(reinterpret_cast<const __m128i *>(field + i));
        };
        const __m128i tooSmall = _mm_or_si128(
            _mm_cmpgt_epi32(narrower, _mm_sub_epi32(load(free.right), load(free.left))),
            _mm_cmpgt_epi32(lower, _mm_sub_epi32(load(free.bottom), load(free.top))));
        for (int mask = ~_mm_movemask_ps(_mm_castsi128_ps(tooSmall)) & 15; mask != 0;
             mask &= mask - 1)
            found.push_back(uint32_t(i + size_t(__builtin_ctz(unsigned(mask)))));
    }
#endif
    for (; i < n; ++i)
        if (free.right[i] - free.left[i] >= size.width() &&
            free.bottom[i] - free.top[i] >= size.height())
            found.push_back(uint32_t(i));
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
    m_found.clear();
    appendHolding({m_left.data(), m_top.data(), m_right.data(), m_bottom.data()}, m_left.size(),
                  size, m_found);
    uint64_t best = UINT64_MAX;
    size_t chosen = SIZE_MAX;
    for (const uint32_t i : m_found) {
        const uint64_t s = score(i, m_right[i] - m_left[i] - w, m_bottom[i] - m_top[i] - h);
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
    m_near.clear();
    appendNear({m_left.data(), m_top.data(), m_right.data(), m_bottom.data()}, m_left.size(),
               {used.x - 1, used.y - 1, used.w + 2, used.h + 2}, m_near);
    m_overlapping.clear();
    m_neighbours.clear();
    for (const uint32_t i : m_near) {
        const Box space = freeBox(i);
        if (space.x < used.right() && used.x < space.right() && space.y < used.bottom() &&
            used.y < space.bottom())
            m_overlapping.push_back(i);
        else
            m_neighbours.push_back(space);
    }
    for (std::vector<Box> &side : m_pieces)
        side.clear();
    for (const uint32_t i : m_overlapping) {
        const Box space = freeBox(i);
        if (used.x > space.x)
            m_pieces[0].push_back({space.x, space.y, used.x - space.x, space.h});
        if (used.right() < space.right())
            m_pieces[1].push_back({used.right(), space.y, space.right() - used.right(), space.h});
        if (used.y > space.y)
            m_pieces[2].push_back({space.x, space.y, space.w, used.y - space.y});
        if (used.bottom() < space.bottom())
            m_pieces[3].push_back(
                {space.x, used.bottom(), space.w, space.bottom() - used.bottom()});
    }
    for (size_t k = m_overlapping.size(); k-- > 0;)
        removeFree(m_overlapping[k]);
    for (const std::vector<Box> &side : m_pieces)
        keepMaximal(side);
}

// Adds the pieces of one side of the used rectangle that nothing else holds. A piece of another
// side cannot hold one of these: a left piece, say, starts left of every right piece, and reaches
// into the used rectangle's rows, above every bottom piece and below every top piece.
void MaxRectsBin::keepMaximal(const std::vector<Box> &pieces)
{
    const auto inside = [](const Box &a, const Box &b) {
        return a.x >= b.x && a.y >= b.y && a.right() <= b.right() && a.bottom() <= b.bottom();
    };
    for (size_t i = 0; i < pieces.size(); ++i) {
        const Box &piece = pieces[i];
        if (piece.w < m_smallestWidth || piece.h < m_smallestHeight)
            continue;
        bool covered = std::any_of(m_neighbours.begin(), m_neighbours.end(),
                                   [&](const Box &space) { return inside(piece, space); });
        // Of two equal pieces the first stays.
        for (size_t j = 0; j < pieces.size() && !covered; ++j)
            covered = j != i && inside(piece, pieces[j]) && (j < i || !inside(pieces[j], piece));
        if (!covered)
            addFree(piece);
    }
}
