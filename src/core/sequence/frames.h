// Frame sequences: numbered frame names, continuous cutting, and the blended and faded runs.
#pragma once

#include "core/workspace/workspace.h"

#include <QString>
#include <functional>

class BmpFrameWriter;

// The file name of frame `frame` of a sequence whose base is `chosenPath`: the folder (up to the
// last "/"; kept with a single "/" after it), the base name unchanged, the number padded with
// zeros to three digits (longer numbers unchanged), then ".bmp".
// "/anim/walk", 1 -> "/anim/walk001.bmp"; "/walk", 5 -> "/walk005.bmp";
// "/anim/walk.bmp", 12 -> "/anim/walk.bmp012.bmp"; "/anim/walk", 1234 -> "/anim/walk1234.bmp".
QString FrameFileName(const QString &chosenPath, int frame);

// The number of whole steps the frame can still take in its direction without leaving the
// canvas: the room left divided by the step, truncated. A step of 0 or less gives 0.
int WholeSteps(const Workspace &ws);

// The number of frames a continuous cut writes: every position that fits, the start included
// (WholeSteps + 1). With 1, only the start fits and the single-file save is used instead.
inline int ContinuousFrameCount(const Workspace &ws)
{
    return WholeSteps(ws) + 1;
}

// Writes one frame file (a 24-bit BMP); throws Failure. Runs take it as an argument so the
// dialogs, the command line and the tests share the loops.
using FrameWriter = std::function<void(const QString &path, const QImage &picture)>;
// Told after frame k of n is written.
using FrameProgress = std::function<void(int k, int n)>;

// Writes ContinuousFrameCount(ws) frames: frame k is the cut at the start position moved
// (k - 1) * FrameStep in FrameDirection, named FrameFileName(chosenPath, k). CutImage must hold
// the cut at the start. The frame returns to its start afterwards, whether the run succeeded or
// threw; CutImage is left holding the last frame cut.
void WriteContinuousFrames(Workspace &ws, const QString &chosenPath, const FrameWriter &write,
                           const FrameProgress &progress = {});

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
// cut. Throws the writer's Failure; frames already written stay.
void WriteMixFrames(Workspace &ws, MixKind kind, const QString &chosenPath,
                    const FrameWriter &write, const FrameProgress &progress = {});
// The same run written as BMP files by writer, each frame mixed straight into the file's buffer:
// the same files, with no picture in between (FrameImage is left alone).
void WriteMixFrames(Workspace &ws, MixKind kind, const QString &chosenPath, BmpFrameWriter &writer,
                    const FrameProgress &progress = {});
