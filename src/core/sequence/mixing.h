// SPDX-License-Identifier: GPL-3.0-or-later
// The blended and faded runs: 21 frames mixing the cut with a second picture or with a colour,
// each channel evaluated exactly and rounded half to even.
#pragma once

#include "core/sequence/frame_run.h"

#include <memory>

// The 21 weights of the blended and faded runs: 0, then 0.05 (at extended precision) added each
// frame and stored as a double. Frame 11's weight is 0.49999999999999994.
inline constexpr int kMixFrames = 21;
double MixWeight(int frame); // frame 1 .. 21

enum class MixKind { Blend, BlendWhiteTransparent, FadeToWhite, FadeToBlack };

// A second picture cut or padded to width x height: its top-left pixels kept, any added area
// white. A null picture gives a white one.
QImage FitToCut(const QImage &blend, int width, int height);

// The 21 frames of a blended or faded run, each built from cut (24-bit, or converted as To24Bit
// converts it) and, for the blend kinds, blend fitted to the cut (FitToCut). Frame k mixes them at
// MixWeight(k): x * blend + (1 - x) * cut for a blend (with BlendWhiteTransparent, a pure white
// pixel of blend leaves the cut's pixel as it is), x * cut + (1 - x) * c for a fade from colour c
// (white 255 or black 0); each channel is evaluated exactly and rounded half to even. Frames are
// 24-bit; a run written as BMP files mixes each frame straight into the file's buffer.
//
// With keepAlpha, for an output that holds transparency, and a cut (or, for a blend, a blend
// picture) with alpha, the frames are non-premultiplied 32-bit pictures that mix opacity too, as
// premultiplied pixels mix: a blend's alpha is x * ab + (1 - x) * ac and each colour
// (x * ab * b + (1 - x) * ac * c) / that alpha, exactly, rounded half to even (so pixels of equal
// alpha keep it and mix their colours as above); a fade keeps the cut's colours and fades their
// opacity from none in frame 1 to the cut's own in the last, whatever its colour. The blend
// picture's added area is opaque white, as in FitToCut; a pixel of no opacity is 0. BMP files
// written by writeBmp are still the 24-bit frames, of the pictures seen over white.
std::unique_ptr<FrameRun> MixRun(const QImage &cut, const QImage &blend, MixKind kind,
                                 bool keepAlpha = false);
