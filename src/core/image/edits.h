// SPDX-License-Identifier: GPL-3.0-or-later
// The whole-picture edits as the commands apply them, shared by the windows and the command line.
#pragma once

#include "core/image/picture.h"

// The scale command: a target wider than the picture enlarges to exactly that width; otherwise
// the picture shrinks by box averaging to FitSize of the target (a landscape picture to width T,
// a portrait one to height T).
QImage ScaleToWidth(const QImage &picture, int32_t target);

// The shrink after a capture and in the batch shrink: FitSize of the target, then box averaging.
QImage ShrinkToFit(const QImage &picture, int32_t target);
