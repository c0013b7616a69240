// SPDX-License-Identifier: GPL-3.0-or-later
// The cut-size rules.
#include "core/workspace/cut_size.h"

QSize ChosenCutSize(const QString &choice, QSize freeSize, const std::vector<Preset> &presets)
{
    QSize size = freeSize;
    if (!choice.isEmpty() && choice != kFreeSizeName) {
        for (const Preset &preset : presets) { // the last of equal names wins
            if (preset.name == choice)
                size = QSize(preset.width, preset.height);
        }
    }
    const auto side = [](int length) { return length <= 0 ? kSmallestCutSide : length; };
    return {side(size.width()), side(size.height())};
}
