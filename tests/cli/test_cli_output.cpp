// SPDX-License-Identifier: GPL-3.0-or-later
// The cutting verbs' output options: PNG frames, an animation or a sheet instead of BMP frames.
#include "cli/cli.h"
#include "core/image/jpeg_codec.h"
#include "pictures.h"
#include "test_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QMap>
#include <QSet>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

class CommandLineOutput : public ::testing::Test {
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        QImage picture(100, 60, QImage::Format_BGR888);
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                picture.setPixel(x, y, qRgb(x * 2, y * 4, (x + y) % 256));
        ASSERT_TRUE(picture.save(path("in.bmp")));
        source = picture;
    }
    QString path(const QString &name) const { return dir.filePath(name); }
    QStringList files() const
    {
        QStringList names = QDir(dir.path()).entryList(QDir::Files, QDir::Name);
        names.removeAll(QStringLiteral("in.bmp"));
        return names;
    }
    QTemporaryDir dir;
    QImage source;
};

// Each option must change what is written, and nothing else: catches --format ignored (BMP
// frames under PNG names), an animation that still wants BASE, the one-file count not applied to
// blend's three files, and a cut whose PNG is not the cut.
TEST_F(CommandLineOutput, OptionsChooseWhatIsWritten)
{
    const struct {
        QStringList args;
        QStringList written;
    } rows[] = {
        {{"sequence", "in.bmp", "walk", "--size", "40x60", "--format", "png"},
         {"walk001.png", "walk002.png", "walk003.png", "walk004.png", "walk005.png"}},
        {{"sequence", "in.bmp", "--size", "40x60", "--animate", "w.gif", "--pingpong"}, {"w.gif"}},
        {{"blend", "in.bmp", "in.bmp", "--size", "20x10", "--sheet", "s.png", "--columns", "7"},
         {"s.json", "s.png"}},
        {{"fade", "in.bmp", "--size", "20x10", "--animate", "f.webp", "--quality", "50"},
         {"f.webp"}},
        {{"cut", "in.bmp", "c.png", "--size", "30x20", "--at", "10,5", "--format", "png"},
         {"c.png"}},
    };
    for (const auto &row : rows) {
        QDir(dir.path()).removeRecursively();
        QDir().mkpath(dir.path());
        ASSERT_TRUE(source.save(path("in.bmp")));
        QStringList args;
        for (const QString &arg : row.args)
            args << (arg.contains(u'.') || arg == QLatin1String("walk") ? path(arg) : arg);
        ASSERT_EQ(RunCommandLine(args), 0) << row.args.join(' ').toStdString();
        EXPECT_EQ(files(), row.written) << row.args.join(' ').toStdString();
    }
    EXPECT_EQ(QImageReader(path("c.png")).format(), "png");
    EXPECT_EQ(PixelsOf(path("c.png"), QImage::Format_BGR888), source.copy(10, 5, 30, 20));
}

// Options that would do nothing where they stand, or files that do not match, are usage errors
// that write nothing: catches --delay accepted without an animation, --quality silently dropped
// for GIF, and a BASE left over beside --animate.
TEST_F(CommandLineOutput, MisplacedOptionsAreUsageErrors)
{
    const QStringList base = {"sequence", path("in.bmp"), "--size", "40x60"};
    const QList<QStringList> wrong = {
        {path("walk"), "--delay", "50"},
        {path("walk"), "--pingpong"},
        {path("walk"), "--columns", "3"},
        {path("walk"), "--format", "jpg"},
        {"--animate", path("w.mp4")},
        {"--animate", path("w.gif"), "--quality", "80"},
        {"--animate", path("w.webp"), "--no-dither"},
        {"--animate", path("w.gif"), "--delay", "0"},
        {"--animate", path("w.gif"), "--format", "png"},
        {"--animate", path("w.gif"), "--sheet", path("s.png"), "--columns", "2"},
        {"--sheet", path("s.png")},
        {"--sheet", path("s.png"), "--columns", "0"},
        {path("walk"), "--animate", path("w.gif")},
        // --mixed is for WebP, --max-size for a GIF's bytes or an atlas's pixels.
        {"--animate", path("w.gif"), "--mixed"},
        {path("walk"), "--mixed"},
        {"--animate", path("w.webp"), "--max-size", "500k"},
        {"--sheet", path("s.png"), "--columns", "2", "--max-size", "500k"},
        {path("walk"), "--max-size", "500k"},
        {"--animate", path("w.gif"), "--max-size", "0"},
        {"--animate", path("w.gif"), "--max-size", "5g"},
        {"--atlas", path("a.png"), "--max-size", "500k"},
    };
    for (const QStringList &extra : wrong) {
        EXPECT_EQ(RunCommandLine(base + extra), 2) << extra.join(' ').toStdString();
        EXPECT_EQ(files(), QStringList()) << extra.join(' ').toStdString();
    }
}

// A picture of noise, which a GIF's palette holds only roughly and lossy WebP codes best.
QImage noise(int width, int height)
{
    QImage picture(width, height, QImage::Format_BGR888);
    quint32 state = 12345;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            state = state * 1664525u + 1013904223u;
            picture.setPixel(x, y, qRgb(int(state >> 24), (x * 3 + int(state >> 16)) % 256, y * 2));
        }
    }
    return picture;
}

// --max-size lowers a GIF's quality until the file holds in the size, or refuses with nothing
// written. Catches the limit ignored, k read as 1024 (a file over the limit in thousands), a
// file left behind by a refusal, and a refusal reported as a usage error.
TEST_F(CommandLineOutput, MaxSizeBringsTheGifUnderItOrRefuses)
{
    ASSERT_TRUE(noise(120, 90).save(path("noise.bmp")));
    const QStringList blend = {"blend", path("noise.bmp"), path("in.bmp"), "--size", "120x60"};
    ASSERT_EQ(RunCommandLine(blend + QStringList{"--animate", path("full.gif")}), 0);
    const qint64 full = QFileInfo(path("full.gif")).size();
    const qint64 limitK = full * 6 / 10 / 1000; // well under the full quality's file
    ASSERT_GT(limitK, 1);
    ASSERT_EQ(RunCommandLine(blend + QStringList{"--animate", path("fit.gif"), "--max-size",
                                                 QStringLiteral("%1k").arg(limitK)}),
              0);
    EXPECT_LE(QFileInfo(path("fit.gif")).size(), limitK * 1000);
    EXPECT_GT(QFileInfo(path("fit.gif")).size(), limitK * 1000 / 2); // not needlessly poor
    QImageReader reader(path("fit.gif"));
    EXPECT_EQ(reader.imageCount(), 21);
    EXPECT_EQ(reader.read().size(), QSize(120, 60));

    EXPECT_EQ(
        RunCommandLine(blend + QStringList{"--animate", path("tiny.gif"), "--max-size", "300"}), 1);
    EXPECT_FALSE(QFileInfo::exists(path("tiny.gif")));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name),
              QStringList({"fit.gif", "full.gif", "in.bmp", "noise.bmp"}));
}

// --mixed lets each WebP frame be lossy or lossless, whichever is smaller: a fade from white
// starts with a flat frame that lossless codes in a few bytes, then noise that lossy codes best.
// Catches the option not reaching libwebp (all frames of one kind).
TEST_F(CommandLineOutput, MixedWebpFramesAreLossyOrLossless)
{
    ASSERT_TRUE(noise(96, 64).save(path("noise.bmp")));
    const auto frameKinds = [&](const QStringList &extra) {
        const QStringList fade = {"fade",  path("noise.bmp"), "--size",
                                  "96x64", "--animate",       path("f.webp")};
        EXPECT_EQ(RunCommandLine(fade + extra), 0);
        QFile file(path("f.webp"));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        // Each ANMF chunk: 8 bytes of header, 16 of frame data, then the image chunk's name.
        QSet<QByteArray> kinds;
        int frames = 0;
        for (qsizetype at = 12; at + 8 <= bytes.size();) {
            const quint32 length = qFromLittleEndian<quint32>(bytes.constData() + at + 4);
            if (bytes.mid(at, 4) == "ANMF") {
                ++frames;
                QByteArray kind = bytes.mid(at + 24, 4);
                kinds.insert(kind == "ALPH" ? QByteArray("VP8 ") : kind);
            }
            at += 8 + qsizetype(length) + qsizetype(length & 1);
        }
        EXPECT_EQ(frames, 21);
        return kinds;
    };
    EXPECT_EQ(frameKinds({}), QSet<QByteArray>({"VP8L"}));
    EXPECT_EQ(frameKinds({"--quality", "80"}), QSet<QByteArray>({"VP8 "}));
    EXPECT_EQ(frameKinds({"--mixed"}), QSet<QByteArray>({"VP8L", "VP8 "}));
}

// A picture with alpha read from a PNG keeps it where the output copies pixels to a format that
// holds it (a cut, tiles), and is seen over white in a BMP; a photo's orientation is applied unless
// --keep-orientation. Catches alpha dropped between reader and writer, transparent pixels written
// as their hidden colour into a BMP, and --keep-orientation taken by edit as an operation.
TEST_F(CommandLineOutput, TransparencyAndOrientationReachTheOutputs)
{
    QImage seeThrough(40, 20, QImage::Format_ARGB32);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x)
            seeThrough.setPixel(x, y, qRgba(x * 6, y * 12, 90, (x + y) % 3 == 0 ? 0 : 200));
    ASSERT_TRUE(seeThrough.save(path("alpha.png")));
    const auto run = [&](QStringList args) {
        for (QString &arg : args)
            if (arg.contains(u'.') || arg == QLatin1String("tile"))
                arg = path(arg);
        return RunCommandLine(args);
    };
    ASSERT_EQ(
        run({"cut", "alpha.png", "c.png", "--size", "20x10", "--at", "5,5", "--format", "png"}), 0);
    EXPECT_EQ(PixelsOf(path("c.png"), QImage::Format_ARGB32), seeThrough.copy(5, 5, 20, 10));
    ASSERT_EQ(run({"sequence", "alpha.png", "tile", "--size", "20x10", "--step", "cut", "--format",
                   "png"}),
              0);
    EXPECT_EQ(PixelsOf(path("tile002.png"), QImage::Format_ARGB32), seeThrough.copy(20, 0, 20, 10));
    ASSERT_EQ(run({"cut", "alpha.png", "c.bmp", "--size", "20x10"}), 0);
    const QImage overWhite = QImage(path("c.bmp"));
    EXPECT_EQ(overWhite.pixel(0, 0), qRgb(255, 255, 255)); // alpha 0
    EXPECT_EQ(overWhite.pixel(1, 0), qRgb((6 * 200 + 255 * 55 + 127) / 255, (255 * 55 + 127) / 255,
                                          (90 * 200 + 255 * 55 + 127) / 255));

    // A portrait photo stored sideways (orientation 6: turn a quarter clockwise to show).
    QByteArray jpeg = EncodeJpeg(source.copy(0, 0, 64, 32));
    const QByteArray exif("Exif\0\0II*\0\x08\0\0\0\x01\0\x12\x01\x03\0\x01\0\0\0\x06\0\0\0\0\0\0\0",
                          32);
    jpeg.insert(2, QByteArray("\xFF\xE1\0\x22", 4) + exif);
    QFile photo(path("photo.jpg"));
    ASSERT_TRUE(photo.open(QIODevice::WriteOnly) && photo.write(jpeg) == jpeg.size());
    photo.close();
    ASSERT_EQ(run({"edit", "photo.jpg", "up.bmp", "--blur"}), 0);
    EXPECT_EQ(QImage(path("up.bmp")).size(), QSize(32, 64));
    ASSERT_EQ(run({"edit", "photo.jpg", "kept.bmp", "--keep-orientation", "--blur"}), 0);
    EXPECT_EQ(QImage(path("kept.bmp")).size(), QSize(64, 32));
    ASSERT_EQ(run({"cut", "photo.jpg", "k.bmp", "--size", "100x100", "--keep-orientation"}), 0);
    EXPECT_EQ(QImage(path("k.bmp")).size(), QSize(64, 32));
}

// Outputs that would destroy what they name, or runs larger than the output may hold: exit 2,
// every file as it was, nothing new. Mistakes: the picture read replaced by its own cut (also
// through a link or another spelling), a sheet or an atlas written over its source, frames of an
// empty BASE in the current folder, a ping-pong counted by the run's frames instead of those
// shown, a sheet of a million tiles whose JSON takes gigabytes, a sheet beyond the picture limit
// found only once made.
TEST_F(CommandLineOutput, OutputsThatWouldDestroyOrOverflowAreRefusedFirst)
{
    ASSERT_TRUE(source.save(path("in.png")));
    ASSERT_TRUE(source.save(path("walk001.bmp")));
    ASSERT_EQ(::symlink("in.bmp", QFile::encodeName(path("link.bmp")).constData()), 0);
    ASSERT_EQ(::link(QFile::encodeName(path("in.bmp")).constData(),
                     QFile::encodeName(path("hard.bmp")).constData()),
              0);
    ASSERT_TRUE(Numbered(5002, 1).save(path("wide.bmp")));
    ASSERT_TRUE(Numbered(257, 256).save(path("tiles.bmp")));
    const QStringList before = QDir(dir.path()).entryList(QDir::Files | QDir::System, QDir::Name);
    QMap<QString, QByteArray> bytes;
    for (const QString &name : before)
        bytes[name] = FileBytes(path(name));
    const QStringList cut = {"--size", "40x60"};
    const QList<QStringList> rows = {
        QStringList{"cut", "in.bmp", "in.bmp"} + cut,
        QStringList{"cut", "in.bmp", "./in.bmp"} + cut,
        QStringList{"cut", "in.bmp", ""} + cut,
        QStringList{"edit", "in.bmp", "link.bmp", "--blur"},
        QStringList{"edit", "in.bmp", "hard.bmp", "--blur"},
        QStringList{"sequence", "in.bmp", ""} + cut,
        QStringList{"sequence", "walk001.bmp", "walk"} + cut,
        QStringList{"sequence", "in.png", "--sheet", "in.png", "--columns", "2"} + cut,
        QStringList{"blend", "in.bmp", "in.png", "--atlas", "in.png"} + cut,
        QStringList{"pack", "in.bmp", "in.png", "--atlas", "in.png"},
        {"sequence", "wide.bmp", "--size", "1x1", "--step", "1", "--animate", "w.gif",
         "--pingpong"},
        {"sequence", "tiles.bmp", "--size", "1x1", "--direction", "grid", "--sheet", "s.png",
         "--columns", "1000"},
        {"sequence", "in.bmp", "--size", "1x1", "--direction", "grid", "--sheet", "s.png",
         "--columns", "6000", "--padding", "1024"},
    };
    for (QStringList args : rows) {
        const std::string row = args.join(' ').toStdString();
        for (qsizetype i = 1; i < args.size(); ++i)
            if (args[i].endsWith(".bmp") || args[i].endsWith(".png") || args[i] == "walk")
                args[i] = path(args[i]);
        EXPECT_EQ(RunCommandLine(args), 2) << row;
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::System, QDir::Name), before)
            << row;
        for (const QString &name : before)
            EXPECT_EQ(FileBytes(path(name)), bytes[name]) << row << " " << name.toStdString();
    }
}

// Temporary files that a killed run left beside its output go with the next run's, whatever the
// verb. Mistake: only the sequence verbs clean up.
TEST_F(CommandLineOutput, TemporaryFilesOfKilledRunsGo)
{
    const QString stale = path(".mokaran-999999999-k3x9.tmp");
    for (const QStringList &args :
         {QStringList{"cut", path("in.bmp"), path("c.bmp"), "--size", "8x8"},
          QStringList{"edit", path("in.bmp"), path("e.png"), "--blur"}}) {
        PutFile(stale, "partial");
        ASSERT_EQ(RunCommandLine(args), 0) << args.join(' ').toStdString();
        EXPECT_FALSE(QFileInfo::exists(stale)) << args.join(' ').toStdString();
    }
}

} // namespace
