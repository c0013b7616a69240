// SPDX-License-Identifier: GPL-3.0-or-later
// The cut-size rules of the cut-size dialog.
#include "core/workspace/cut_size.h"

#include <gtest/gtest.h>

namespace {

Workspace canvas(int width, int height)
{
    Workspace ws;
    ws.CanvasWidth = width;
    ws.CanvasHeight = height;
    ws.CutWidth = 10;
    ws.CutHeight = 10;
    ws.FrameX = 5;
    ws.FrameY = 7;
    const std::vector<Preset> presets = {{kFreeSizeName, 1, 1},
                                         {QStringLiteral("SVGA"), 800, 600},
                                         {QStringLiteral("twice"), 20, 30},
                                         {QStringLiteral("zero"), 0, -4},
                                         {QStringLiteral("twice"), 40, 50}};
    SetPresets(ws, presets);
    return ws;
}

TEST(CutSize, FreeSizeIsLoweredToTheCanvas)
{
    const struct {
        QString choice;
        int w, h, expectedW, expectedH;
    } rows[] = {
        {QString(), 64, 48, 64, 48},     // nothing chosen: the fields
        {kFreeSizeName, 64, 48, 64, 48}, // the free-size entry: the fields, not its numbers
        {QString(), kFreeCutSizeLimit, kFreeCutSizeLimit, 640, 480}, // the fields at their largest
        {QString(), 0, -2, 3, 3},                                    // 0 or less becomes 3
        {QStringLiteral("SVGA"), 1, 1, 640, 480}, // a preset larger than the picture
        {QStringLiteral("twice"), 1, 1, 40, 50},  // a repeated name takes its last record
        {QStringLiteral("zero"), 1, 1, 3, 3},     // a preset of 0 or less is corrected as well
    };
    for (const auto &row : rows) {
        Workspace ws = canvas(640, 480);
        ApplyCutSize(ws, row.choice, row.w, row.h);
        EXPECT_EQ(ws.CutWidth, row.expectedW) << row.choice.toStdString();
        EXPECT_EQ(ws.CutHeight, row.expectedH) << row.choice.toStdString();
        EXPECT_EQ(ws.CutImage.size(), QSize(row.expectedW, row.expectedH));
        EXPECT_EQ(ws.FrameX, 0);
        EXPECT_EQ(ws.FrameY, 0);
    }
}

TEST(CutSize, AnUnknownNameLeavesTheFieldsInCharge)
{
    // A name that matches no record keeps the free size (the list only offers names it has).
    Workspace ws = canvas(640, 480);
    ApplyCutSize(ws, QStringLiteral("SVG"), 33, 44);
    EXPECT_EQ(ws.CutWidth, 33);
    EXPECT_EQ(ws.CutHeight, 44);
}

} // namespace
