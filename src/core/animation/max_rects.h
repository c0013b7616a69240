// SPDX-License-Identifier: GPL-3.0-or-later
// MaxRects bin packing: rectangles placed one at a time into a bin, each where a placement rule
// likes best among the bin's maximal free rectangles (which overlap), never turned.
#pragma once

#include <QPoint>
#include <QSize>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

// The usual rules: the free rectangle whose shorter (or longer) leftover side is least, the one
// with the least area left over, the placement whose bottom is highest (then leftmost), and the
// one whose edges touch the most of the bin's edges and the rectangles placed before.
enum class PlacementRule {
    BestShortSideFit,
    BestLongSideFit,
    BestAreaFit,
    BottomLeft,
    ContactPoint
};

class MaxRectsBin {
  public:
    explicit MaxRectsBin(QSize size);
    // The top-left corner of a rectangle of size placed by rule, or nothing when no free space
    // holds it (the bin is then unchanged). Ties go to the free rectangle found first.
    std::optional<QPoint> place(QSize size, PlacementRule rule);
    // No rectangle placed from now on is narrower or lower than smallest: free space that cannot
    // hold it is forgotten, which keeps the free rectangles few and the placing fast.
    void expectAtLeast(QSize smallest);
    // The width and height that the rectangles placed so far reach.
    QSize extent() const { return {m_reachRight, m_reachBottom}; }

  private:
    struct Box {
        int x, y, w, h;
        int right() const { return x + w; }
        int bottom() const { return y + h; }
    };
    Box freeBox(size_t i) const
    {
        return {m_left[i], m_top[i], m_right[i] - m_left[i], m_bottom[i] - m_top[i]};
    }
    void addFree(const Box &box);
    void removeFree(size_t i);
    template <typename Score> std::optional<QPoint> placeBy(QSize size, Score score);
    long long contactScore(const Box &box) const;
    void split(const Box &used);
    void keepMaximal(const std::vector<Box> &pieces);

    int m_width, m_height;
    // The free rectangles, each field in an array of its own: the scans over them, which are all
    // the cost of placing, then read memory straight through.
    std::vector<int> m_left, m_top, m_right, m_bottom;
    std::vector<Box> m_used; // kept for ContactPoint only
    // What a placing and a split look at, kept for their memory: the free rectangles that hold
    // the size, those near the used one and those it overlaps, the rest of the near ones, and the
    // pieces left of, right of, above and below the used one.
    std::vector<uint32_t> m_found, m_near, m_overlapping;
    std::vector<Box> m_neighbours;
    std::array<std::vector<Box>, 4> m_pieces;
    int m_reachRight = 0, m_reachBottom = 0;
    int m_smallestWidth = 1, m_smallestHeight = 1;
};
