// SPDX-License-Identifier: GPL-3.0-or-later
// Outputs refused before any work: names that would destroy what they name, and runs larger than
// an output may hold. The window and the command line ask the same questions.
#pragma once

#include "core/sequence/frame_output.h"

#include <QSize>
#include <QString>
#include <QStringList>

// Why output must not be written for a run of `frames` frames cut from the files `inputs`: no
// name (an empty BASE or file), a sheet's or an atlas's name that is not a PNG's (IsPngName), or a
// file of the output that is another of its files or one of the inputs, also through a link
// (OutputNamesRefusal). An empty text when none.
QString OutputNameRefusal(const FrameOutput &output, int frames, const QStringList &inputs);

// Why a run of `frames` frames of frameSize is more than output may hold: an animation showing
// more than kMaxAnimationFrames frames, a sheet or an atlas of more than kMaxSheetFrames, a sheet
// beyond the picture limit; the message gives the numbers. An empty text when none. Counted, not
// made: it costs nothing.
QString OutputSizeRefusal(const FrameOutput &output, int frames, QSize frameSize);

// Both, for a run about to be written: the output dialog asks it before anything is replaced, the
// command line before it writes, and WriteFrameOutput (without inputs) before it starts.
QString OutputRefusal(const FrameOutput &output, const FrameRun &run, const QStringList &inputs);
