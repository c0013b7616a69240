// SPDX-License-Identifier: GPL-3.0-or-later
// Continuous cutting: the frame moved step by step, one file per position.
#include "core/sequence/continuous_cut.h"

#include "core/base/atomic_file.h"
#include "core/base/file_names.h"
#include "core/image/alpha.h"
#include "core/image/picture.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

int WholeSteps(const Workspace &ws)
{
    if (ws.FrameStep <= 0)
        return 0;
    // 64-bit so that no sum of positions and sizes can overflow.
    int64_t room = 0;
    switch (ws.FrameDirection) {
    case Direction::Right:
        room = int64_t(ws.CanvasWidth) - (int64_t(ws.FrameX) + ws.CutWidth);
        break;
    case Direction::Left: room = ws.FrameX; break;
    case Direction::Down:
        room = int64_t(ws.CanvasHeight) - (int64_t(ws.FrameY) + ws.CutHeight);
        break;
    case Direction::Up: room = ws.FrameY; break;
    case Direction::Grid: return 0;
    }
    if (room <= 0)
        return 0;
    // Whole steps: integer division truncates, and room is positive here.
    return int(std::min<int64_t>(room / ws.FrameStep, std::numeric_limits<int>::max() - 1));
}

namespace {

// Whether every pixel of rect (inside the picture) has the colour of its first one.
bool singleColour(const QImage &picture, const QRect &rect)
{
    const bool direct = picture.format() == kPictureFormat;
    const QImage pixels = direct ? picture : To24Bit(picture.copy(rect));
    const QPoint origin = direct ? rect.topLeft() : QPoint(0, 0);
    const uchar *first = pixels.constScanLine(origin.y()) + 3 * origin.x();
    for (int y = 0; y < rect.height(); ++y) {
        const uchar *row = pixels.constScanLine(origin.y() + y) + 3 * origin.x();
        for (int x = 0; x < rect.width(); ++x)
            if (std::memcmp(row + 3 * x, first, 3) != 0)
                return false;
    }
    return true;
}

// The grid of whole tiles that starts at start: one tile there, then one per whole pitch of the
// room left after it.
GridTiles gridFrom(const Workspace &ws, QPoint start)
{
    if (ws.CutWidth < 1 || ws.CutHeight < 1 || start.x() < 0 || start.y() < 0)
        return {};
    const auto count = [](int64_t canvas, int64_t at, int64_t cut, int64_t gap) {
        const int64_t room = canvas - (at + cut);
        return room < 0 ? 0
                        : int(std::min<int64_t>(room / (cut + std::max<int64_t>(gap, 0)) + 1,
                                                std::numeric_limits<int>::max()));
    };
    return {count(ws.CanvasWidth, start.x(), ws.CutWidth, ws.GridGapX),
            count(ws.CanvasHeight, start.y(), ws.CutHeight, ws.GridGapY)};
}

// The place of tile (column, row) of the grid that starts where the frame stands.
QPoint gridTile(const Workspace &ws, QPoint start, int64_t column, int64_t row)
{
    const int64_t pitchX = int64_t(ws.CutWidth) + std::max(ws.GridGapX, 0);
    const int64_t pitchY = int64_t(ws.CutHeight) + std::max(ws.GridGapY, 0);
    return {int(start.x() + column * pitchX), int(start.y() + row * pitchY)};
}

// Calls visit(position) for each tile of the grid that is written, in reading order.
template <typename Visit> void forEachWrittenTile(const Workspace &ws, Visit visit)
{
    const GridTiles grid = GridOf(ws);
    const QPoint start(ws.FrameX, ws.FrameY);
    for (int row = 0; row < grid.rows; ++row)
        for (int column = 0; column < grid.columns; ++column) {
            const QPoint at = gridTile(ws, start, column, row);
            if (!ws.SkipEmptyTiles ||
                !singleColour(ws.WorkImage, QRect(at, QSize(ws.CutWidth, ws.CutHeight))))
                visit(at);
        }
}

// Puts the frame position and the cut back when a run ends, however it ends, so that the next
// save starts from the same place. Holding the start cut costs one copy of the cut per run: the
// first FillCutImage of the run detaches CutImage from it, later ones write in place.
class WorkspaceRestorer {
  public:
    explicit WorkspaceRestorer(Workspace &ws)
        : m_ws(ws), m_x(ws.FrameX), m_y(ws.FrameY), m_cut(ws.CutImage)
    {
    }
    ~WorkspaceRestorer()
    {
        m_ws.FrameX = m_x;
        m_ws.FrameY = m_y;
        m_ws.CutImage = m_cut;
    }
    WorkspaceRestorer(const WorkspaceRestorer &) = delete;
    WorkspaceRestorer &operator=(const WorkspaceRestorer &) = delete;

  private:
    Workspace &m_ws;
    int32_t m_x;
    int32_t m_y;
    QImage m_cut;
};

// The kept tiles of a grid that skips single-colour ones, in reading order: frame k is the k-th
// of them, which only a walk over the grid can tell. Empty for every other run, whose frames are
// placed by arithmetic.
std::vector<QPoint> keptTiles(const Workspace &ws)
{
    std::vector<QPoint> tiles;
    if (ws.FrameDirection == Direction::Grid && ws.SkipEmptyTiles)
        forEachWrittenTile(ws, [&tiles](QPoint at) { tiles.push_back(at); });
    return tiles;
}

// Puts the frame of a run that started at start where its frame k lies.
void placeFrame(Workspace &ws, QPoint start, const std::vector<QPoint> &tiles, int k)
{
    if (tiles.empty()) {
        PlaceContinuousFrame(ws, start, k);
    } else {
        ws.FrameX = tiles[size_t(k - 1)].x();
        ws.FrameY = tiles[size_t(k - 1)].y();
    }
}

class ContinuousFrames : public FrameRun {
  public:
    ContinuousFrames(const Workspace &ws, bool keepAlpha)
        : m_ws(ws), m_start(ws.FrameX, ws.FrameY), m_alpha(keepAlpha && HasAlpha(ws.WorkImage)),
          m_tiles(keptTiles(ws)),
          m_count(m_tiles.empty() ? ContinuousFrameCount(ws) : int(m_tiles.size()))
    {
    }
    int count() const override { return m_count; }
    QSize frameSize() const override { return {m_ws.CutWidth, m_ws.CutHeight}; }
    bool hasAlpha() const override { return m_alpha; }
    const QImage &frame(int k) override
    {
        placeFrame(m_ws, m_start, m_tiles, k);
        if (!m_alpha) {
            FillCutImage(m_ws);
            return m_ws.CutImage;
        }
        CopyWithAlpha(m_ws.WorkImage,
                      QRect(m_ws.FrameX, m_ws.FrameY, m_ws.CutWidth, m_ws.CutHeight), m_cut);
        return m_cut;
    }

  private:
    Workspace m_ws;
    QPoint m_start;
    bool m_alpha;
    std::vector<QPoint> m_tiles; // see keptTiles
    int m_count;
    QImage m_cut; // the frame with its alpha
};

} // namespace

GridTiles GridOf(const Workspace &ws)
{
    return gridFrom(ws, QPoint(ws.FrameX, ws.FrameY));
}

int ContinuousFrameCount(const Workspace &ws)
{
    if (ws.FrameDirection != Direction::Grid)
        return WholeSteps(ws) + 1;
    if (!ws.SkipEmptyTiles) {
        const GridTiles grid = GridOf(ws);
        return int(
            std::min<int64_t>(int64_t(grid.columns) * grid.rows, std::numeric_limits<int>::max()));
    }
    int count = 0;
    forEachWrittenTile(ws, [&count](QPoint) { ++count; });
    return count;
}

void PlaceContinuousFrame(Workspace &ws, QPoint start, int k)
{
    if (ws.FrameDirection == Direction::Grid) {
        // Reading order over every tile; a grid that skips tiles is placed by ContinuousRun.
        // The grid is that of the run's start: ws's frame already stands on an earlier tile.
        const int columns = std::max(gridFrom(ws, start).columns, 1);
        const QPoint at = gridTile(ws, start, (k - 1) % columns, (k - 1) / columns);
        ws.FrameX = at.x();
        ws.FrameY = at.y();
        return;
    }
    // Positions stay inside the canvas for every k of the run, so the products cannot overflow.
    const int moved = (k - 1) * ws.FrameStep;
    ws.FrameX = start.x();
    ws.FrameY = start.y();
    switch (ws.FrameDirection) {
    case Direction::Right: ws.FrameX += moved; break;
    case Direction::Left: ws.FrameX -= moved; break;
    case Direction::Down: ws.FrameY += moved; break;
    case Direction::Up: ws.FrameY -= moved; break;
    case Direction::Grid: break;
    }
}

std::unique_ptr<FrameRun> ContinuousRun(const Workspace &ws, bool keepAlpha)
{
    return std::make_unique<ContinuousFrames>(ws, keepAlpha);
}

void WriteContinuousFrames(Workspace &ws, const QString &chosenPath, const FrameWriter &write,
                           const FrameProgress &progress)
{
    const WorkspaceRestorer restore(ws);
    RemoveStaleTemporaryFiles(FolderOfPath(FrameFileName(chosenPath, 1)));
    const QPoint start(ws.FrameX, ws.FrameY);
    const std::vector<QPoint> tiles = keptTiles(ws);
    const int count = tiles.empty() ? ContinuousFrameCount(ws) : int(tiles.size());
    for (int k = 1; k <= count; ++k) {
        placeFrame(ws, start, tiles, k);
        FillCutImage(ws);
        write(FrameFileName(chosenPath, k), ws.CutImage);
        if (progress)
            progress(k, count);
    }
}
