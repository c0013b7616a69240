// SPDX-License-Identifier: GPL-3.0-or-later
// The output options of the verbs that cut (cut, sequence, blend, fade): the format of numbered
// frames, an animation or a sprite sheet instead, and their settings.
//
//   --format bmp|png            numbered frames (or the cut) as BMP (default) or PNG
//   --animate OUT.gif|OUT.webp  one animated file instead: --delay MS (default 100), --pingpong,
//                               --quality Q (WebP: lossy at Q, else lossless), --no-dither (GIF)
//   --sheet OUT.png             one sprite sheet and OUT.json: --columns N, --padding P (default 0)
#pragma once

#include "core/sequence/frame_output.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QList>

QList<QCommandLineOption> FrameOutputOptions();

// Whether --animate or --sheet names the file written: the verb then takes no BASE (or OUT).
bool OutputNamedByOption(const QCommandLineParser &parser);

// The output the options ask for; framesPath is the verb's BASE (or OUT) when the frames go to
// numbered files. Throws UsageError for a wrong value or an option without the one it belongs to.
FrameOutput ParseFrameOutput(const QCommandLineParser &parser, const QString &framesPath);
