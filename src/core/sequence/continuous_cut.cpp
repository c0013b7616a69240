// Continuous cutting: the frame moved step by step, one file per position.
#include "core/sequence/continuous_cut.h"

#include "core/image/picture.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>

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

void moveFrame(Workspace &ws)
{
    switch (ws.FrameDirection) {
    case Direction::Right: ws.FrameX += ws.FrameStep; break;
    case Direction::Left: ws.FrameX -= ws.FrameStep; break;
    case Direction::Down: ws.FrameY += ws.FrameStep; break;
    case Direction::Up: ws.FrameY -= ws.FrameStep; break;
    case Direction::Grid: break; // the grid places each tile itself
    }
}

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

// Calls visit(position) for each tile of the grid that is written, in reading order.
template <typename Visit> void forEachWrittenTile(const Workspace &ws, Visit visit)
{
    const GridTiles grid = GridOf(ws);
    const int64_t pitchX = int64_t(ws.CutWidth) + std::max(ws.GridGapX, 0);
    const int64_t pitchY = int64_t(ws.CutHeight) + std::max(ws.GridGapY, 0);
    for (int row = 0; row < grid.rows; ++row)
        for (int column = 0; column < grid.columns; ++column) {
            const QPoint at(int(ws.FrameX + column * pitchX), int(ws.FrameY + row * pitchY));
            if (!ws.SkipEmptyTiles ||
                !singleColour(ws.WorkImage, QRect(at, QSize(ws.CutWidth, ws.CutHeight))))
                visit(at);
        }
}

void writeGridFrames(Workspace &ws, const QString &chosenPath, const FrameWriter &write,
                     const FrameProgress &progress)
{
    const int count = ContinuousFrameCount(ws);
    int k = 0;
    forEachWrittenTile(Workspace(ws), [&](QPoint at) { // a copy: the loop moves the frame
        ws.FrameX = at.x();
        ws.FrameY = at.y();
        FillCutImage(ws);
        write(FrameFileName(chosenPath, ++k), ws.CutImage);
        if (progress)
            progress(k, count);
    });
}

} // namespace

GridTiles GridOf(const Workspace &ws)
{
    if (ws.CutWidth < 1 || ws.CutHeight < 1 || ws.FrameX < 0 || ws.FrameY < 0)
        return {};
    // One tile where the frame stands, then one per whole pitch of the room left after it.
    const auto count = [](int64_t canvas, int64_t at, int64_t cut, int64_t gap) {
        const int64_t room = canvas - (at + cut);
        return room < 0 ? 0
                        : int(std::min<int64_t>(room / (cut + std::max<int64_t>(gap, 0)) + 1,
                                                std::numeric_limits<int>::max()));
    };
    return {count(ws.CanvasWidth, ws.FrameX, ws.CutWidth, ws.GridGapX),
            count(ws.CanvasHeight, ws.FrameY, ws.CutHeight, ws.GridGapY)};
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

void WriteContinuousFrames(Workspace &ws, const QString &chosenPath, const FrameWriter &write,
                           const FrameProgress &progress)
{
    const WorkspaceRestorer restore(ws);
    if (ws.FrameDirection == Direction::Grid) {
        writeGridFrames(ws, chosenPath, write, progress);
        return;
    }
    const int count = ContinuousFrameCount(ws);
    for (int k = 1; k <= count; ++k) {
        write(FrameFileName(chosenPath, k), ws.CutImage);
        if (progress)
            progress(k, count);
        // No move after the last frame: the next position would leave the canvas.
        if (k < count) {
            moveFrame(ws);
            FillCutImage(ws);
        }
    }
}
