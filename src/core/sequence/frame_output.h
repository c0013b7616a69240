// SPDX-License-Identifier: GPL-3.0-or-later
// Where a run's frames go: one file, numbered BMP or PNG files, one animated GIF or WebP, or a
// sprite sheet or a packed atlas with its JSON. The window and the command line both write
// through WriteFrameOutput.
#pragma once

#include "core/animation/animation.h"
#include "core/animation/atlas.h"
#include "core/animation/atlas_data.h"
#include "core/animation/sprite_sheet.h"
#include "core/sequence/frame_files.h"
#include "core/sequence/frame_run.h"

#include <QImage>
#include <QString>
#include <QStringList>

#include <optional>

// OneFile is the run's first frame under the name given (a single cut, or a continuous cut of which
// only the start fits).
enum class OutputKind { OneFile, NumberedFiles, Animation, Sheet, Atlas };

struct FrameOutput {
    OutputKind kind = OutputKind::NumberedFiles;
    // NumberedFiles: the base of the frame names (FrameFileName); otherwise the one file written.
    QString path;
    FrameFormat format = FrameFormat::Bmp; // OneFile and NumberedFiles
    // Animation; the sheet's and the atlas's JSON take the delay and the ping-pong from it too.
    AnimationOptions animation;
    SheetOptions sheet; // Sheet
    AtlasOptions atlas; // Atlas
    // Sheet and Atlas: the JSON's layout, and the frames' names in it (frame k at [k - 1]); none
    // names them as the numbered PNG files of the picture's name would be ("walk001.png").
    JsonLayout json = JsonLayout::Hash;
    QStringList frameNames;
};

// The animation format numbered files of format hold (GIF, WebP); none for BMP and PNG.
std::optional<AnimationFormat> AnimationFormatOf(FrameFormat format);
// The format of numbered files that each hold an animation of format.
FrameFormat FrameFormatOf(AnimationFormat format);

// Whether the output can hold transparency: PNG files, both animations, the sheet and the atlas.
// Runs that copy pixels keep a picture's alpha for these; BMP sees the picture over white.
bool KeepsAlpha(const FrameOutput &output);
bool KeepsAlpha(FrameFormat format);

// The files a run of `frames` frames writes: the numbered names, the animation, or the sheet (or
// the atlas) and its JSON. Asked before a run, so the user can be asked once before anything is
// replaced.
QStringList OutputFiles(const FrameOutput &output, int frames);
// Those of them that something already occupies (a file, a folder, a link, even a broken one).
QStringList ExistingOutputFiles(const FrameOutput &output, int frames);

// Whether path names a PNG file, as a sheet's or an atlas's must ("walk.png", any letter case).
bool IsPngName(const QString &path);

// A warning when output is a GIF (an animation, or numbered GIF files) and a frame of it would be
// shown less than kFastestGifDelayMs: browsers play such a frame for 100 ms. Empty otherwise.
QString FastGifWarning(FrameRun &run, const FrameOutput &output);
// Writes run as output asks, telling progress(k, n) after each of its n steps: a frame written,
// shown or placed (a ping-pong animation shows most frames twice; an atlas looks at each frame
// and then places it, 2 x count steps). Throws Failure. One file is a 24-bit BMP byte for byte as
// WriteBmp24File writes it, or a PNG that keeps the cut's alpha. Numbered files are written one
// by one (those written before a failure stay, each whole); an animation, a sheet or an atlas is
// made in memory and written at the end, whole or not at all, a picture and its JSON as a pair
// (WriteFilesTogether: both new or both as they were). Frames
// smaller than run.frameSize() are set in its middle on run.surround() for an animation or a
// sheet (the odd pixel of a difference goes right and down). An output OutputRefusal refuses
// (without inputs) is refused before anything is made.
void WriteFrameOutput(FrameRun &run, const FrameOutput &output, const FrameProgress &progress = {});
