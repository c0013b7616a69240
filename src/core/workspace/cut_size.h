// SPDX-License-Identifier: GPL-3.0-or-later
// The cut-size rules: the free size and the presets. The cut frame lowers the size to the picture.
#pragma once

#include "core/workspace/presets.h"

#include <QSize>
#include <QString>
#include <vector>

// The preset name that stands for the free size typed into the dialog's two fields.
inline const QString kFreeSizeName = QStringLiteral("任意切り取りサイズ");

// The largest free size either field offers before the first picture, when there is no picture
// to lower it to yet; the size is lowered to the picture once one is there.
inline constexpr int kFreeCutSizeLimit = 1500;
// The smallest side of a cut: a size of 0 or less, typed or from a preset, becomes this, since an
// empty cut is nothing any output can write.
inline constexpr int kSmallestCutSide = 3;

// The cut size the dialog's choice stands for: an empty choice, the free-size name or a name no
// preset has takes freeSize; any other name the last preset of that name. A width or height of 0
// or less becomes kSmallestCutSide.
QSize ChosenCutSize(const QString &choice, QSize freeSize, const std::vector<Preset> &presets);
