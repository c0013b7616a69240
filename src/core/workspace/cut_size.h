// SPDX-License-Identifier: GPL-3.0-or-later
// The cut-size rules: the free size and the presets, always lowered to the canvas.
#pragma once

#include "core/workspace/workspace.h"

#include <QString>

// The preset name that stands for the free size typed into the dialog's two fields.
inline const QString kFreeSizeName = QStringLiteral("任意切り取りサイズ");

// The largest free size either field offers before the first picture, when there is no canvas
// to lower it to yet; the size is lowered to the picture once one is there.
inline constexpr int kFreeCutSizeLimit = 1500;
// The smallest side of a cut: a size of 0 or less, typed or from a preset, becomes this, since an
// empty cut is nothing any output can write.
inline constexpr int kSmallestCutSide = 3;

// Sets CutWidth x CutHeight from the dialog's choice: an empty choice or the free-size name takes
// freeWidth x freeHeight; any other name takes the last preset of that name. Either way the size is
// lowered to the canvas and a width or height of 0 or less becomes kSmallestCutSide. CutImage is
// renewed at the new size and the frame goes back to the canvas's top-left corner.
void ApplyCutSize(Workspace &ws, const QString &choice, int freeWidth, int freeHeight);
