// SPDX-License-Identifier: GPL-3.0-or-later
// The command line's verbs, run in-process: files written, exit status, bad input.
#include "cli/cli.h"
#include "core/animation/animation.h"
#include "core/image/edits.h"
#include "core/image/jpeg_codec.h"
#include "core/image/picture_reading.h"
#include "core/image/rotate.h"

#include "pictures.h"
#include "test_files.h"

#include <QDir>
#include <QImageReader>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class CommandLine : public ::testing::Test {
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(Numbered(100, 60).save(path("in.bmp")));
    }
    QString path(const QString &name) const { return dir.filePath(name); }
    int run(const QStringList &args) { return RunCommandLine(args); }
    QStringList bmps() const
    {
        return QDir(dir.path()).entryList({QStringLiteral("*.bmp")}, QDir::Files, QDir::Name);
    }
    QImage read(const QString &name) const
    {
        return ReadBmp(path(name)).convertToFormat(QImage::Format_BGR888);
    }
    QTemporaryDir dir;
};

TEST_F(CommandLine, CutWritesTheFrameAreaClampedLikeADrag)
{
    ASSERT_EQ(run({"cut", path("in.bmp"), path("a.bmp"), "--size", "30x20", "--at", "10,5"}), 0);
    EXPECT_EQ(read("a.bmp"), Numbered(100, 60).copy(10, 5, 30, 20));
    // Past the picture: the frame stops at the edges; a cut larger than the picture is lowered.
    ASSERT_EQ(run({"cut", path("in.bmp"), path("b.bmp"), "--size", "30x20", "--at", "500,-9"}), 0);
    EXPECT_EQ(read("b.bmp"), Numbered(100, 60).copy(70, 0, 30, 20));
    ASSERT_EQ(run({"cut", path("in.bmp"), path("c.bmp"), "--size", "400x400"}), 0);
    EXPECT_EQ(read("c.bmp"), Numbered(100, 60));
}

TEST_F(CommandLine, SequenceWritesEveryPositionThatFits)
{
    ASSERT_EQ(run({"sequence", path("in.bmp"), path("walk"), "--size", "40x60"}), 0);
    EXPECT_EQ(bmps().filter("walk").size(), 5); // x = 0, 15, 30, 45, 60
    EXPECT_EQ(read("walk005.bmp"), Numbered(100, 60).copy(60, 0, 40, 60));

    ASSERT_EQ(run({"sequence", path("in.bmp"), path("tile"), "--size", "25x20", "--step", "cut",
                   "--direction", "down", "--at", "50,0"}),
              0);
    EXPECT_EQ(bmps().filter("tile"), (QStringList{"tile001.bmp", "tile002.bmp", "tile003.bmp"}));
    EXPECT_EQ(read("tile003.bmp"), Numbered(100, 60).copy(50, 40, 25, 20));

    // Only the start fits: still one numbered frame.
    ASSERT_EQ(
        run({"sequence", path("in.bmp"), path("one"), "--size", "100x60", "--direction", "left"}),
        0);
    EXPECT_EQ(bmps().filter("one"), QStringList{"one001.bmp"});
}

// The grid from the command line: tiles with gaps, the single-colour ones left out. Catches the
// options not reaching the run (gaps ignored, empty tiles written), grid options accepted where
// they mean nothing, and an all-empty sheet reported as done.
TEST_F(CommandLine, SequenceCutsAGridWithGapsAndSkipsEmptyTiles)
{
    // Three 10 x 10 tiles across with 2-pixel gaps; the last tile is plain white.
    QImage sheet = Numbered(34, 10);
    for (int y = 0; y < 10; ++y)
        for (int x = 24; x < 34; ++x)
            sheet.setPixel(x, y, qRgb(255, 255, 255));
    ASSERT_TRUE(sheet.save(path("sheet.bmp")));
    ASSERT_EQ(run({"sequence", path("sheet.bmp"), path("tile"), "--size", "10x10", "--direction",
                   "grid", "--gap", "2,0", "--skip-empty"}),
              0);
    EXPECT_EQ(bmps().filter("tile"), (QStringList{"tile001.bmp", "tile002.bmp"}));
    EXPECT_EQ(read("tile002.bmp"), sheet.copy(12, 0, 10, 10));

    const QList<QStringList> wrong = {
        {"sequence", path("sheet.bmp"), path("x"), "--size", "5x5", "--gap", "2,0"},
        {"sequence", path("sheet.bmp"), path("x"), "--size", "5x5", "--skip-empty"},
        {"sequence", path("sheet.bmp"), path("x"), "--size", "5x5", "--direction", "grid", "--step",
         "3"},
        {"sequence", path("sheet.bmp"), path("x"), "--size", "5x5", "--direction", "grid", "--gap",
         "-1,0"},
    };
    for (const QStringList &args : wrong)
        EXPECT_EQ(run(args), 2) << args.join(' ').toStdString();
    EXPECT_EQ(run({"sequence", path("sheet.bmp"), path("x"), "--size", "10x10", "--at", "24,0",
                   "--direction", "grid", "--skip-empty"}),
              1);
    EXPECT_TRUE(bmps().filter(QRegularExpression("^x")).isEmpty());
}

TEST_F(CommandLine, BlendAndFadeWriteTwentyOneFrames)
{
    ASSERT_TRUE(Numbered(10, 10).save(path("second.bmp")));
    ASSERT_EQ(run({"blend", path("in.bmp"), path("second.bmp"), path("mix"), "--size", "20x10"}),
              0);
    EXPECT_EQ(bmps().filter("mix").size(), 21);
    EXPECT_EQ(read("mix001.bmp"), Numbered(100, 60).copy(0, 0, 20, 10));
    EXPECT_EQ(read("mix021.bmp").pixel(15, 5), qRgb(255, 255, 255)); // padded white
    ASSERT_EQ(run({"fade", path("in.bmp"), path("dark"), "--size", "20x10", "--color", "black"}),
              0);
    EXPECT_EQ(read("dark001.bmp").pixel(3, 3), qRgb(0, 0, 0));
    EXPECT_EQ(read("dark021.bmp"), Numbered(100, 60).copy(0, 0, 20, 10));
}

TEST_F(CommandLine, AWrongCommandLineExitsTwoAndWritesNothing)
{
    const QList<QStringList> wrong = {
        {"slice", path("in.bmp"), path("x.bmp")},
        {"cut", path("in.bmp"), path("x.bmp")},                             // no size
        {"cut", path("in.bmp"), path("x.bmp"), "--size", "0x5"},            // empty cut
        {"cut", path("in.bmp"), path("x.bmp"), "--size", "ten"},            // not a size
        {"cut", path("in.bmp"), "--size", "5x5"},                           // no output
        {"cut", path("in.bmp"), path("x.bmp"), "--size", "5x5", "--bogus"}, // unknown option
        {"sequence", path("in.bmp"), path("x"), "--size", "5x5", "--direction", "north"},
        {"sequence", path("in.bmp"), path("x"), "--size", "5x5", "--step", "0"},
        {"fade", path("in.bmp"), path("x"), "--size", "5x5", "--color", "grey"},
    };
    for (const QStringList &args : wrong)
        EXPECT_EQ(run(args), 2) << args.join(' ').toStdString();
    EXPECT_EQ(bmps(), QStringList{"in.bmp"});
}

TEST_F(CommandLine, FailedWorkExitsOne)
{
    EXPECT_EQ(run({"cut", path("missing.jpg"), path("x.bmp"), "--size", "5x5"}), 1);
    EXPECT_EQ(run({"cut", path("in.bmp"), path("no/such/folder/x.bmp"), "--size", "5x5"}), 1);
    EXPECT_EQ(bmps(), QStringList{"in.bmp"});
}

} // namespace

namespace {

TEST_F(CommandLine, EditAppliesTheOperationsInOrder)
{
    ASSERT_EQ(run({"edit", path("in.bmp"), path("small.bmp"), "--resize", "50"}), 0);
    EXPECT_EQ(ReadBmp(path("small.bmp")).size(), QSize(50, 30));
    ASSERT_EQ(run({"edit", path("in.bmp"), path("turned.jpg"), "--rotate", "90", "--resize", "30"}),
              0);
    const QImage turned = ReadJpeg(path("turned.jpg"));
    EXPECT_EQ(turned.width() < turned.height(), true); // turned first, then shrunk
    EXPECT_EQ(turned.height(), 30);
    // A gamma of 0 or below leaves the picture as it is.
    ASSERT_EQ(run({"edit", path("in.bmp"), path("same.bmp"), "--gamma", "-1"}), 0);
    EXPECT_EQ(read("same.bmp"), Numbered(100, 60));
    // --nearest repeats each pixel; a .png name is written as PNG (it was BMP bytes before).
    ASSERT_EQ(run({"edit", path("in.bmp"), path("big.png"), "--resize", "300", "--nearest"}), 0);
    const QImage big(path("big.png"));
    EXPECT_EQ(big.size(), QSize(300, 180));
    EXPECT_EQ(big.pixel(299, 179), Numbered(100, 60).pixel(99, 59));
    EXPECT_EQ(big.pixel(3, 0), Numbered(100, 60).pixel(1, 0));
}

// An animated GIF edited to a GIF: catches the first frame alone edited (or alone written), the
// delays lost, and BMP bytes written under the name .gif.
TEST_F(CommandLine, EditOfAnAnimationEditsEveryFrameAndKeepsItsTimes)
{
    AnimationOptions options;
    const std::unique_ptr<AnimationEncoder> encoder = MakeAnimationEncoder({40, 20}, options);
    for (int f = 0; f < 3; ++f) {
        QImage frame(40, 20, QImage::Format_BGR888);
        frame.fill(QColor(100 * f, 50, 200 - 90 * f));
        frame.setPixelColor(0, 0, Qt::white);
        encoder->add(frame, 50 * (f + 1));
    }
    PutFile(path("walk.gif"), encoder->finish());
    ASSERT_EQ(run({"edit", path("walk.gif"), path("turned.gif"), "--rotate", "90"}), 0);
    QImageReader turned(path("turned.gif"));
    ASSERT_EQ(turned.imageCount(), 3);
    for (int f = 0; f < 3; ++f) {
        const QImage frame = turned.read();
        EXPECT_EQ(frame.size(), QSize(20, 40));
        EXPECT_EQ(frame.pixelColor(10, 20), QColor(100 * f, 50, 200 - 90 * f));
        EXPECT_EQ(turned.nextImageDelay(), 50 * (f + 1));
    }
}

// A repeated operation takes its own value at each occurrence, in the order typed. Catches every
// --rotate reading one value (the parser's value() gives the last), and the operations run grouped
// by name instead of as typed: either turns the frame by other angles and changes the picture.
TEST_F(CommandLine, EditGivesEachRepeatedOperationItsOwnValue)
{
    ASSERT_EQ(run({"edit", path("in.bmp"), path("twice.bmp"), "--rotate", "-30", "--resize", "50",
                   "--rotate", "60"}),
              0);
    const QImage expected = Rotate(ScaleToWidth(Rotate(Numbered(100, 60), -30), 50), 60);
    EXPECT_EQ(read("twice.bmp"), expected.convertToFormat(QImage::Format_BGR888));
}

TEST_F(CommandLine, EditRefusesUnknownOperationsAndNonNumbers)
{
    const QList<QStringList> wrong = {
        {"edit", path("in.bmp"), path("x.bmp")},
        {"edit", path("in.bmp"), path("x.bmp"), "--emboss"},
        {"edit", path("in.bmp"), path("x.bmp"), "--contrast", "much"},
        {"edit", path("in.bmp"), path("x.bmp"), "--rotate", "4.5"},
        {"edit", path("in.bmp"), path("x.bmp"), "--resize", "0"},
        {"edit", path("in.bmp"), path("x.bmp"), "--blur", "--gamma"},
        // --nearest repeats pixels only by a whole factor: 150 is 1.5 times 100.
        {"edit", path("in.bmp"), path("x.bmp"), "--resize", "150", "--nearest"},
    };
    for (const QStringList &args : wrong)
        EXPECT_EQ(run(args), 2) << args.join(' ').toStdString();
    EXPECT_EQ(bmps(), QStringList{"in.bmp"});
}

TEST_F(CommandLine, EditRefusesAResultTooLargeForMemory)
{
    EXPECT_EQ(run({"edit", path("in.bmp"), path("huge.bmp"), "--resize", "2000000"}), 1);
    EXPECT_EQ(bmps(), QStringList{"in.bmp"});
}

} // namespace

namespace {

TEST_F(CommandLine, PageWritesTheProjectsPageLeavingOutSections)
{
    PutFile(path("site.mkp"), "vermkrn1.00\r\nTitle\r\npic.jpg\r\nhello\r\n");
    ASSERT_EQ(run({"page", path("site.mkp"), path("site.html"), "--omit",
                   "link1,link2,link3,link4,link5,text2"}),
              0);
    EXPECT_EQ(FileBytes(path("site.html")),
              QByteArray("<HTML><HEAD><TITLE>Title</TITLE></HEAD>\r\n<BODY>\r\n"
                         "<!-- MKRN eihp ver1.00 -->\r\n"
                         "<CENTER><IMG SRC=\"pic.jpg\"></CENTER><BR>\r\n"
                         "<p>hello</P>\r\n<HR>\r\n<HR>\r\n</BODY></HTML>\r\n"));
    EXPECT_EQ(run({"page", path("site.mkp"), path("x.html"), "--omit", "footer"}), 2);
    EXPECT_EQ(run({"page", path("missing.mkp"), path("x.html")}), 1);
    EXPECT_FALSE(QFile::exists(path("x.html")));
    // The page written over its own project would leave the project lost.
    const QByteArray project = FileBytes(path("site.mkp"));
    EXPECT_EQ(run({"page", path("site.mkp"), path("./site.mkp")}), 2);
    EXPECT_EQ(FileBytes(path("site.mkp")), project);
}

} // namespace

namespace {

TEST_F(CommandLine, ShrinkWritesEveryListedFileAndFailsWhenOneFails)
{
    ASSERT_TRUE(QDir(dir.path()).mkpath("photos"));
    ASSERT_TRUE(QDir(dir.path()).mkpath("small"));
    WriteJpegFile(path("photos/a.jpg"), Numbered(400, 300));
    WriteJpegFile(path("photos/b.jpeg"), Numbered(300, 400));
    PutFile(path("jpeg.dat"), "\"1\",\"1\",\"\",\"jpg\"\r\n\"1\",\"1\",\"\",\"jpeg\"\r\n");
    ASSERT_EQ(run({"shrink", path("photos"), path("small"), "--width", "100", "--extensions",
                   path("jpeg.dat")}),
              0);
    EXPECT_EQ(ReadJpeg(path("small/a.jpg")).size(), QSize(100, 75));
    EXPECT_EQ(ReadJpeg(path("small/b.jpeg")).size(), QSize(75, 100));

    PutFile(path("photos/c.jpg"), "not a picture");
    EXPECT_EQ(run({"shrink", path("photos"), path("small"), "--width", "100", "--extensions",
                   path("jpeg.dat")}),
              1);
    EXPECT_TRUE(QFile::exists(path("small/a.jpg"))); // the others were still written
    EXPECT_EQ(run({"shrink", path("photos"), path("small"), "--width", "x"}), 2);
    EXPECT_EQ(run({"shrink", path("photos"), path("small"), "--width", "100", "--extensions",
                   path("none.dat")}),
              1);
}

// Mistake: shrinking a folder into itself replaced every original without a word. The same
// folder reached through "..", "." or a link counts as the same.
TEST_F(CommandLine, ShrinkIntoItsOwnFolderNeedsInPlace)
{
    ASSERT_TRUE(QDir(dir.path()).mkpath("photos"));
    WriteJpegFile(path("photos/a.jpg"), Numbered(400, 300));
    PutFile(path("jpeg.dat"), "\"1\",\"1\",\"\",\"jpg\"\r\n");
    ASSERT_TRUE(QFile::link(path("photos"), path("linked")));
    const QByteArray original = FileBytes(path("photos/a.jpg"));
    for (const QString &same : {path("photos/../photos/."), path("linked")}) {
        EXPECT_EQ(run({"shrink", path("photos"), same, "--width", "100", "--extensions",
                       path("jpeg.dat")}),
                  2);
        EXPECT_EQ(FileBytes(path("photos/a.jpg")), original);
    }
    ASSERT_EQ(run({"shrink", path("photos"), path("linked"), "--width", "100", "--in-place",
                   "--extensions", path("jpeg.dat")}),
              0);
    EXPECT_EQ(ReadJpeg(path("photos/a.jpg")).size(), QSize(100, 75));
}

} // namespace
