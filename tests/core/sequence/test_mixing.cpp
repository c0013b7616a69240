// SPDX-License-Identifier: GPL-3.0-or-later
// The blended and faded runs: the weights, the exactly rounded mixes, fitting the blend picture.
#include "core/base/io_error.h"
#include "core/image/bmp_format.h"
#include "core/image/picture.h"
#include "core/image/rounding.h"
#include "core/sequence/frame_files.h"
#include "core/sequence/mixing.h"

#include "test_files.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

namespace {

TEST(MixWeight, TheTwentyOneWeights)
{
    // Shortest decimal forms of the exact doubles; 4, 5 and 6 differ from sums of the double 0.05.
    const double expected[kMixFrames] = {
        0,
        0.05,
        0.1,
        0.15,
        0.19999999999999998,
        0.24999999999999997,
        0.3,
        0.35,
        0.39999999999999997,
        0.44999999999999996,
        0.49999999999999994,
        0.5499999999999999,
        0.6,
        0.65,
        0.7000000000000001,
        0.7500000000000001,
        0.8000000000000002,
        0.8500000000000002,
        0.9000000000000002,
        0.9500000000000003,
        1.0000000000000002,
    };
    for (int k = 1; k <= kMixFrames; ++k)
        EXPECT_EQ(MixWeight(k), expected[k - 1]) << "frame " << k;
}

QImage filled(int width, int height, QRgb colour)
{
    QImage picture(width, height, kPictureFormat);
    picture.fill(QColor::fromRgb(colour)); // fill(uint) would take a raw pixel value
    return picture;
}

// Channel bytes of pixel (x, y) in memory order: blue, green, red.
std::array<int, 3> bytesAt(const QImage &picture, int x, int y)
{
    const uchar *p = picture.constScanLine(y) + 3 * x;
    return {p[0], p[1], p[2]};
}

TEST(Mixing, ChannelsNextToAHalfRoundTheWayTheWeightSays)
{
    const double x = MixWeight(11); // just below 0.5
    QImage frame;
    BlendFrame(filled(2, 2, qRgb(1, 1, 1)), filled(2, 2, qRgb(2, 2, 2)), x, frame);
    EXPECT_EQ(bytesAt(frame, 1, 1), (std::array<int, 3>{1, 1, 1}));

    FadeToBlack(filled(2, 2, qRgb(3, 3, 3)), x, frame);
    EXPECT_EQ(bytesAt(frame, 0, 0), (std::array<int, 3>{1, 1, 1}));

    FadeToWhite(filled(2, 2, qRgb(2, 0, 2)), x, frame); // red 2, green 0, blue 2
    EXPECT_EQ(bytesAt(frame, 0, 1), (std::array<int, 3>{129, 128, 129}));

    // An exact half goes to the even neighbour.
    BlendFrame(filled(1, 1, qRgb(1, 3, 0)), filled(1, 1, qRgb(2, 4, 255)), 0.5, frame);
    EXPECT_EQ(bytesAt(frame, 0, 0), (std::array<int, 3>{128, 4, 2}));
}

TEST(Mixing, FirstAndLastFramesOfEachKind)
{
    QImage cut(3, 2, kPictureFormat);
    QImage blend(3, 2, kPictureFormat);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) {
            cut.setPixel(x, y, qRgb(x * 100, y * 255, 7 + x));
            blend.setPixel(x, y, qRgb(255 - x, x * 120, y * 254)); // never pure white
        }
    QImage frame;
    FadeToWhite(cut, MixWeight(1), frame);
    EXPECT_EQ(frame, filled(3, 2, qRgb(255, 255, 255)));
    FadeToBlack(cut, MixWeight(1), frame);
    EXPECT_EQ(frame, filled(3, 2, qRgb(0, 0, 0)));
    FadeToWhite(cut, MixWeight(21), frame);
    EXPECT_EQ(frame, cut);
    FadeToBlack(cut, MixWeight(21), frame);
    EXPECT_EQ(frame, cut);

    // x is slightly above 1 in frame 21, yet no channel leaves the blend picture's value.
    BlendFrame(cut, blend, MixWeight(1), frame);
    EXPECT_EQ(frame, cut);
    BlendFrame(cut, blend, MixWeight(21), frame);
    EXPECT_EQ(frame, blend);
    BlendFrameWhiteTransparent(cut, blend, MixWeight(21), frame);
    EXPECT_EQ(frame, blend);
    EXPECT_EQ(frame.format(), kPictureFormat);
    EXPECT_EQ(frame.size(), cut.size());
}

TEST(Mixing, OnlyPureWhiteIsTransparent)
{
    const QImage cut = filled(2, 1, qRgb(10, 20, 30));
    QImage blend = filled(2, 1, qRgb(255, 255, 255));
    blend.setPixel(1, 0, qRgb(255, 255, 254)); // blue 254: mixed in
    for (int k = 1; k <= kMixFrames; ++k) {
        const double x = MixWeight(k);
        QImage transparent, normal;
        BlendFrameWhiteTransparent(cut, blend, x, transparent);
        BlendFrame(cut, blend, x, normal);
        EXPECT_EQ(transparent.pixel(0, 0), cut.pixel(0, 0)) << "frame " << k;
        EXPECT_EQ(transparent.pixel(1, 0), normal.pixel(1, 0)) << "frame " << k;
        if (k > 1) {
            EXPECT_NE(normal.pixel(0, 0), cut.pixel(0, 0)) << "frame " << k;
            EXPECT_NE(transparent.pixel(1, 0), cut.pixel(1, 0)) << "frame " << k;
        }
    }
}

// The mix as written, at extended precision, against the integer tables: every pair of channel
// values at every weight. The cut carries value i in all channels of row i, the blend value j in
// column j, so one 256 x 256 frame holds every pair.
TEST(Mixing, TablesAgreeWithDirectEvaluationForEveryPair)
{
    QImage cut(256, 256, kPictureFormat);
    QImage blend(256, 256, kPictureFormat);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            cut.setPixel(x, y, qRgb(y, y, y));
            blend.setPixel(x, y, qRgb(x, x, 255 - x));
        }
    const auto mixed = [](long double x, int b, int c) {
        return int(std::clamp<int64_t>(Round(x * b + (1 - x) * c), 0, 255));
    };
    int mismatches = 0;
    for (int k = 1; k <= kMixFrames; ++k) {
        const long double x = MixWeight(k);
        QImage blended, keyed, white, black;
        BlendFrame(cut, blend, double(x), blended);
        BlendFrameWhiteTransparent(cut, blend, double(x), keyed); // no pure white in blend
        FadeToWhite(cut, double(x), white);
        FadeToBlack(cut, double(x), black);
        for (int y = 0; y < 256; ++y) {
            const int w = int(Round(255 - x * (255 - y)));
            const int b = int(Round(x * y));
            for (int px = 0; px < 256; ++px) {
                const std::array<int, 3> expected = {mixed(x, 255 - px, y), mixed(x, px, y),
                                                     mixed(x, px, y)};
                mismatches += bytesAt(blended, px, y) != expected;
                mismatches += bytesAt(keyed, px, y) != expected;
                mismatches += bytesAt(white, px, y) != std::array<int, 3>{w, w, w};
                mismatches += bytesAt(black, px, y) != std::array<int, 3>{b, b, b};
            }
        }
        EXPECT_EQ(mismatches, 0) << "up to frame " << k;
    }
}

// BlendFrame takes a fixed-point vector path where the weight allows one and a table otherwise;
// the white-keyed blend, given a blend picture without pure white, always takes the table. Both
// must give the same bytes at any weight, for rows of any length (vectors of 32 and 16 channels
// and single channels at the end of a row), and next to the weights where the paths switch.
TEST(Mixing, EveryWeightAndRowLengthGivesTheSameBytesAsTheTable)
{
    std::vector<double> weights = {0.0,
                                   0x1p-10,
                                   0x1p-11,
                                   1e-3,
                                   0.125,
                                   0.25,
                                   0.5,
                                   0.75,
                                   std::nextafter(0.5, 0.0),
                                   std::nextafter(0.5, 1.0),
                                   std::nextafter(0.25, 0.0),
                                   1.0 / 3.0,
                                   2.0 / 3.0,
                                   1.0,
                                   std::nextafter(1.0, 0.0),
                                   1.0 + 0x1p-9,
                                   1.5,
                                   -0.25};
    for (int k = 1; k <= kMixFrames; ++k)
        weights.push_back(MixWeight(k));
    std::mt19937 random(7);
    std::uniform_real_distribution<double> anyWeight(0.0, 1.0);
    for (int i = 0; i < 60; ++i)
        weights.push_back(anyWeight(random));

    for (const int width : {1, 5, 11, 266}) {
        // Row y pairs cut values with blend values so that 256 rows hold every pair.
        QImage cut(width, 256, kPictureFormat);
        QImage blend(width, 256, kPictureFormat);
        for (int y = 0; y < 256; ++y) {
            uchar *c = cut.scanLine(y);
            uchar *b = blend.scanLine(y);
            for (int i = 0; i < width * 3; ++i) {
                c[i] = uchar(y);
                b[i] = uchar((y * 7 + i * 13) % 256);
            }
            b[0] = uchar(std::min<int>(b[0], 254)); // no pure white pixel
            for (int px = 1; px < width; ++px)
                b[px * 3] = uchar(std::min<int>(b[px * 3], 254));
        }
        for (const double x : weights) {
            QImage fast, table;
            BlendFrame(cut, blend, x, fast);
            BlendFrameWhiteTransparent(cut, blend, x, table);
            ASSERT_EQ(fast, table) << "width " << width << ", weight " << x;
        }
    }
}

TEST(FitToCut, PadsWithWhiteAndCropsKeepingTheTopLeft)
{
    QImage blend(100, 80, kPictureFormat);
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 100; ++x)
            blend.setPixel(x, y, qRgb(x, y, 0));

    const QImage padded = FitToCut(blend, 120, 100);
    ASSERT_EQ(padded.size(), QSize(120, 100));
    ASSERT_EQ(padded.format(), kPictureFormat);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 120; ++x) {
            const QRgb expected = (x < 100 && y < 80) ? blend.pixel(x, y) : qRgb(255, 255, 255);
            ASSERT_EQ(padded.pixel(x, y), expected) << x << "," << y;
        }

    EXPECT_EQ(FitToCut(blend, 30, 20), blend.copy(0, 0, 30, 20));
    EXPECT_EQ(FitToCut(blend, 100, 80), blend);
    EXPECT_EQ(FitToCut(QImage(), 2, 3), filled(2, 3, qRgb(255, 255, 255)));
    const QImage wideShort = FitToCut(blend, 130, 10);
    EXPECT_EQ(wideShort.copy(0, 0, 100, 10), blend.copy(0, 0, 100, 10));
    EXPECT_EQ(wideShort.copy(100, 0, 30, 10), filled(30, 10, qRgb(255, 255, 255)));
}

Workspace mixing(const QImage &cut, const QImage &blend)
{
    Workspace ws;
    ws.CutImage = cut;
    ws.CutWidth = cut.width();
    ws.CutHeight = cut.height();
    ws.BlendImage = blend;
    return ws;
}

TEST(MixRun, WritesTwentyOneNumberedFramesOfTheChosenKind)
{
    const QImage cut = filled(4, 3, qRgb(200, 100, 0));
    const QImage blend = filled(4, 3, qRgb(0, 50, 250));
    const struct {
        MixKind kind;
        void (*routine)(const QImage &, const QImage &, double, QImage &);
    } rows[] = {
        {MixKind::Blend, BlendFrame},
        {MixKind::BlendWhiteTransparent, BlendFrameWhiteTransparent},
        {MixKind::FadeToWhite,
         [](const QImage &c, const QImage &, double x, QImage &f) { FadeToWhite(c, x, f); }},
        {MixKind::FadeToBlack,
         [](const QImage &c, const QImage &, double x, QImage &f) { FadeToBlack(c, x, f); }},
    };
    for (const auto &row : rows) {
        Workspace ws = mixing(cut, blend);
        std::vector<QString> paths;
        std::vector<QImage> frames;
        std::vector<std::pair<int, int>> told;
        WriteMixFrames(
            ws, row.kind, "/out/mix",
            [&](const QString &path, const QImage &picture) {
                paths.push_back(path);
                frames.push_back(picture); // kept as given: later frames must leave it alone
            },
            [&](int k, int n) { told.emplace_back(k, n); });
        ASSERT_EQ(int(frames.size()), kMixFrames);
        for (int k = 1; k <= kMixFrames; ++k) {
            QImage expected;
            row.routine(cut, blend, MixWeight(k), expected);
            EXPECT_EQ(paths[k - 1], FrameFileName("/out/mix", k));
            EXPECT_EQ(frames[k - 1], expected) << "frame " << k;
            EXPECT_EQ(told[k - 1], std::make_pair(k, kMixFrames));
        }
        EXPECT_EQ(ws.FrameImage, frames.back());
        EXPECT_EQ(ws.CutImage, cut);
    }
}

TEST(MixRun, FitsAPaletteBlendPictureToTheCut)
{
    // An 8-bit palette picture smaller than the cut: converted, and padded with white.
    QImage palette(2, 2, QImage::Format_Indexed8);
    palette.setColorTable({qRgb(0, 0, 0), qRgb(40, 80, 120)});
    palette.fill(1);
    Workspace ws = mixing(filled(3, 2, qRgb(9, 9, 9)), palette);
    std::vector<QImage> frames;
    WriteMixFrames(ws, MixKind::BlendWhiteTransparent, "b",
                   [&](const QString &, const QImage &picture) { frames.push_back(picture); });
    ASSERT_EQ(int(frames.size()), kMixFrames);
    EXPECT_EQ(ws.BlendImage.size(), QSize(3, 2));
    EXPECT_EQ(ws.BlendImage.format(), kPictureFormat);
    const QImage &last = frames.back();
    EXPECT_EQ(last.pixel(1, 1), qRgb(40, 80, 120));
    EXPECT_EQ(last.pixel(2, 0), qRgb(9, 9, 9)); // the white padding lets the cut through
}

// The program saves through the BMP writer, which mixes each frame straight into the file; the
// files must be those of the picture path written by the same writer, for every kind, for rows
// with padding and rows of any length, and with a blend picture smaller than the cut.
TEST(MixRun, TheBmpWriterWritesTheFramesOfThePicturePath)
{
    QTemporaryDir dir;
    std::mt19937 random(3);
    for (const QSize size : {QSize(7, 5), QSize(33, 4), QSize(64, 9)}) {
        QImage cut(size, kPictureFormat);
        for (int y = 0; y < cut.height(); ++y)
            for (int i = 0; i < cut.width() * 3; ++i)
                cut.scanLine(y)[i] = uchar(random());
        QImage blend = cut.mirrored(true, false).copy(0, 0, size.width() - 2, size.height() - 1);
        blend.setPixel(0, 0, qRgb(255, 255, 255));
        for (const MixKind kind : {MixKind::Blend, MixKind::BlendWhiteTransparent,
                                   MixKind::FadeToWhite, MixKind::FadeToBlack}) {
            SCOPED_TRACE(testing::Message()
                         << size.width() << "x" << size.height() << ", kind " << int(kind));
            const QString viaPictures = dir.filePath("p");
            const QString direct = dir.filePath("d");
            BmpFrameWriter writer;
            Workspace ws = mixing(cut, blend);
            WriteMixFrames(ws, kind, viaPictures, [&](const QString &path, const QImage &picture) {
                writer.write(path, picture);
            });
            // A writer whose buffer holds another picture's rows where this one has padding.
            BmpFrameWriter used;
            used.write(dir.filePath("wider.bmp"),
                       cut.scaled(size.width() + 1, size.height()).convertToFormat(kPictureFormat));
            Workspace ws2 = mixing(cut, blend);
            std::vector<int> told;
            WriteMixFrames(ws2, kind, direct, used, [&](int k, int n) {
                EXPECT_EQ(n, kMixFrames);
                told.push_back(k);
            });
            EXPECT_EQ(int(told.size()), kMixFrames);
            EXPECT_EQ(ws2.BlendImage, ws.BlendImage); // fitted to the cut the same way
            for (int k = 1; k <= kMixFrames; ++k) {
                const QByteArray expected = FileBytes(FrameFileName(viaPictures, k));
                ASSERT_FALSE(expected.isEmpty());
                EXPECT_EQ(FileBytes(FrameFileName(direct, k)), expected) << "frame " << k;
            }
        }
    }

    // A folder that is not there: the first frame fails, naming its file, and nothing is left.
    Workspace ws = mixing(filled(3, 2, qRgb(1, 2, 3)), QImage());
    BmpFrameWriter writer;
    const QString missing = dir.filePath("none/f");
    try {
        WriteMixFrames(ws, MixKind::FadeToWhite, missing, writer);
        ADD_FAILURE() << "no failure";
    } catch (const Failure &e) {
        EXPECT_TRUE(e.description().startsWith(FrameFileName(missing, 1))) << e.what();
    }
    EXPECT_FALSE(QDir(dir.filePath("none")).exists());
}

TEST(MixRun, AFailingWriterStopsTheRun)
{
    Workspace ws = mixing(filled(2, 2, qRgb(1, 2, 3)), QImage());
    int written = 0;
    const auto writer = [&](const QString &path, const QImage &) {
        if (written == 4)
            throw Failure(path + " に書き込めません");
        ++written;
    };
    EXPECT_THROW(WriteMixFrames(ws, MixKind::FadeToBlack, "/x/f", writer), Failure);
    EXPECT_EQ(written, 4);
}

} // namespace
