// Continuous cutting: the frame moved step by step across the canvas, one file per position.
#pragma once

#include "core/sequence/frame_files.h"
#include "core/workspace/workspace.h"

#include <array>

// The steps, in pixels, that continuous cutting offers besides a step of the cut's own size;
// the first is the step of a new run, in the dialog and on the command line.
inline constexpr std::array<int, 4> kFrameSteps{15, 8, 3, 1};
inline constexpr int kDefaultFrameStep = kFrameSteps[0];

// The number of whole steps the frame can still take in its direction without leaving the
// canvas: the room left divided by the step, truncated. A step of 0 or less gives 0.
int WholeSteps(const Workspace &ws);

// The number of frames a continuous cut writes: every position that fits, the start included
// (WholeSteps + 1). With 1, only the start fits and the single-file save is used instead.
inline int ContinuousFrameCount(const Workspace &ws)
{
    return WholeSteps(ws) + 1;
}

// Writes ContinuousFrameCount(ws) frames: frame k is the cut at the start position moved
// (k - 1) * FrameStep in FrameDirection, named FrameFileName(chosenPath, k). CutImage must hold
// the cut at the start. Afterwards, whether the run succeeded or threw, the frame and CutImage are
// as they were before it, so a second run writes the same frames.
void WriteContinuousFrames(Workspace &ws, const QString &chosenPath, const FrameWriter &write,
                           const FrameProgress &progress = {});
