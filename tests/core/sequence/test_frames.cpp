// SPDX-License-Identifier: GPL-3.0-or-later
// Frame names, and the frames MakeFrameRun cuts for each kind of job: counts, positions, pixels.
#include "core/image/picture.h"
#include "core/image/plugin_reading.h"
#include "core/sequence/frame_files.h"
#include "core/sequence/mixing.h"

#include "cut_run.h"
#include "pictures.h"

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

CutJob along(Direction direction, std::optional<int> step)
{
    CutJob job = JobOf(CutKind::Continuous);
    job.direction = direction;
    job.step = step;
    return job;
}

// The job-to-run table: for each kind of job, the places its frames are cut from, in order.
// Along a direction every position that fits is written, the start included; a step of the cut
// follows the direction's side. Catches a last whole step left out (or one too many, past the
// edge), a step taken from the wrong side of the cut for whole tiles, a direction turned the wrong
// way, a run that moves with no step, and a single cut that moves at all.
TEST(MakeFrameRun, CutsEachPositionTheJobAsksFor)
{
    std::vector<QPoint> down8; // 150 / 8 = 18.75: 18 whole steps of 8 from y = 50
    for (int k = 0; k <= 18; ++k)
        down8.push_back({0, 50 + 8 * k});
    const struct {
        const char *label;
        QSize picture;
        QRect frame;
        CutJob job;
        std::vector<QPoint> positions;
    } rows[] = {
        {"right by 15",
         {100, 30},
         {0, 5, 40, 10},
         along(Direction::Right, 15),
         {{0, 5}, {15, 5}, {30, 5}, {45, 5}, {60, 5}}},
        {"at the right edge: the start alone",
         {100, 50},
         {60, 0, 40, 10},
         along(Direction::Right, 15),
         {{60, 0}}},
        {"room of exactly one step",
         {100, 50},
         {45, 0, 40, 10},
         along(Direction::Right, 15),
         {{45, 0}, {60, 0}}},
        {"left",
         {300, 20},
         {100, 3, 40, 10},
         along(Direction::Left, 15),
         {{100, 3}, {85, 3}, {70, 3}, {55, 3}, {40, 3}, {25, 3}, {10, 3}}},
        {"up", {20, 40}, {4, 30, 10, 10}, along(Direction::Up, 12), {{4, 30}, {4, 18}, {4, 6}}},
        {"down by 8", {20, 300}, {0, 50, 10, 100}, along(Direction::Down, 8), down8},
        {"whole tiles across",
         {120, 40},
         {0, 20, 40, 20},
         along(Direction::Right, std::nullopt),
         {{0, 20}, {40, 20}, {80, 20}}},
        {"whole tiles down",
         {120, 60},
         {0, 0, 40, 20},
         along(Direction::Down, std::nullopt),
         {{0, 0}, {0, 20}, {0, 40}}},
        {"whole tiles up",
         {50, 100},
         {10, 70, 20, 30},
         along(Direction::Up, std::nullopt),
         {{10, 70}, {10, 40}, {10, 10}}},
        {"no step: no move", {100, 30}, {7, 8, 40, 10}, along(Direction::Right, 0), {{7, 8}}},
        {"a step below 0", {100, 30}, {7, 8, 40, 10}, along(Direction::Left, -5), {{7, 8}}},
        {"one cut", {100, 30}, {7, 8, 40, 10}, JobOf(CutKind::Single), {{7, 8}}},
    };
    for (const auto &row : rows) {
        const QImage picture = Numbered(row.picture.width(), row.picture.height());
        const std::unique_ptr<FrameRun> run = CutRun(picture, row.frame, row.job);
        ASSERT_EQ(run->count(), int(row.positions.size())) << row.label;
        EXPECT_EQ(run->frameSize(), row.frame.size()) << row.label;
        for (int k = 1; k <= run->count(); ++k)
            EXPECT_EQ(run->frame(k),
                      picture.copy(QRect(row.positions[size_t(k - 1)], row.frame.size())))
                << row.label << ", frame " << k;
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
        CutJob job = JobOf(CutKind::Grid);
        job.gridGap = row.gap;
        job.skipEmptyTiles = row.skipEmpty;
        const std::unique_ptr<FrameRun> run = CutRun(row.picture, QRect(row.frame, cut), job);
        ASSERT_EQ(run->count(), int(row.positions.size())) << row.label;
        for (int k = 1; k <= run->count(); ++k)
            EXPECT_EQ(run->frame(k), row.picture.copy(QRect(row.positions[size_t(k - 1)], cut)))
                << row.label << ", frame " << k;
    }
    // One pixel off the tile's colour makes it a tile worth writing.
    QImage almost = sheet(2, 1, cut, {0, 0}, {{1, 0}});
    almost.setPixel(15, 5, qRgb(255, 255, 254));
    CutJob skipping = JobOf(CutKind::Grid);
    skipping.skipEmptyTiles = true;
    EXPECT_EQ(CutRun(almost, QRect(QPoint(0, 0), cut), skipping)->count(), 2);
}

// Cuts keep the picture's alpha, whatever the output; a BMP file sees them over white. Blend and
// fade runs are 24-bit, their frame 1 the cut (or the fade's colour) and frame 21 the blend
// picture (or the cut). Catches alpha dropped, a BMP written with its transparent pixels black, a
// mix run cut from the wrong place, the blend picture not fitted to the cut, and the fade's colour
// turned round.
TEST(MakeFrameRun, CutsKeepAlphaAndMixesStartAndEndRight)
{
    QTemporaryDir dir;
    QImage picture = Numbered(40, 30).convertToFormat(QImage::Format_ARGB32);
    picture.setPixel(12, 11, qRgba(10, 20, 30, 0));
    const QRect frame(10, 10, 6, 4);
    CutJob job = JobOf(CutKind::Single);
    job.output.kind = OutputKind::OneFile;
    job.output.path = dir.filePath("cut.bmp");
    const std::unique_ptr<FrameRun> cut = CutRun(picture, frame, job);
    EXPECT_TRUE(cut->hasAlpha());
    EXPECT_EQ(cut->frame(1), picture.copy(frame));
    WriteFrameOutput(*cut, job.output);
    const QImage written = ReadPictureFile(job.output.path);
    EXPECT_EQ(written, To24Bit(picture.copy(frame)));
    EXPECT_EQ(written.pixel(2, 1), qRgb(255, 255, 255)); // transparent over white

    const QImage opaque = Numbered(40, 30);
    const QImage blend = Numbered(3, 2).mirrored(true, true); // smaller than the cut: padded
    const QImage opaqueCut = opaque.copy(frame);
    const std::unique_ptr<FrameRun> blended = CutRun(opaque, frame, JobOf(CutKind::Blend), blend);
    ASSERT_EQ(blended->count(), kMixFrames);
    EXPECT_EQ(blended->frame(1), opaqueCut);
    EXPECT_EQ(blended->frame(kMixFrames), FitToCut(blend, 6, 4));
    CutJob fade = JobOf(CutKind::Fade);
    fade.fadeColour = FadeColour::Black;
    const std::unique_ptr<FrameRun> faded = CutRun(opaque, frame, fade);
    QImage black(6, 4, kPictureFormat);
    black.fill(Qt::black);
    EXPECT_EQ(faded->frame(1), black);
    EXPECT_EQ(faded->frame(kMixFrames), opaqueCut);
}

// The names asked about before a run must be the names the run writes. Catches a check that
// builds its own names (walk.BMP001.bmp), stops at the first gap, looks past the run's last frame
// or misses a broken link the run would write through.
TEST(ExistingFrameFiles, AreTheRunsOwnNamesAlreadyTaken)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString base = dir.path() + "/walk.BMP";
    EXPECT_EQ(ExistingFrameFiles(base, 5), QStringList());

    QStringList written;
    for (int k = 1; k <= 5; ++k) {
        QFile file(FrameFileName(base, k));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << file.fileName().toStdString();
        written.append(file.fileName());
    }
    EXPECT_TRUE(written[0].endsWith("/walk001.bmp"));
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
