// SPDX-License-Identifier: GPL-3.0-or-later
// The cut-size rules.
#include "core/workspace/cut_size.h"

#include "core/image/picture.h"

namespace {

int fitSide(int side, int canvas)
{
    side = std::min(side, canvas);
    return side <= 0 ? kSmallestCutSide : side;
}

} // namespace

void ApplyCutSize(Workspace &ws, const QString &choice, int freeWidth, int freeHeight)
{
    int width = freeWidth;
    int height = freeHeight;
    if (!choice.isEmpty() && choice != kFreeSizeName) {
        for (int i = 0; i < ws.PresetCount; ++i) { // the last of equal names wins
            if (ws.PresetNames[i] == choice) {
                width = ws.PresetWidths[i];
                height = ws.PresetHeights[i];
            }
        }
    }
    ws.CutWidth = fitSide(width, ws.CanvasWidth);
    ws.CutHeight = fitSide(height, ws.CanvasHeight);
    ws.CutImage = WhitePicture(ws.CutWidth, ws.CutHeight);
    ws.FrameX = 0;
    ws.FrameY = 0;
}
