// SPDX-License-Identifier: GPL-3.0-or-later
// Guessing the grid of a sprite sheet.
#include "core/sequence/grid_guess.h"

#include <QCoreApplication>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <tuple>

namespace {

// Where a stretch lies within the pitch: [start, end) measured from the last multiple of the
// pitch before it, so end may pass the pitch.
struct Arc {
    int64_t start;
    int64_t end;
};

// The widest opening on a circle of circumference pitch between the stretches laid on it (each
// at its start modulo the pitch), as {width, where the stretches after it begin}: a cell that
// begins there and ends where the opening begins holds every stretch at the same place within
// it. An opening of width 0 is two stretches that meet. Nothing when every point of the circle
// lies inside some stretch. The stretches are swept twice round, and openings taken on the
// second turn, so that a stretch that passes the end of the circle covers its beginning.
std::optional<std::pair<int64_t, int64_t>>
widestOpening(const std::vector<FilledStretch> &stretches, int64_t pitch)
{
    std::vector<Arc> arcs;
    arcs.reserve(stretches.size());
    for (const FilledStretch &s : stretches)
        arcs.push_back({s.start % pitch, s.start % pitch + (s.end - s.start)});
    std::sort(arcs.begin(), arcs.end(),
              [](const Arc &a, const Arc &b) { return a.start < b.start; });
    std::optional<std::pair<int64_t, int64_t>> widest;
    int64_t reach = arcs.front().end;
    const size_t n = arcs.size();
    for (size_t i = 1; i < 2 * n; ++i) {
        const int64_t turn = i < n ? 0 : pitch;
        const Arc arc{arcs[i % n].start + turn, arcs[i % n].end + turn};
        if (i >= n && arc.start >= reach && (!widest || arc.start - reach > widest->first))
            widest = std::pair(arc.start - reach, arc.start - pitch);
        reach = std::max(reach, arc.end);
    }
    return widest;
}

int64_t floorDivide(int64_t a, int64_t b)
{
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

// The cells of one pitch, with how far the stretches sit from their cells' middles (doubled, so
// as to stay whole); nothing when the pitch gives no cells that hold the stretches one each.
std::optional<std::pair<SideGrid, int64_t>> cellsAt(const std::vector<FilledStretch> &stretches,
                                                    int length, int pitch)
{
    const auto opening = widestOpening(stretches, pitch);
    if (!opening)
        return std::nullopt;
    const int64_t cell = pitch - opening->first, phase = opening->second;
    int64_t previous = INT64_MIN, offCentre = 0;
    for (const FilledStretch &s : stretches) {
        const int64_t index = floorDivide(s.start - phase, pitch);
        const int64_t cellStart = phase + index * pitch;
        if (index <= previous || s.end > cellStart + cell)
            return std::nullopt; // two stretches in one cell
        previous = index;
        offCentre += std::abs(int64_t(s.start) + s.end - (2 * cellStart + cell));
    }
    const int64_t first = floorDivide(stretches.front().start - phase, pitch);
    const int64_t count = previous - first + 1;
    const int64_t offset = phase + first * pitch;
    if (offset < 0 || offset + (count - 1) * pitch + cell > length ||
        count > 2 * int64_t(stretches.size()))
        return std::nullopt;
    return std::pair(SideGrid{int(offset), int(cell), int(pitch - cell), int(count)}, offCentre);
}

// The stretches of true in filled.
std::vector<FilledStretch> stretchesOf(const std::vector<bool> &filled)
{
    std::vector<FilledStretch> stretches;
    for (int i = 0; i < int(filled.size());) {
        if (!filled[size_t(i)]) {
            ++i;
            continue;
        }
        const int start = i;
        while (i < int(filled.size()) && filled[size_t(i)])
            ++i;
        stretches.push_back({start, i});
    }
    return stretches;
}

} // namespace

std::optional<SideGrid> GuessSideGrid(const std::vector<FilledStretch> &stretches, int length)
{
    if (stretches.empty())
        return std::nullopt;
    if (stretches.size() == 1)
        return SideGrid{stretches[0].start, stretches[0].end - stretches[0].start, 0, 1};
    int widest = 0;
    for (const FilledStretch &s : stretches)
        widest = std::max(widest, s.end - s.start);
    // A longer pitch would put every stretch in one cell, or leave too little room for a cell
    // each: (n - 1) pitches and a cell fit in the length.
    const int longest = std::min(stretches.back().end - stretches.front().start,
                                 length / int(stretches.size() - 1));
    std::optional<std::pair<SideGrid, int64_t>> best;
    int bestPitch = 0;
    for (int pitch = std::max(widest, 1); pitch <= longest; ++pitch) {
        const auto cells = cellsAt(stretches, length, pitch);
        // Narrowest cell, then most nearly centred, then the longest pitch (fewest empty cells).
        if (cells && (!best || std::tuple(cells->first.cell, cells->second, -pitch) <
                                   std::tuple(best->first.cell, best->second, -bestPitch))) {
            best = cells;
            bestPitch = pitch;
        }
    }
    if (!best)
        return std::nullopt;
    return best->first;
}

std::optional<GridGuess> GuessGrid(const QImage &picture, const SpriteBackground &background)
{
    const std::vector<std::vector<ForegroundSpan>> spans = ForegroundSpans(picture, background);
    std::vector<bool> filledRows(spans.size()), filledColumns(size_t(picture.width()));
    std::vector<int> columnEdges(size_t(picture.width()) + 1, 0); // +1 at a span's left, -1 after
    for (size_t y = 0; y < spans.size(); ++y) {
        filledRows[y] = !spans[y].empty();
        for (const ForegroundSpan &span : spans[y]) {
            ++columnEdges[size_t(span.left)];
            --columnEdges[size_t(span.right)];
        }
    }
    for (int x = 0, inside = 0; x < picture.width(); ++x) {
        inside += columnEdges[size_t(x)];
        filledColumns[size_t(x)] = inside > 0;
    }
    const auto across = GuessSideGrid(stretchesOf(filledColumns), picture.width());
    const auto down = GuessSideGrid(stretchesOf(filledRows), picture.height());
    if (!across || !down || int64_t(across->count) * down->count < 2)
        return std::nullopt;
    return GridGuess{{across->cell, down->cell},
                     {across->offset, down->offset},
                     {across->gap, down->gap},
                     across->count,
                     down->count};
}

QString NoRegularGridText()
{
    return QCoreApplication::translate("Sprites", "規則的な格子が見つかりません");
}
