// SPDX-License-Identifier: GPL-3.0-or-later
// Continuous cutting: the frame moved step by step across the canvas, one file per position.
#pragma once

#include "core/sequence/frame_files.h"
#include "core/sequence/frame_run.h"
#include "core/workspace/workspace.h"

#include <QPoint>
#include <array>
#include <memory>

// The steps, in pixels, that continuous cutting offers besides a step of the cut's own size;
// the first is the step of a new run, in the dialog and on the command line.
inline constexpr std::array<int, 4> kFrameSteps{15, 8, 3, 1};
inline constexpr int kDefaultFrameStep = kFrameSteps[0];

// The number of whole steps the frame can still take in its direction without leaving the
// canvas: the room left divided by the step, truncated. A step of 0 or less gives 0, and so does
// the grid, which counts tiles instead.
int WholeSteps(const Workspace &ws);

// The grid of a grid cut: tiles of the cut size from the frame's position, CutWidth + GridGapX
// apart across and CutHeight + GridGapY apart down (gaps below 0 count as 0), as many as lie
// wholly inside the canvas each way.
struct GridTiles {
    int columns = 0;
    int rows = 0;
};
GridTiles GridOf(const Workspace &ws);

// The number of frames a continuous cut writes. Along a direction: every position that fits, the
// start included (WholeSteps + 1); with 1, only the start fits and the single-file save is used
// instead. On the grid: its tiles, less those of a single colour when SkipEmptyTiles; it may be 0.
int ContinuousFrameCount(const Workspace &ws);

// Writes ContinuousFrameCount(ws) frames named FrameFileName(chosenPath, k). Along a direction,
// frame k is the cut at the start position moved (k - 1) * FrameStep in FrameDirection; CutImage
// must hold the cut at the start. On the grid, the frames are the tiles written, numbered in
// reading order (a skipped tile takes no number). Afterwards, whether the run succeeded or threw,
// the frame and CutImage are as they were before it, so a second run writes the same frames.
// Temporary files that killed writers left in the frames' folder are removed first
// (RemoveStaleTemporaryFiles).
void WriteContinuousFrames(Workspace &ws, const QString &chosenPath, const FrameWriter &write,
                           const FrameProgress &progress = {});

// Puts the frame of a continuous cut that started at `start` where its frame k lies: (k - 1) *
// FrameStep further in FrameDirection. The writers and ContinuousRun share it, so every output
// cuts the same places.
void PlaceContinuousFrame(Workspace &ws, QPoint start, int k);

// The frames of WriteContinuousFrames as a run, from a copy of ws taken now (pictures shared, not
// copied): the workspace itself is never touched. With keepAlpha and a WorkImage with alpha the
// frames keep it (CopyWithAlpha); otherwise they are the 24-bit cuts of FillCutImage. A FrameStep
// of 0 gives the run of the single cut.
std::unique_ptr<FrameRun> ContinuousRun(const Workspace &ws, bool keepAlpha);
