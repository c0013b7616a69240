// SPDX-License-Identifier: GPL-3.0-or-later
// The cut job: what to cut from the picture and where the frames go. The output dialog and the
// command line each fill one in; MakeFrameRun (frame_runs.h) turns it into frames.
#pragma once

#include "core/sequence/frame_output.h"
#include "core/sequence/sprite_finding.h"

#include <QSize>
#include <array>
#include <cstdint>
#include <optional>

// What the frames are: the cut alone; the frame moved step by step in a direction; every whole
// tile of a grid; the cut blended with a second picture; the cut faded in from a colour; the
// sprites found on the picture's background, each the size of its box.
enum class CutKind { Single, Continuous, Grid, Blend, Fade, Auto };

// The way the frame moves from one frame of a continuous cut to the next.
enum class Direction : uint8_t { Right, Left, Down, Up };

// The colour a fade starts from.
enum class FadeColour { White, Black };

// The steps, in pixels, that continuous cutting offers besides a step of the cut's own size;
// the first is the step of a new run, in the dialog and on the command line.
inline constexpr std::array<int, 4> kFrameSteps{15, 8, 3, 1};
inline constexpr int kDefaultFrameStep = kFrameSteps[0];

struct CutJob {
    CutKind kind = CutKind::Single;
    // Continuous: the pixels the frame moves per frame; none moves it by the cut's own width or
    // height along the direction, so that the frames are whole tiles.
    std::optional<int> step = kDefaultFrameStep;
    Direction direction = Direction::Right;
    // Grid: the pixels between two tiles across and down (below 0 counts as 0), and whether tiles
    // of a single colour (the empty cells of a sheet) are left out.
    QSize gridGap;
    bool skipEmptyTiles = false;
    // Blend: pure white in the second picture lets the cut show through unmixed.
    bool whiteTransparent = false;
    FadeColour fadeColour = FadeColour::White;
    // Auto: how the sprites are told from the background (FindSprites).
    SpriteSearch sprites;
    // Where the frames go.
    FrameOutput output;
};
