// SPDX-License-Identifier: GPL-3.0-or-later
// The output options of the verbs that cut (cut, sequence, blend, fade) and of pack: the format of
// numbered frames, an animation, a sprite sheet or a packed atlas instead, and their settings.
//
//   --format bmp|png|gif|webp   numbered frames (or the cut) as BMP (default) or PNG, or each
//                               an animation: of an animated picture, that place in every frame
//   --animate OUT.gif|OUT.webp  one animated file instead: --quality Q (WebP: lossy at Q, else
//                               lossless), --mixed (WebP: each frame lossy or lossless, whichever
//                               is smaller), --no-dither (GIF), --max-size SIZE (GIF: the quality
//                               lowered until the file holds in SIZE bytes, 500k, 2m)
//   --sheet OUT.png             one sprite sheet and OUT.json: --columns N
//   --atlas OUT.png             one packed atlas and OUT.json: --trim, --border B, --extrude E,
//                               --power-of-two, --max-size N (its largest side in pixels),
//                               --keep-duplicates
//   --padding P                 the sheet's or the atlas's pixels between frames (default 0)
//   --json hash|array           the layout of the sheet's or the atlas's JSON (default hash)
//   --delay MS, --pingpong      the animation's timing, or the one the JSON tells (default 100;
//                               an animated picture's frames keep their own unless --delay)
//   --speed F, --reverse        every delay divided by F; the frames last to first
#pragma once

#include "core/sequence/frame_output.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QList>

QList<QCommandLineOption> FrameOutputOptions();

// Whether --animate, --sheet or --atlas names the file written: the verb then takes no BASE (or
// OUT).
bool OutputNamedByOption(const QCommandLineParser &parser);

// The output the options ask for; framesPath is the verb's BASE (or OUT) when the frames go to
// numbered files. Throws UsageError for a wrong value or an option without the one it belongs to.
// fallbackFormat is the format of numbered frames (or of OUT) when --format is not given.
FrameOutput ParseFrameOutput(const QCommandLineParser &parser, const QString &framesPath,
                             FrameFormat fallbackFormat = FrameFormat::Bmp);

// The options of pack, which writes an atlas only: --atlas and its settings, --padding, --json,
// --delay and --pingpong.
QList<QCommandLineOption> AtlasOutputOptions();

// The atlas pack's options ask for (--atlas is required). Throws UsageError.
FrameOutput ParseAtlasOutput(const QCommandLineParser &parser);

// Throws UsageError with refusal unless it is empty: an output OutputNameRefusal or
// OutputSizeRefusal refuses is a command line that cannot be right.
void RefuseOutput(const QString &refusal);

// The files a cutting verb reads: every file argument but the last, which names the output,
// unless --animate, --sheet or --atlas names it.
QStringList InputFiles(const QCommandLineParser &parser, const QStringList &files);
