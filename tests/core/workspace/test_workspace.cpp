// SPDX-License-Identifier: GPL-3.0-or-later
// The workspace routines: start canvas, frame clamp, FillCutImage, placing an edit result.
#include "core/image/picture.h"
#include "core/workspace/workspace.h"

#include <gtest/gtest.h>

namespace {

QImage numbered(int width, int height)
{
    QImage picture(width, height, kPictureFormat);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.setPixel(x, y, qRgb(x % 256, y % 256, (x * 7 + y * 13) % 256));
    return picture;
}

Workspace withPicture(const QImage &picture, int cutWidth, int cutHeight)
{
    Workspace ws;
    ws.WorkImage = picture;
    ws.CanvasWidth = picture.width();
    ws.CanvasHeight = picture.height();
    ws.CutWidth = cutWidth;
    ws.CutHeight = cutHeight;
    return ws;
}

TEST(Workspace, ResetCanvasMakesFiveWhite24BitBitmapsAndNoUndo)
{
    Workspace ws;
    ws.UndoImage = numbered(3, 3);
    ResetCanvasImages(ws, 200, 100);
    for (const QImage *bitmap :
         {&ws.WorkImage, &ws.CutImage, &ws.FrameImage, &ws.ViewImage, &ws.BlendImage}) {
        ASSERT_EQ(bitmap->size(), QSize(200, 100));
        ASSERT_EQ(bitmap->format(), kPictureFormat);
        QImage white = WhitePicture(200, 100);
        EXPECT_EQ(*bitmap, white);
    }
    EXPECT_TRUE(ws.UndoImage.isNull());
    EXPECT_EQ(ws.CanvasWidth, 200);
    EXPECT_EQ(ws.CanvasHeight, 100);
}

TEST(Workspace, FrameClampKeepsTheFrameInsideThePicture)
{
    const struct {
        int cutW, cutH, x, y, expectedX, expectedY;
    } rows[] = {
        {100, 50, 120, 40, 120, 40},   // inside: unchanged
        {100, 50, 280, 190, 200, 150}, // past the bottom-right: the frame touches both edges
        {100, 50, -30, 60, 0, 60},     // left of the picture
        {100, 50, 50, -1, 50, 0},
        {100, 50, 200, 150, 200, 150}, // exactly on the largest position
        {300, 200, 120, 40, 0, 0},     // a cut as large as the canvas cannot move
        {300, 200, -5, 999, 0, 0},
        // Cut sizes read from set.ini before the first picture: canvas - cut overflowed 32 bits.
        {INT32_MIN, INT32_MIN, 120, 40, 120, 40},
        {-5, -5, 120, 40, 120, 40},
        {INT32_MAX, 50, 120, 40, 300 - INT32_MAX, 40},
    };
    for (const auto &row : rows) {
        Workspace ws = withPicture(WhitePicture(300, 200), row.cutW, row.cutH);
        ws.FrameX = row.x;
        ws.FrameY = row.y;
        ClampFrame(ws);
        EXPECT_EQ(ws.FrameX, row.expectedX) << row.x << "," << row.y;
        EXPECT_EQ(ws.FrameY, row.expectedY) << row.x << "," << row.y;
    }
}

// Mistake: a cut side from set.ini below 1, or too large to make, still copies pixels into the
// CutImage that could not be made.
TEST(Workspace, FillCutImageMakesNoCutOfAnAbsurdSize)
{
    const struct {
        int cutW, cutH, x;
    } rows[] = {{INT32_MIN, 5, 0}, {-5, 10, 10}, {0, 10, 0}, {INT32_MAX, 5, 0}};
    for (const auto &row : rows) {
        Workspace ws = withPicture(numbered(30, 20), row.cutW, row.cutH);
        ws.FrameX = row.x;
        FillCutImage(ws);
        EXPECT_TRUE(ws.CutImage.isNull()) << row.cutW;
    }
}

TEST(Workspace, FillCutImageCopiesThePixelsUnderTheFrame)
{
    Workspace ws = withPicture(numbered(40, 30), 4, 3);
    ws.FrameX = 10;
    ws.FrameY = 10;
    FillCutImage(ws);
    ASSERT_EQ(ws.CutImage.size(), QSize(4, 3));
    ASSERT_EQ(ws.CutImage.format(), kPictureFormat);
    EXPECT_EQ(ws.CutImage, ws.WorkImage.copy(10, 10, 4, 3));
}

TEST(Workspace, FillCutImageOfAPalettePictureGivesTheSameColoursIn24Bit)
{
    QImage palette(16, 16, QImage::Format_Indexed8);
    QList<QRgb> colours;
    for (int i = 0; i < 256; ++i)
        colours << qRgb(i, 255 - i, (i * 3) % 256);
    palette.setColorTable(colours);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            palette.setPixel(x, y, uint(y * 16 + x));
    Workspace ws = withPicture(palette, 5, 4);
    ws.FrameX = 11;
    ws.FrameY = 12;
    FillCutImage(ws);
    ASSERT_EQ(ws.CutImage.format(), kPictureFormat);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(ws.CutImage.pixel(x, y), palette.pixel(11 + x, 12 + y));
    EXPECT_EQ(ws.WorkImage.format(), QImage::Format_Indexed8); // the picture keeps its depth
}

TEST(Workspace, FillCutImageAtTheBottomRightCorner)
{
    Workspace ws = withPicture(numbered(300, 200), 100, 50);
    ws.FrameX = 1000;
    ws.FrameY = 1000;
    ClampFrame(ws);
    FillCutImage(ws);
    EXPECT_EQ(ws.CutImage, ws.WorkImage.copy(200, 150, 100, 50));
}

TEST(Workspace, LowerCutToCanvasOnlyLowers)
{
    Workspace ws = withPicture(WhitePicture(50, 40), 100, 100);
    LowerCutToCanvas(ws);
    EXPECT_EQ(ws.CutWidth, 50);
    EXPECT_EQ(ws.CutHeight, 40);
    ws.CutWidth = 20;
    LowerCutToCanvas(ws);
    EXPECT_EQ(ws.CutWidth, 20);
}

TEST(Workspace, PlaceEditResultChangesTheCanvasOnlyForSizeChangingEdits)
{
    Workspace ws = withPicture(numbered(300, 200), 250, 150);
    ws.FrameX = 30;
    ws.FrameY = 20;
    ws.UndoImage = ws.WorkImage;
    const QImage undo = ws.UndoImage;

    PlaceEditResult(ws, numbered(120, 90), EditResultKind::ChangesSize);
    EXPECT_EQ(ws.WorkImage, numbered(120, 90));
    EXPECT_EQ(ws.CanvasWidth, 120);
    EXPECT_EQ(ws.CanvasHeight, 90);
    EXPECT_EQ(ws.CutWidth, 120);
    EXPECT_EQ(ws.CutHeight, 90);
    EXPECT_EQ(ws.FrameX, 30); // an edit never moves the frame; the next drawing clamps it
    EXPECT_EQ(ws.FrameY, 20);
    EXPECT_EQ(ws.UndoImage, undo);

    QImage palette(120, 90, QImage::Format_Indexed8);
    palette.setColorTable({qRgb(1, 2, 3)});
    palette.fill(0);
    PlaceEditResult(ws, palette, EditResultKind::KeepsSize);
    EXPECT_EQ(ws.WorkImage.format(), kPictureFormat);
    EXPECT_EQ(ws.WorkImage.pixel(5, 5), qRgb(1, 2, 3));
}

// Keys move the frame and stop it at the picture's edges as a drag does. Catches a step that is
// not clamped (the frame past the edge), a clamp to the canvas instead of canvas - cut, a tile
// step taken from the wrong side of the cut, and ten-pixel steps that stop short of the edge.
TEST(Workspace, NudgeMovesTheFrameAndStopsAtTheEdges)
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
        Workspace ws = withPicture(numbered(300, 200), 100, 50);
        ws.FrameX = row.from.x();
        ws.FrameY = row.from.y();
        NudgeFrame(ws, row.dx, row.dy, row.size);
        EXPECT_EQ(QPoint(ws.FrameX, ws.FrameY), row.expected)
            << row.from.x() << "," << row.from.y() << " by " << row.dx << "," << row.dy;
    }
}

TEST(Workspace, SetPresetsKeepsAtMostOneHundred)
{
    std::vector<Preset> presets;
    for (int i = 0; i < 130; ++i)
        presets.push_back({QString::number(i), i, i + 1});
    Workspace ws;
    SetPresets(ws, presets);
    EXPECT_EQ(ws.PresetCount, kMaxPresets);
    EXPECT_EQ(ws.PresetNames[99], QStringLiteral("99"));
    EXPECT_EQ(ws.PresetHeights[99], 100);
    SetPresets(ws, {});
    EXPECT_EQ(ws.PresetCount, 0);
}

} // namespace
