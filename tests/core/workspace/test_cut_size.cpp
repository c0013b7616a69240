// SPDX-License-Identifier: GPL-3.0-or-later
// The cut-size rules of the cut-size dialog.
#include "core/workspace/cut_frame.h"
#include "core/workspace/cut_size.h"

#include <gtest/gtest.h>

namespace {

const std::vector<Preset> kPresets = {{kFreeSizeName, 1, 1},
                                      {QStringLiteral("SVGA"), 800, 600},
                                      {QStringLiteral("twice"), 20, 30},
                                      {QStringLiteral("zero"), 0, -4},
                                      {QStringLiteral("twice"), 40, 50}};

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
        const QSize chosen = ChosenCutSize(row.choice, {row.w, row.h}, kPresets);
        EXPECT_EQ(CutFrame(QSize(640, 480), chosen).size(), QSize(row.expectedW, row.expectedH))
            << row.choice.toStdString();
    }
}

TEST(CutSize, AnUnknownNameLeavesTheFieldsInCharge)
{
    // A name that matches no record keeps the free size (the list only offers names it has).
    EXPECT_EQ(ChosenCutSize(QStringLiteral("SVG"), {33, 44}, kPresets), QSize(33, 44));
}

} // namespace
