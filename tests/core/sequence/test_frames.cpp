// SPDX-License-Identifier: GPL-3.0-or-later
// Frame names and continuous cutting: counts, positions, pixels, and the frame put back.
#include "core/base/io_error.h"
#include "core/image/picture.h"
#include "core/sequence/continuous_cut.h"
#include "core/sequence/frame_files.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

TEST(FrameFileName, FolderBaseNameAndPaddedNumber)
{
    const struct {
        const char *path;
        int frame;
        const char *expected;
    } rows[] = {
        {"/anim/walk", 1, "/anim/walk001.bmp"},
        {"/anim/walk", 21, "/anim/walk021.bmp"},
        {"/anim/walk", 100, "/anim/walk100.bmp"},
        {"/anim/walk", 1000, "/anim/walk1000.bmp"}, // wider than the padding: not shortened
        {"/anim/walk", 1234, "/anim/walk1234.bmp"},
        {"/walk", 5, "/walk005.bmp"}, // directly in the root: one slash
        // The frames' own extension typed with the base goes, once and in any case; catches
        // walk.bmp001.bmp, and a strip that eats more than the one ending or reaches the folder.
        {"/anim/walk.bmp", 12, "/anim/walk012.bmp"},
        {"walk.BMP", 1, "walk001.bmp"},
        {"/anim/walk.bmp.bmp", 2, "/anim/walk.bmp002.bmp"},
        {"/anim/walk.bmp.bak", 2, "/anim/walk.bmp.bak002.bmp"},
        {"/anim/walkbmp", 2, "/anim/walkbmp002.bmp"},
        {"/anim.bmp/walk", 2, "/anim.bmp/walk002.bmp"},
        {"/anim/.Bmp", 2, "/anim/002.bmp"},
        {"/anim//walk", 3, "/anim/walk003.bmp"}, // doubled slash collapses
        {"//walk", 3, "/walk003.bmp"},
        {"walk", 7, "walk007.bmp"}, // relative names stay relative
        {"anim/walk", 7, "anim/walk007.bmp"},
        {"/a b/歩く", 9, "/a b/歩く009.bmp"},
        {"/anim/", 1, "/anim/001.bmp"}, // empty base name
    };
    for (const auto &row : rows)
        EXPECT_EQ(FrameFileName(QString::fromUtf8(row.path), row.frame),
                  QString::fromUtf8(row.expected))
            << row.path << " frame " << row.frame;
}

// Every pixel tells where it came from, so a wrongly placed cut cannot pass.
QImage numbered(int width, int height)
{
    QImage picture(width, height, kPictureFormat);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.setPixel(x, y, qRgb(x % 256, y % 256, (x / 256) * 16 + y / 256));
    return picture;
}

Workspace cutting(int canvasW, int canvasH, int cutW, int cutH, int x, int y, int step,
                  Direction direction)
{
    Workspace ws;
    ws.WorkImage = numbered(canvasW, canvasH);
    ws.CanvasWidth = canvasW;
    ws.CanvasHeight = canvasH;
    ws.CutWidth = cutW;
    ws.CutHeight = cutH;
    ws.FrameX = x;
    ws.FrameY = y;
    ws.FrameStep = step;
    ws.FrameDirection = direction;
    FillCutImage(ws);
    return ws;
}

struct Written {
    QString path;
    QPoint frame;
    QImage picture;
};

TEST(ContinuousCutting, FrameCountIsEveryPositionThatFits)
{
    const struct {
        int canvasW, canvasH, cutW, cutH, x, y, step;
        Direction direction;
        int expected;
    } rows[] = {
        {100, 50, 40, 10, 0, 0, 15, Direction::Right, 5},  // x = 0, 15, 30, 45, 60
        {100, 50, 40, 10, 60, 0, 15, Direction::Right, 1}, // at the right edge: only the start
        {100, 50, 40, 10, 50, 0, 15, Direction::Right, 1}, // room 10 < step
        {100, 50, 40, 10, 45, 0, 15, Direction::Right, 2}, // room of exactly one step
        {100, 50, 40, 10, 0, 0, 15, Direction::Left, 1},   // top-left corner
        {100, 50, 40, 10, 0, 0, 15, Direction::Up, 1},
        {300, 300, 10, 100, 0, 50, 8, Direction::Down, 19}, // 150 / 8 = 18.75 -> 18 steps
        {300, 10, 40, 10, 100, 0, 15, Direction::Left, 7},  // 100 / 15 = 6 steps
        {10, 300, 10, 40, 0, 100, 15, Direction::Up, 7},
        {120, 60, 40, 20, 0, 0, 40, Direction::Right, 3}, // whole tiles
        {120, 60, 40, 20, 0, 0, 20, Direction::Down, 3},
        {100, 50, 40, 10, 0, 0, 0, Direction::Right, 1}, // no step: no move
        {100, 50, 40, 10, 0, 0, -5, Direction::Right, 1},
        {100, 50, 120, 10, -20, 0, 15, Direction::Right, 1}, // a cut wider than the canvas
    };
    for (const auto &row : rows) {
        Workspace ws;
        ws.CanvasWidth = row.canvasW;
        ws.CanvasHeight = row.canvasH;
        ws.CutWidth = row.cutW;
        ws.CutHeight = row.cutH;
        ws.FrameX = row.x;
        ws.FrameY = row.y;
        ws.FrameStep = row.step;
        ws.FrameDirection = row.direction;
        EXPECT_EQ(ContinuousFrameCount(ws), row.expected)
            << "direction " << int(row.direction) << " at " << row.x << "," << row.y << " step "
            << row.step;
        EXPECT_EQ(WholeSteps(ws), row.expected - 1);
    }
}

TEST(ContinuousCutting, FramesShowTheCutAtEachPositionAndTheFrameReturns)
{
    const struct {
        int canvasW, canvasH, cutW, cutH, x, y, step;
        Direction direction;
        std::vector<QPoint> positions;
    } rows[] = {
        {100, 30, 40, 10, 0, 5, 15, Direction::Right, {{0, 5}, {15, 5}, {30, 5}, {45, 5}, {60, 5}}},
        {300,
         20,
         40,
         10,
         100,
         3,
         15,
         Direction::Left,
         {{100, 3}, {85, 3}, {70, 3}, {55, 3}, {40, 3}, {25, 3}, {10, 3}}},
        {20, 40, 10, 10, 4, 30, 12, Direction::Up, {{4, 30}, {4, 18}, {4, 6}}},
        {20, 40, 10, 16, 4, 0, 12, Direction::Down, {{4, 0}, {4, 12}, {4, 24}}},
        {120, 40, 40, 20, 0, 20, 40, Direction::Right, {{0, 20}, {40, 20}, {80, 20}}}, // tiles
        {100, 30, 40, 10, 7, 8, 0, Direction::Right, {{7, 8}}},
    };
    for (const auto &row : rows) {
        Workspace ws = cutting(row.canvasW, row.canvasH, row.cutW, row.cutH, row.x, row.y, row.step,
                               row.direction);
        const QImage startCut = ws.CutImage.copy();
        std::vector<Written> written;
        std::vector<std::pair<int, int>> told;
        WriteContinuousFrames(
            ws, "/anim/walk",
            [&](const QString &path, const QImage &picture) {
                written.push_back({path, {ws.FrameX, ws.FrameY}, picture.copy()});
            },
            [&](int k, int n) { told.emplace_back(k, n); });

        const int n = int(row.positions.size());
        ASSERT_EQ(int(written.size()), n) << "direction " << int(row.direction);
        for (int k = 1; k <= n; ++k) {
            const Written &frame = written[k - 1];
            const QPoint at = row.positions[k - 1];
            EXPECT_EQ(frame.path, FrameFileName("/anim/walk", k));
            EXPECT_EQ(frame.frame, at) << "frame " << k;
            EXPECT_EQ(frame.picture, ws.WorkImage.copy(at.x(), at.y(), row.cutW, row.cutH))
                << "pixels of frame " << k << " direction " << int(row.direction);
            EXPECT_EQ(told[k - 1], std::make_pair(k, n));
        }
        EXPECT_EQ(ws.FrameX, row.x);
        EXPECT_EQ(ws.FrameY, row.y);
        EXPECT_EQ(ws.CutImage, startCut) << "direction " << int(row.direction);
    }
}

// A sheet of tiles: tile (column, row) of a cut wide and high, with gap pixels of gray between
// them, is one colour when listed in `plain`, otherwise a pattern.
QImage sheet(int columns, int rows, QSize cut, QSize gap, const std::vector<QPoint> &plain)
{
    QImage picture(columns * (cut.width() + gap.width()), rows * (cut.height() + gap.height()),
                   kPictureFormat);
    picture.fill(qRgb(128, 128, 128));
    for (int row = 0; row < rows; ++row)
        for (int column = 0; column < columns; ++column) {
            const bool one =
                std::find(plain.begin(), plain.end(), QPoint(column, row)) != plain.end();
            const QPoint at(column * (cut.width() + gap.width()),
                            row * (cut.height() + gap.height()));
            for (int y = 0; y < cut.height(); ++y)
                for (int x = 0; x < cut.width(); ++x)
                    picture.setPixel(at + QPoint(x, y), one ? qRgb(255, 255, 255)
                                                            : qRgb(column * 40, row * 40, x + y));
        }
    return picture;
}

// The grid writes every whole tile from the frame, left to right then down, numbered in reading
// order with skipped tiles taking no number. Catches a gap added once too often or not at all, a
// partial tile at the right or bottom edge written, a column-first order, a skipped tile leaving
// a hole in the numbers, and a tile that differs only slightly taken for an empty one.
TEST(GridCutting, TilesInReadingOrderWithGapsAndSkippedTiles)
{
    const QSize cut(8, 6);
    const struct {
        const char *label;
        QImage picture;
        QPoint frame;
        QSize gap;
        bool skipEmpty;
        std::vector<QPoint> positions;
    } rows[] = {
        {"3 x 2 sheet, no gap",
         sheet(3, 2, cut, {0, 0}, {}),
         {0, 0},
         {0, 0},
         false,
         {{0, 0}, {8, 0}, {16, 0}, {0, 6}, {8, 6}, {16, 6}}},
        {"gaps of 2 and 1",
         sheet(3, 2, cut, {2, 1}, {}),
         {0, 0},
         {2, 1},
         false,
         {{0, 0}, {10, 0}, {20, 0}, {0, 7}, {10, 7}, {20, 7}}},
        {"from the second tile: partial tiles left out",
         sheet(3, 2, cut, {0, 0}, {}),
         {5, 2},
         {0, 0},
         false,
         {{5, 2}, {13, 2}}},
        {"the empty cells of the last row skipped",
         sheet(3, 2, cut, {2, 1}, {{1, 1}, {2, 1}}),
         {0, 0},
         {2, 1},
         true,
         {{0, 0}, {10, 0}, {20, 0}, {0, 7}}},
        {"empty cells kept without the option",
         sheet(2, 1, cut, {0, 0}, {{1, 0}}),
         {0, 0},
         {0, 0},
         false,
         {{0, 0}, {8, 0}}},
        {"every cell empty", sheet(2, 1, cut, {0, 0}, {{0, 0}, {1, 0}}), {0, 0}, {0, 0}, true, {}},
    };
    for (const auto &row : rows) {
        Workspace ws;
        SetWorkPicture(ws, row.picture);
        ws.CutWidth = cut.width();
        ws.CutHeight = cut.height();
        ws.FrameX = row.frame.x();
        ws.FrameY = row.frame.y();
        ws.FrameDirection = Direction::Grid;
        ws.GridGapX = row.gap.width();
        ws.GridGapY = row.gap.height();
        ws.SkipEmptyTiles = row.skipEmpty;
        FillCutImage(ws);
        EXPECT_EQ(ContinuousFrameCount(ws), int(row.positions.size())) << row.label;
        std::vector<Written> written;
        WriteContinuousFrames(ws, "/sheet/tile", [&](const QString &path, const QImage &picture) {
            written.push_back({path, {ws.FrameX, ws.FrameY}, picture.copy()});
        });
        ASSERT_EQ(written.size(), row.positions.size()) << row.label;
        for (size_t k = 0; k < written.size(); ++k) {
            const QPoint at = row.positions[k];
            EXPECT_EQ(written[k].path, FrameFileName("/sheet/tile", int(k) + 1)) << row.label;
            EXPECT_EQ(written[k].picture, row.picture.copy(QRect(at, cut)))
                << row.label << ", frame " << k + 1;
        }
        EXPECT_EQ(QPoint(ws.FrameX, ws.FrameY), row.frame) << row.label; // put back
    }
    // One pixel off the tile's colour makes it a tile worth writing.
    QImage almost = sheet(2, 1, cut, {0, 0}, {{1, 0}});
    almost.setPixel(15, 5, qRgb(255, 255, 254));
    Workspace ws;
    SetWorkPicture(ws, almost);
    ws.CutWidth = cut.width();
    ws.CutHeight = cut.height();
    ws.FrameDirection = Direction::Grid;
    ws.SkipEmptyTiles = true;
    EXPECT_EQ(ContinuousFrameCount(ws), 2);
}

// A retry after a failure must write frame 001 from the start again. Catches CutImage left
// holding the cut of the failed position (001 written from x = 30).
TEST(ContinuousCutting, AFailingWriterStopsTheRunAndARetryStartsFromTheStart)
{
    Workspace ws = cutting(100, 30, 40, 10, 0, 5, 15, Direction::Right);
    std::vector<QString> written;
    int told = 0;
    const auto writer = [&](const QString &path, const QImage &) {
        if (written.size() == 2)
            throw Failure(path + " に書き込めません");
        written.push_back(path);
    };
    EXPECT_THROW(WriteContinuousFrames(ws, "/anim/walk", writer, [&](int, int) { ++told; }),
                 Failure);
    EXPECT_EQ(written, (std::vector<QString>{"/anim/walk001.bmp", "/anim/walk002.bmp"}));
    EXPECT_EQ(told, 2);
    EXPECT_EQ(ws.FrameX, 0);
    EXPECT_EQ(ws.FrameY, 5);

    std::vector<QImage> retried;
    WriteContinuousFrames(ws, "/anim/walk", [&](const QString &, const QImage &picture) {
        retried.push_back(picture.copy());
    });
    ASSERT_EQ(retried.size(), 5u);
    for (size_t k = 0; k < retried.size(); ++k)
        EXPECT_EQ(retried[k], ws.WorkImage.copy(int(15 * k), 5, 40, 10)) << "frame " << k + 1;
}

// The names asked about before a run must be the names the run writes. Catches a check that
// builds its own names (walk.BMP001.bmp), stops at the first gap, looks past the run's last frame
// or misses a broken link the run would write through.
TEST(ExistingFrameFiles, AreTheRunsOwnNamesAlreadyTaken)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString base = dir.path() + "/walk.BMP";
    Workspace ws = cutting(100, 30, 40, 10, 0, 5, 15, Direction::Right); // 5 frames
    EXPECT_EQ(ExistingFrameFiles(base, 5), QStringList());

    QStringList written;
    WriteContinuousFrames(ws, base, [&](const QString &path, const QImage &) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
        written.append(path);
    });
    ASSERT_EQ(written.size(), 5);
    EXPECT_EQ(ExistingFrameFiles(base, 5), written);

    for (const char *other : {"/walk.BMP001.bmp", "/walk006.bmp"}) // not of the run, beyond it
        ASSERT_TRUE(QFile(dir.path() + other).open(QIODevice::WriteOnly));
    ASSERT_TRUE(QFile::remove(written[0]));
    ASSERT_TRUE(QFile::remove(written[2]));
    ASSERT_TRUE(QFile::link(dir.path() + "/nowhere", written[2]));
    const QStringList found = ExistingFrameFiles(base, 5);
    EXPECT_EQ(found, (QStringList{written[1], written[2], written[3], written[4]}))
        << found.join(u' ').toStdString();
}

} // namespace
