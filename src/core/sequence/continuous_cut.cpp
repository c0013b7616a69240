// Continuous cutting: the frame moved step by step, one file per position.
#include "core/sequence/continuous_cut.h"

#include <algorithm>
#include <cstdint>
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
    }
}

} // namespace

void WriteContinuousFrames(Workspace &ws, const QString &chosenPath, const FrameWriter &write,
                           const FrameProgress &progress)
{
    const int count = ContinuousFrameCount(ws);
    const WorkspaceRestorer restore(ws);
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
