// SPDX-License-Identifier: GPL-3.0-or-later
// MakeFrameRun: the one way from a picture, a cut frame and a cut job to the frames the job
// writes. The output dialog (its preview, its frame count and its writing) and the command line
// all take their frames from here.
#pragma once

#include "core/sequence/cut_job.h"
#include "core/sequence/frame_run.h"
#include "core/workspace/cut_frame.h"
#include "core/workspace/picture_document.h"

#include <memory>
#include <vector>

// The frames of job cut from document's picture with frame, from the pictures as they are now
// (shared, not copied: the document may change afterwards without touching the run).
//
// - Single: one frame, the cut.
// - Continuous: the cut at the frame's position moved (k - 1) * step in the direction for frame
//   k, at every position that fits (from the start up to and including the last whole step); a
//   count of 1 means only the start fits.
// - Grid: every whole tile of the cut's size from the frame's position, the cut's width and the
//   gap apart across and its height and the gap apart down, in reading order; with
//   skipEmptyTiles the tiles of a single colour are left out and take no number. It may have no
//   frames at all.
// - Blend and Fade: the 21 frames of MixRun (mixing.h), from the cut and the blend picture; for an
//   output that keeps alpha (KeepsAlpha) and a picture or blend picture with alpha, the frames
//   mix opacity too (a fade fades in from full transparency), otherwise they are 24-bit mixes of
//   the pictures over white.
// - Auto: the boxes FindSprites finds on the whole picture with job.sprites, in reading order,
//   each frame the size of its box, set on the background found where one size is needed
//   (surround). The frame plays no part. It may have no frames at all. Throws Failure as
//   FindSprites does.
//
// Of an animated picture, Single gives the cut of every frame, each with its delay; the other
// kinds place their frames on the frame shown (PictureDocument::shownFrame), and for Continuous,
// Grid and Auto each place is also an animation of its own (FrameRun::animationOf): the place
// cut from every frame. Grid's skipEmptyTiles then leaves out a tile only when it is one colour in
// every frame, the same in all.
//
// Cuts keep the picture's alpha, for the outputs that can hold it (KeepsAlpha); the others see
// them over white as they write them. A picture without alpha gives 24-bit cuts. Beyond whether
// a blended or faded run mixes alpha, the run does not depend on job.output: the same run is
// counted, shown and written.
std::unique_ptr<FrameRun> MakeFrameRun(const PictureDocument &document, const CutFrame &frame,
                                       const CutJob &job);

// A run of pictures, one frame each, as they are (the pictures packed into an atlas): 32-bit
// with alpha when any of them has alpha, 24-bit otherwise.
std::unique_ptr<FrameRun> MakePictureRun(std::vector<QImage> pictures);
