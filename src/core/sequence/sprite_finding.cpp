// SPDX-License-Identifier: GPL-3.0-or-later
// Finding the sprites of a sheet: groups of spans, their boxes joined, specks, reading order.
#include "core/sequence/sprite_finding.h"

#include <QCoreApplication>

#include <algorithm>
#include <cstdint>
#include <numeric>

namespace {

// Sets of items joined by pairs; each set is named by its smallest item.
class Groups {
  public:
    explicit Groups(size_t count) : m_parent(count)
    {
        std::iota(m_parent.begin(), m_parent.end(), 0);
    }
    int find(int i)
    {
        while (m_parent[size_t(i)] != i) {
            m_parent[size_t(i)] = m_parent[size_t(m_parent[size_t(i)])]; // halves the path
            i = m_parent[size_t(i)];
        }
        return i;
    }
    bool join(int a, int b)
    {
        a = find(a);
        b = find(b);
        if (a == b)
            return false;
        m_parent[size_t(std::max(a, b))] = std::min(a, b);
        return true;
    }

  private:
    std::vector<int> m_parent;
};

// Joins each span of row `below` with the spans of row `above` that it touches: overlapping, or
// meeting at a corner (8-connected). Spans of a row are apart by a pixel at least, so once one of
// two spans ends before the other, it can touch nothing further on.
void joinRows(const std::vector<ForegroundSpan> &above, int aboveFirst,
              const std::vector<ForegroundSpan> &below, int belowFirst, Groups &groups)
{
    size_t i = 0, j = 0;
    while (i < above.size() && j < below.size()) {
        const ForegroundSpan &a = above[i], &b = below[j];
        if (a.left <= b.right && b.left <= a.right)
            groups.join(aboveFirst + int(i), belowFirst + int(j));
        if (a.right < b.right)
            ++i;
        else
            ++j;
    }
}

// The gap between two boxes: the larger of the columns and rows of pixels between them.
int64_t gapBetween(const QRect &a, const QRect &b)
{
    const int64_t across = std::max<int64_t>({0, int64_t(b.x()) - (int64_t(a.x()) + a.width()),
                                              int64_t(a.x()) - (int64_t(b.x()) + b.width())});
    const int64_t down = std::max<int64_t>({0, int64_t(b.y()) - (int64_t(a.y()) + a.height()),
                                            int64_t(a.y()) - (int64_t(b.y()) + b.height())});
    return std::max(across, down);
}

// One pass of joining: every pair closer than distance, found by a sweep over the boxes by their
// left edges. False when no pair was.
bool joinOnce(std::vector<QRect> &boxes, int distance)
{
    std::vector<int> byLeft(boxes.size());
    std::iota(byLeft.begin(), byLeft.end(), 0);
    std::stable_sort(byLeft.begin(), byLeft.end(),
                     [&](int a, int b) { return boxes[size_t(a)].x() < boxes[size_t(b)].x(); });
    Groups groups(boxes.size());
    bool joined = false;
    for (size_t i = 0; i < byLeft.size(); ++i) {
        const QRect &a = boxes[size_t(byLeft[i])];
        const int64_t reach = int64_t(a.x()) + a.width() + distance;
        for (size_t j = i + 1; j < byLeft.size() && boxes[size_t(byLeft[j])].x() < reach; ++j)
            if (gapBetween(a, boxes[size_t(byLeft[j])]) < distance)
                joined |= groups.join(byLeft[i], byLeft[j]);
    }
    if (!joined)
        return false;
    std::vector<QRect> merged;
    std::vector<int> mergedAt(boxes.size(), -1);
    for (int i = 0; i < int(boxes.size()); ++i) {
        const int root = groups.find(i);
        if (mergedAt[size_t(root)] < 0) {
            mergedAt[size_t(root)] = int(merged.size());
            merged.push_back(boxes[size_t(i)]);
        } else {
            QRect &box = merged[size_t(mergedAt[size_t(root)])];
            box = box.united(boxes[size_t(i)]);
        }
    }
    boxes = std::move(merged);
    return true;
}

bool overlapsVertically(const QRect &a, const QRect &b)
{
    return a.y() < b.y() + b.height() && b.y() < a.y() + a.height();
}

} // namespace

std::vector<QRect> ForegroundBoxes(const std::vector<std::vector<ForegroundSpan>> &rows)
{
    std::vector<int> first(rows.size() + 1, 0); // the number of row y's first span
    for (size_t y = 0; y < rows.size(); ++y)
        first[y + 1] = first[y] + int(rows[y].size());
    Groups groups(size_t(first.back()));
    for (size_t y = 1; y < rows.size(); ++y)
        joinRows(rows[y - 1], first[y - 1], rows[y], first[y], groups);

    std::vector<QRect> boxes;
    std::vector<int> boxOf(size_t(first.back()), -1);
    for (size_t y = 0; y < rows.size(); ++y) {
        for (size_t i = 0; i < rows[y].size(); ++i) {
            const ForegroundSpan &span = rows[y][i];
            const QRect piece(span.left, int(y), span.right - span.left, 1);
            // A group's first span is its smallest number, the name of its set.
            const int root = groups.find(first[y] + int(i));
            if (boxOf[size_t(root)] < 0) {
                boxOf[size_t(root)] = int(boxes.size());
                boxes.push_back(piece);
            } else {
                QRect &box = boxes[size_t(boxOf[size_t(root)])];
                box = box.united(piece);
            }
        }
    }
    return boxes;
}

std::vector<QRect> JoinNearBoxes(std::vector<QRect> boxes, int distance)
{
    if (distance > 0)
        while (joinOnce(boxes, std::min(distance, kMaxMergeDistance))) {
        }
    return boxes;
}

std::vector<QRect> InReadingOrder(std::vector<QRect> boxes)
{
    std::stable_sort(boxes.begin(), boxes.end(), [](const QRect &a, const QRect &b) {
        return a.y() != b.y() ? a.y() < b.y() : a.x() < b.x();
    });
    std::vector<std::vector<QRect>> rows; // each row's first box leads it
    // The rows whose leader reaches below the box taken: the boxes come by their tops, so a row
    // whose leader ends above one ends above all that follow, and is closed for good.
    std::vector<size_t> open;
    for (const QRect &box : boxes) {
        std::erase_if(open, [&](size_t r) { return rows[r].front().bottom() < box.top(); });
        const auto row = std::find_if(open.begin(), open.end(), [&](size_t r) {
            return overlapsVertically(rows[r].front(), box);
        });
        if (row == open.end()) {
            open.push_back(rows.size());
            rows.push_back({box});
        } else {
            rows[*row].push_back(box);
        }
    }
    std::vector<QRect> ordered;
    ordered.reserve(boxes.size());
    for (std::vector<QRect> &row : rows) {
        std::stable_sort(row.begin(), row.end(),
                         [](const QRect &a, const QRect &b) { return a.x() < b.x(); });
        ordered.insert(ordered.end(), row.begin(), row.end());
    }
    return ordered;
}

std::vector<QRect> FindSprites(const QImage &picture, const SpriteSearch &search)
{
    std::vector<QRect> boxes = JoinNearBoxes(
        ForegroundBoxes(ForegroundSpans(picture, search.background)), search.mergeDistance);
    std::erase_if(boxes, [&](const QRect &box) {
        return int64_t(box.width()) * box.height() < int64_t(search.minArea);
    });
    return InReadingOrder(std::move(boxes));
}

QString NoSpritesText()
{
    return QCoreApplication::translate("Sprites", "スプライトが見つかりません");
}
