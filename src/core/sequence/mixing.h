// SPDX-License-Identifier: GPL-3.0-or-later
// The blended and faded runs: 21 frames mixing the cut with a second picture or with a colour,
// each channel evaluated exactly and rounded half to even.
#pragma once

#include "core/sequence/frame_files.h"
#include "core/sequence/frame_run.h"
#include "core/workspace/workspace.h"

#include <memory>

class BmpFrameWriter;

// The 21 weights of the blended and faded runs: 0, then 0.05 (at extended precision) added each
// frame and stored as a double. Frame 11's weight is 0.49999999999999994.
inline constexpr int kMixFrames = 21;
double MixWeight(int frame); // frame 1 .. 21

enum class MixKind { Blend, BlendWhiteTransparent, FadeToWhite, FadeToBlack };

// Fills frame (sized to the cut, 24-bit) with one mix of cut (and blend) at weight x; each
// channel is evaluated exactly and rounded half to even.
void BlendFrame(const QImage &cut, const QImage &blend, double x, QImage &frame);
void BlendFrameWhiteTransparent(const QImage &cut, const QImage &blend, double x, QImage &frame);
void FadeToWhite(const QImage &cut, double x, QImage &frame);
void FadeToBlack(const QImage &cut, double x, QImage &frame);

// BlendImage cut or padded to width x height: its top-left pixels kept, any added area white.
QImage FitToCut(const QImage &blend, int width, int height);

// The alpha-compositing or fade run: BlendImage fitted to the cut (blend kinds only), then 21
// frames built in FrameImage and written as FrameFileName(chosenPath, k). CutImage must hold the
// cut. Throws the writer's Failure; frames already written stay. Temporary files that killed
// writers left in the frames' folder are removed first (RemoveStaleTemporaryFiles).
void WriteMixFrames(Workspace &ws, MixKind kind, const QString &chosenPath,
                    const FrameWriter &write, const FrameProgress &progress = {});
// The same run written as BMP files by writer, each frame mixed straight into the file's buffer:
// the same files, with no picture in between (FrameImage is left alone).
void WriteMixFrames(Workspace &ws, MixKind kind, const QString &chosenPath, BmpFrameWriter &writer,
                    const FrameProgress &progress = {});

// The frames of WriteMixFrames as a run, from the cut and the blend picture of ws as they are
// now (the blend fitted to the cut as the writers fit it; ws itself is not touched). Frames are
// 24-bit: a cut with alpha is mixed over white. Its BMP files are made as the BmpFrameWriter
// version of WriteMixFrames makes them.
std::unique_ptr<FrameRun> MixRun(const Workspace &ws, MixKind kind);
