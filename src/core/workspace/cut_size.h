// The cut-size rules: the free size and the presets, always lowered to the canvas.
#pragma once

#include "core/workspace/workspace.h"

#include <QString>

// The largest free cut side offered before a picture gives a real limit.
inline constexpr int kFreeSizeLimit = 1500;
// The smallest cut side: a side of 0 or less (a preset written so) becomes this.
inline constexpr int kSmallestCutSide = 3;

// The preset name that stands for the free size typed into the dialog's two fields.
inline const QString kFreeSizeName = QStringLiteral("任意切り取りサイズ");

// Sets CutWidth x CutHeight from the dialog's choice: an empty choice or the free-size name takes
// freeWidth x freeHeight; any other name takes the last preset of that name. Either way the size is
// lowered to the canvas and a width or height of 0 or less becomes 3. CutImage is renewed at the
// new size and the frame goes back to the canvas's top-left corner.
void ApplyCutSize(Workspace &ws, const QString &choice, int freeWidth, int freeHeight);
