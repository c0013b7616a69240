// SPDX-License-Identifier: GPL-3.0-or-later
// Sprites found on a sheet without a grid, and grids guessed on sheets with one: the boxes, their
// order, the joining and the specks, on transparency, on a flat colour and in a JPEG's noise.
#include "core/base/io_error.h"
#include "core/image/jpeg_codec.h"
#include "core/image/picture.h"
#include "core/image/plugin_reading.h"
#include "core/image/png_format.h"
#include "core/sequence/frame_output.h"
#include "core/sequence/grid_guess.h"
#include "core/sequence/sprite_finding.h"

#include "cut_run.h"
#include "pictures.h"
#include "test_files.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <vector>

namespace {

const QRgb kSheetColour = qRgb(200, 220, 240);

// The sheet's shapes, each drawn as rectangles of one colour. Row one is led by A; H overlaps
// A's rows only at its top, so it still belongs to row one, after C. C is two squares that meet
// at a corner, one sprite where pixels join diagonally. D's sword stands 3 pixels from its body.
// The speck is smaller than the 4 pixels a sprite needs.
struct Shape {
    QRgb colour;
    std::vector<QRect> parts;
};
const std::vector<Shape> kShapes{
    {qRgb(160, 20, 20), {{5, 4, 20, 30}}}, // A
    {qRgb(20, 40, 160),
     {{40, 8, 25, 4}, {40, 29, 25, 4}, {40, 8, 4, 25}, {61, 8, 4, 25}}}, // B, a ring
    {qRgb(20, 120, 20), {{80, 5, 10, 10}, {90, 15, 10, 10}}},            // C
    {qRgb(90, 30, 120), {{100, 30, 10, 30}}},                            // H
    {qRgb(30, 30, 30), {{10, 50, 20, 20}}},                              // D's body
    {qRgb(150, 110, 0), {{33, 52, 3, 15}}},                              // D's sword
    {qRgb(0, 0, 0), {{60, 60, 1, 2}}},                                   // a speck
};
const std::vector<QRect> kBoxes{{5, 4, 20, 30},    {40, 8, 25, 25},  {80, 5, 20, 20},
                                {100, 30, 10, 30}, {10, 50, 20, 20}, {33, 52, 3, 15}};
const std::vector<QRect> kJoinedBoxes{
    {5, 4, 20, 30}, {40, 8, 25, 25}, {80, 5, 20, 20}, {100, 30, 10, 30}, {10, 50, 26, 20}};

QImage sheet(QRgb background)
{
    QImage picture(120, 75, QImage::Format_ARGB32);
    picture.fill(background);
    for (const Shape &shape : kShapes)
        for (const QRect &part : shape.parts)
            for (int y = part.top(); y <= part.bottom(); ++y)
                for (int x = part.left(); x <= part.right(); ++x)
                    picture.setPixel(x, y, shape.colour);
    return picture;
}

SpriteSearch searchFor(BackgroundKind kind, int tolerance, int merge)
{
    SpriteSearch search;
    search.background = {kind, kSheetColour, tolerance};
    search.mergeDistance = merge;
    return search;
}

// Each box found beside the one drawn, in order, within slack pixels on every side.
void expectBoxes(const std::vector<QRect> &found, const std::vector<QRect> &drawn, int slack)
{
    ASSERT_EQ(found.size(), drawn.size());
    for (size_t i = 0; i < drawn.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "box " << i);
        EXPECT_LE(std::abs(found[i].left() - drawn[i].left()), slack);
        EXPECT_LE(std::abs(found[i].top() - drawn[i].top()), slack);
        EXPECT_LE(std::abs(found[i].right() - drawn[i].right()), slack);
        EXPECT_LE(std::abs(found[i].bottom() - drawn[i].bottom()), slack);
    }
}

// The boxes of a sheet drawn with known shapes, as a PNG on transparency and on a colour and as a
// JPEG at quality 85. Catches 4-connected groups (C split in two), a row taken by the top of each
// box instead of its leader's span (H moved to row two), the joining off by one (D's sword, 3
// pixels off, joined at 4 and not at 3), specks kept or dropped before the joining, the corner
// colour misread, and a tolerance that lets the JPEG's noise grow boxes by more than a pixel.
TEST(FindSprites, BoxesOfTheDrawnSpritesInReadingOrder)
{
    const QImage onColour = To24Bit(sheet(kSheetColour));
    const QImage png = DecodePicture(EncodePng(sheet(qRgba(0, 0, 0, 0))), ContentKind::Png, "t");
    const QImage jpeg = DecodeJpeg(EncodeJpeg(onColour, 85), "t");
    const struct {
        const char *name;
        const QImage &picture;
        SpriteSearch search;
        const std::vector<QRect> &boxes;
        int slack;
    } rows[] = {
        {"transparent", png, searchFor(BackgroundKind::Transparent, 0, 0), kBoxes, 0},
        {"transparent, joined", png, searchFor(BackgroundKind::Transparent, 0, 4), kJoinedBoxes, 0},
        {"gap of 3 is not closer than 3", png, searchFor(BackgroundKind::Transparent, 0, 3), kBoxes,
         0},
        {"corner colour", onColour, searchFor(BackgroundKind::Corner, 0, 4), kJoinedBoxes, 0},
        {"colour given", onColour, searchFor(BackgroundKind::Colour, 0, 0), kBoxes, 0},
        {"JPEG", jpeg, searchFor(BackgroundKind::Corner, 48, 4), kJoinedBoxes, 1},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        expectBoxes(FindSprites(row.picture, row.search), row.boxes, row.slack);
    }
    EXPECT_EQ(DefaultBackground(png, ContentKind::Png).kind, BackgroundKind::Transparent);
    EXPECT_EQ(DefaultBackground(jpeg, ContentKind::Jpeg).tolerance, kJpegBackgroundTolerance);
}

// A background that cannot be told is refused rather than taken as a guess: catches the whole
// picture returned as one sprite (no transparent pixel, or an alpha channel no pixel uses) and a
// corner colour chosen when all four differ.
TEST(FindSprites, RefusesABackgroundItCannotTell)
{
    QImage opaqueWithAlpha = sheet(kSheetColour);
    EXPECT_EQ(DefaultBackground(opaqueWithAlpha, ContentKind::Bmp).kind, BackgroundKind::Corner);
    const SpriteSearch transparent = searchFor(BackgroundKind::Transparent, 0, 0);
    EXPECT_EQ(FailureOf([&] { FindSprites(opaqueWithAlpha, transparent); }), NoTransparencyText());
    opaqueWithAlpha.setPixel(0, 0, qRgb(1, 2, 3));
    opaqueWithAlpha.setPixel(119, 74, qRgb(4, 5, 6));
    opaqueWithAlpha.setPixel(0, 74, qRgb(7, 8, 9));
    EXPECT_NE(
        FailureOf([&] { FindSprites(opaqueWithAlpha, searchFor(BackgroundKind::Corner, 0, 0)); }),
        QString());
}

// The found sprites written where one size is needed: each frame in the middle of the largest
// box on the colour it was found on. Catches frames set at the corner, the odd pixel on the wrong
// side, and white (or black) around sprites found on another colour.
TEST(FindSprites, FramesOfOneSizeStandOnTheBackground)
{
    QTemporaryDir dir;
    const QImage picture = To24Bit(sheet(kSheetColour));
    CutJob job = JobOf(CutKind::Auto);
    job.sprites = searchFor(BackgroundKind::Corner, 0, 4);
    job.output.kind = OutputKind::Sheet;
    job.output.path = dir.filePath("found.png");
    job.output.sheet.columns = 5;
    const std::unique_ptr<FrameRun> run = CutRun(picture, QRect(0, 0, 1, 1), job);
    ASSERT_EQ(run->count(), 5);
    EXPECT_EQ(run->frameSize(), QSize(26, 30));
    WriteFrameOutput(*run, job.output);
    const QImage written = PixelsOf(job.output.path);
    for (int k = 1; k <= run->count(); ++k) {
        const QRect box = kJoinedBoxes[size_t(k - 1)];
        const QRect cell((k - 1) * 26, 0, 26, 30);
        const QPoint at = cell.topLeft() + QPoint((26 - box.width()) / 2, (30 - box.height()) / 2);
        QImage expected(cell.size(), kPictureFormat);
        expected.fill(QColor(kSheetColour));
        for (int y = 0; y < box.height(); ++y)
            for (int x = 0; x < box.width(); ++x)
                expected.setPixel(at.x() - cell.x() + x, at.y() - cell.y() + y,
                                  picture.pixel(box.x() + x, box.y() + y));
        EXPECT_EQ(written.copy(cell), expected) << "frame " << k;
    }
}

// A sheet of cells: columns x rows cells of `cell` from offset, gap apart, each filled but for
// those in `empty`, or holding a sprite of `sprite` in its middle when given.
QImage gridSheet(QSize cell, QPoint offset, QSize gap, int columns, int rows,
                 const std::vector<int> &empty = {}, QSize sprite = {})
{
    QImage picture(offset.x() + columns * (cell.width() + gap.width()) + 3,
                   offset.y() + rows * (cell.height() + gap.height()) + 2, kPictureFormat);
    picture.fill(Qt::white);
    for (int i = 0; i < columns * rows; ++i) {
        if (std::find(empty.begin(), empty.end(), i) != empty.end())
            continue;
        QRect area(offset.x() + (i % columns) * (cell.width() + gap.width()),
                   offset.y() + (i / columns) * (cell.height() + gap.height()), cell.width(),
                   cell.height());
        if (sprite.isValid())
            area = QRect(area.topLeft() + QPoint((cell.width() - sprite.width()) / 2,
                                                 (cell.height() - sprite.height()) / 2),
                         sprite);
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                picture.setPixel(x, y, qRgb(40 * (i % 6), 200 - 10 * i, (x * 7 + y) % 256));
    }
    return picture;
}

// The grid guessed on sheets drawn with a known one. Catches an offset measured from the wrong
// edge, the gap taken for part of the cell, a cell that is an empty cell's multiple, rows and
// columns swapped, and a grid reported for sprites that lie on none.
TEST(GuessGrid, CellOffsetAndGapsOfDrawnSheets)
{
    const struct {
        const char *name;
        QImage picture;
        std::optional<GridGuess> grid;
    } rows[] = {
        {"offset and gaps", gridSheet({32, 40}, {5, 7}, {3, 2}, 4, 3),
         GridGuess{{32, 40}, {5, 7}, {3, 2}, 4, 3}},
        {"from the corner, one row", gridSheet({16, 16}, {0, 0}, {1, 4}, 8, 1),
         GridGuess{{16, 16}, {0, 0}, {1, 0}, 8, 1}},
        {"empty cells", gridSheet({24, 20}, {2, 9}, {6, 5}, 5, 4, {1, 7, 8, 19}),
         GridGuess{{24, 20}, {2, 9}, {6, 5}, 5, 4}},
        {"sprites smaller than their cells",
         gridSheet({32, 32}, {0, 0}, {0, 0}, 3, 2, {}, {20, 12}),
         GridGuess{{20, 12}, {6, 10}, {12, 20}, 3, 2}},
        {"no grid", To24Bit(sheet(qRgb(255, 255, 255))), std::nullopt},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        const std::optional<GridGuess> grid = GuessGrid(row.picture, SpriteBackground{});
        ASSERT_EQ(grid.has_value(), row.grid.has_value());
        if (!grid)
            continue;
        EXPECT_EQ(grid->cell, row.grid->cell);
        EXPECT_EQ(grid->offset, row.grid->offset);
        EXPECT_EQ(grid->gap, row.grid->gap);
        EXPECT_EQ(grid->columns, row.grid->columns);
        EXPECT_EQ(grid->rows, row.grid->rows);
    }
}

} // namespace
