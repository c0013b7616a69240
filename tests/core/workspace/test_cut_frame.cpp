// SPDX-License-Identifier: GPL-3.0-or-later
// The cut frame's clamp and keys, and the cut copied from under it.
#include "core/image/alpha.h"
#include "core/image/picture.h"
#include "core/workspace/cut_frame.h"
#include "pictures.h"

#include <climits>
#include <gtest/gtest.h>

namespace {

// The frame stays inside the picture whatever it is given: sizes from set.ini, data.dat and the
// command line, positions from a drag past the edge or --at. Catches a clamp to the picture
// instead of picture - cut, the cut not lowered to the picture, a side of 0 or less kept, the
// position clamped before the size is lowered, and sums that overflow 32 bits.
TEST(CutFrame, KeepsItselfInsideThePicture)
{
    const struct {
        QSize cut;
        QPoint at;
        QSize expectedCut;
        QPoint expectedAt;
    } rows[] = {
        {{100, 50}, {120, 40}, {100, 50}, {120, 40}},   // inside: unchanged
        {{100, 50}, {280, 190}, {100, 50}, {200, 150}}, // past the bottom-right: touches both edges
        {{100, 50}, {-30, 60}, {100, 50}, {0, 60}},     // left of the picture
        {{100, 50}, {200, 150}, {100, 50}, {200, 150}}, // exactly on the largest position
        {{300, 200}, {120, 40}, {300, 200}, {0, 0}},    // as large as the picture: cannot move
        {{500, 900}, {250, 10}, {300, 200}, {0, 0}},    // larger: lowered first
        {{400, 20}, {-5, 999}, {300, 20}, {0, 180}},
        {{0, -5}, {120, 40}, {1, 1}, {120, 40}}, // a side below 1 becomes 1
        {{INT_MIN, INT_MAX}, {INT_MAX, INT_MIN}, {1, 200}, {299, 0}},
        {{INT_MAX, 50}, {INT_MIN, INT_MAX}, {300, 50}, {0, 150}},
    };
    for (const auto &row : rows) {
        const CutFrame frame(QSize(300, 200), row.cut, row.at);
        EXPECT_EQ(frame.size(), row.expectedCut) << row.at.x() << "," << row.at.y();
        EXPECT_EQ(frame.position(), row.expectedAt) << row.at.x() << "," << row.at.y();
        CutFrame moved(QSize(300, 200), row.cut);
        moved.moveTo(row.at);
        EXPECT_EQ(moved, frame) << "moveTo, " << row.at.x() << "," << row.at.y();
    }
}

// Before the first picture the chosen size is kept for the picture to lower; a picture changing
// size (an edit, undo) lowers the cut and brings the frame back inside. Catches a size lowered
// to a placeholder canvas, and a frame left outside a smaller picture.
TEST(CutFrame, WaitsForThePictureThenFollowsIt)
{
    CutFrame frame(QSize(700, 48));
    frame.moveTo({30, 30});
    EXPECT_EQ(frame.size(), QSize(700, 48));
    EXPECT_EQ(frame.position(), QPoint(0, 0));
    EXPECT_FALSE(frame.hasPicture());
    frame.setPictureSize({640, 480});
    EXPECT_EQ(frame.size(), QSize(640, 48));
    frame.moveTo({0, 400});
    frame.setPictureSize({320, 240});
    EXPECT_EQ(frame.rect(), QRect(0, 192, 320, 48));
    EXPECT_EQ(frame.lastPosition(), QPoint(0, 192));
    frame.setPictureSize({640, 480}); // a larger picture again: nothing grows back
    EXPECT_EQ(frame.rect(), QRect(0, 192, 320, 48));
}

// Keys move the frame and stop it at the picture's edges as a drag does. Catches a step that is
// not clamped (the frame past the edge), a clamp to the picture instead of picture - cut, a tile
// step taken from the wrong side of the cut, and ten-pixel steps that stop short of the edge.
TEST(CutFrame, NudgeMovesTheFrameAndStopsAtTheEdges)
{
    const struct {
        QPoint from;
        int dx, dy;
        NudgeSize size;
        QPoint expected;
    } rows[] = {
        {{10, 10}, 1, 0, NudgeSize::Pixel, {11, 10}},
        {{10, 10}, 0, -1, NudgeSize::TenPixels, {10, 0}},
        {{5, 10}, -1, 0, NudgeSize::TenPixels, {0, 10}},    // stops at 0
        {{195, 10}, 1, 0, NudgeSize::TenPixels, {200, 10}}, // 300 - 100: stops at the edge
        {{200, 150}, 1, 1, NudgeSize::Pixel, {200, 150}},   // already at the far corner
        {{0, 0}, 1, 0, NudgeSize::Tile, {100, 0}},          // the next tile across: the cut width
        {{0, 0}, 0, 1, NudgeSize::Tile, {0, 50}},           // and down: the cut height
        {{150, 120}, 1, 1, NudgeSize::Tile, {200, 150}},    // the last tile stops at the edge
        {{40, 30}, -1, -1, NudgeSize::Tile, {0, 0}},
    };
    for (const auto &row : rows) {
        CutFrame frame(QSize(300, 200), QSize(100, 50), row.from);
        frame.nudge(row.dx, row.dy, row.size);
        EXPECT_EQ(frame.position(), row.expected)
            << row.from.x() << "," << row.from.y() << " by " << row.dx << "," << row.dy;
    }
}

// The 24-bit cut under the frame. Catches a cut taken from the wrong place, a palette or alpha
// picture not converted as To24Bit converts it, a stale buffer left outside the picture, and a
// cut made at a size no picture may have.
TEST(CopyOverWhite, CopiesThe24BitPixelsUnderTheArea)
{
    const QImage picture = Numbered(40, 30);
    QImage cut;
    CopyOverWhite(picture, QRect(10, 10, 4, 3), cut);
    ASSERT_EQ(cut.format(), kPictureFormat);
    EXPECT_EQ(cut, picture.copy(10, 10, 4, 3));

    QImage palette(16, 16, QImage::Format_Indexed8);
    QList<QRgb> colours;
    for (int i = 0; i < 256; ++i)
        colours << qRgb(i, 255 - i, (i * 3) % 256);
    palette.setColorTable(colours);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            palette.setPixel(x, y, uint(y * 16 + x));
    CopyOverWhite(palette, QRect(11, 12, 5, 4), cut);
    EXPECT_EQ(cut, To24Bit(palette).copy(11, 12, 5, 4));

    QImage alpha(4, 4, QImage::Format_ARGB32);
    alpha.fill(qRgba(0, 0, 0, 0));
    cut.fill(Qt::black); // the buffer is reused: nothing of it may show
    CopyOverWhite(alpha, QRect(2, 2, 4, 3), cut);
    EXPECT_EQ(cut, WhitePicture(4, 3)); // transparent over white, and white beyond the picture

    CopyOverWhite(picture, QRect(0, 0, INT_MAX, 5), cut);
    EXPECT_TRUE(cut.isNull());
}

} // namespace
