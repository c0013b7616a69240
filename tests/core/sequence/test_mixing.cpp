// SPDX-License-Identifier: GPL-3.0-or-later
// The blended and faded runs: the weights, the exactly rounded mixes, fitting the blend picture.
#include "core/base/io_error.h"
#include "core/image/bmp_format.h"
#include "core/image/picture.h"
#include "core/image/rounding.h"
#include "core/sequence/frame_files.h"
#include "core/sequence/mixing.h"

#include "cut_run.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <iterator>
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

// Frame k of a mixed run, kept apart from the run's buffer.
QImage mixed(MixKind kind, const QImage &cut, const QImage &blend, int k)
{
    return MixRun(cut, blend, kind)->frame(k).copy();
}

// Channel bytes of pixel (x, y) in memory order: blue, green, red.
std::array<int, 3> bytesAt(const QImage &picture, int x, int y)
{
    const uchar *p = picture.constScanLine(y) + 3 * x;
    return {p[0], p[1], p[2]};
}

TEST(Mixing, ChannelsNextToAHalfRoundTheWayTheWeightSays)
{
    // Frame 11's weight lies just below 0.5: a plain double product would land on the half.
    QImage frame =
        mixed(MixKind::Blend, filled(2, 2, qRgb(1, 1, 1)), filled(2, 2, qRgb(2, 2, 2)), 11);
    EXPECT_EQ(bytesAt(frame, 1, 1), (std::array<int, 3>{1, 1, 1}));

    frame = mixed(MixKind::FadeToBlack, filled(2, 2, qRgb(3, 3, 3)), {}, 11);
    EXPECT_EQ(bytesAt(frame, 0, 0), (std::array<int, 3>{1, 1, 1}));

    frame = mixed(MixKind::FadeToWhite, filled(2, 2, qRgb(2, 0, 2)), {}, 11); // red 2, blue 2
    EXPECT_EQ(bytesAt(frame, 0, 1), (std::array<int, 3>{129, 128, 129}));
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
    EXPECT_EQ(mixed(MixKind::FadeToWhite, cut, {}, 1), filled(3, 2, qRgb(255, 255, 255)));
    EXPECT_EQ(mixed(MixKind::FadeToBlack, cut, {}, 1), filled(3, 2, qRgb(0, 0, 0)));
    EXPECT_EQ(mixed(MixKind::FadeToWhite, cut, {}, 21), cut);
    EXPECT_EQ(mixed(MixKind::FadeToBlack, cut, {}, 21), cut);

    // x is slightly above 1 in frame 21, yet no channel leaves the blend picture's value.
    EXPECT_EQ(mixed(MixKind::Blend, cut, blend, 1), cut);
    EXPECT_EQ(mixed(MixKind::Blend, cut, blend, 21), blend);
    const QImage last = mixed(MixKind::BlendWhiteTransparent, cut, blend, 21);
    EXPECT_EQ(last, blend);
    EXPECT_EQ(last.format(), kPictureFormat);

    // A frame handed out stays as it was while the run makes the next (the PNG writer holds
    // several at once).
    const std::unique_ptr<FrameRun> run = MixRun(cut, blend, MixKind::Blend);
    const QImage first = run->frame(1);
    run->frame(21);
    EXPECT_EQ(first, cut);
}

TEST(Mixing, OnlyPureWhiteIsTransparent)
{
    const QImage cut = filled(2, 1, qRgb(10, 20, 30));
    QImage blend = filled(2, 1, qRgb(255, 255, 255));
    blend.setPixel(1, 0, qRgb(255, 255, 254)); // blue 254: mixed in
    for (int k = 1; k <= kMixFrames; ++k) {
        const QImage transparent = mixed(MixKind::BlendWhiteTransparent, cut, blend, k);
        const QImage normal = mixed(MixKind::Blend, cut, blend, k);
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
    const auto exact = [](long double x, int b, int c) {
        return int(std::clamp<int64_t>(Round(x * b + (1 - x) * c), 0, 255));
    };
    int mismatches = 0;
    for (int k = 1; k <= kMixFrames; ++k) {
        const long double x = MixWeight(k);
        const QImage blended = mixed(MixKind::Blend, cut, blend, k);
        const QImage keyed = mixed(MixKind::BlendWhiteTransparent, cut, blend, k); // no pure white
        const QImage white = mixed(MixKind::FadeToWhite, cut, {}, k);
        const QImage black = mixed(MixKind::FadeToBlack, cut, {}, k);
        for (int y = 0; y < 256; ++y) {
            const int w = int(Round(255 - x * (255 - y)));
            const int b = int(Round(x * y));
            for (int px = 0; px < 256; ++px) {
                const std::array<int, 3> expected = {exact(x, 255 - px, y), exact(x, px, y),
                                                     exact(x, px, y)};
                mismatches += bytesAt(blended, px, y) != expected;
                mismatches += bytesAt(keyed, px, y) != expected;
                mismatches += bytesAt(white, px, y) != std::array<int, 3>{w, w, w};
                mismatches += bytesAt(black, px, y) != std::array<int, 3>{b, b, b};
            }
        }
        EXPECT_EQ(mismatches, 0) << "up to frame " << k;
    }
}

// The blend takes a fixed-point vector path where the weight allows one and a table otherwise;
// the white-keyed blend, given a blend picture without pure white, always takes the table. Both
// must give the same bytes at every weight of the run, for rows of any length (vectors of 32 and
// 16 channels and single channels at the end of a row).
TEST(Mixing, EveryWeightAndRowLengthGivesTheSameBytesAsTheTable)
{
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
        const std::unique_ptr<FrameRun> fast = MixRun(cut, blend, MixKind::Blend);
        const std::unique_ptr<FrameRun> table = MixRun(cut, blend, MixKind::BlendWhiteTransparent);
        for (int k = 1; k <= kMixFrames; ++k)
            ASSERT_EQ(fast->frame(k), table->frame(k)) << "width " << width << ", frame " << k;
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

TEST(MixRun, FitsAPaletteBlendPictureToTheCut)
{
    // An 8-bit palette picture smaller than the cut: converted, and padded with white.
    QImage palette(2, 2, QImage::Format_Indexed8);
    palette.setColorTable({qRgb(0, 0, 0), qRgb(40, 80, 120)});
    palette.fill(1);
    const std::unique_ptr<FrameRun> run =
        MixRun(filled(3, 2, qRgb(9, 9, 9)), palette, MixKind::BlendWhiteTransparent);
    ASSERT_EQ(run->count(), kMixFrames);
    const QImage &last = run->frame(kMixFrames);
    EXPECT_EQ(last.size(), QSize(3, 2));
    EXPECT_EQ(last.format(), kPictureFormat);
    EXPECT_EQ(last.pixel(1, 1), qRgb(40, 80, 120));
    EXPECT_EQ(last.pixel(2, 0), qRgb(9, 9, 9)); // the white padding lets the cut through
}

// A mixed run written as BMP mixes each frame straight into the file; the files must be those of
// its frames written by the same writer, for every kind, for rows with padding and rows of any
// length, and with a blend picture smaller than the cut.
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
            const std::unique_ptr<FrameRun> run = MixRun(cut, blend, kind);
            for (int k = 1; k <= kMixFrames; ++k)
                writer.write(FrameFileName(viaPictures, k), run->frame(k));
            // A writer whose buffer holds another picture's rows where this one has padding.
            BmpFrameWriter used;
            used.write(dir.filePath("wider.bmp"),
                       cut.scaled(size.width() + 1, size.height()).convertToFormat(kPictureFormat));
            const std::unique_ptr<FrameRun> again = MixRun(cut, blend, kind);
            for (int k = 1; k <= kMixFrames; ++k)
                again->writeBmp(k, FrameFileName(direct, k), used);
            for (int k = 1; k <= kMixFrames; ++k) {
                const QByteArray expected = FileBytes(FrameFileName(viaPictures, k));
                ASSERT_FALSE(expected.isEmpty());
                EXPECT_EQ(FileBytes(FrameFileName(direct, k)), expected) << "frame " << k;
            }
        }
    }

    // A folder that is not there: the first frame fails, naming its file, and nothing is left.
    BmpFrameWriter writer;
    const QString missing = dir.filePath("none/f");
    try {
        MixRun(filled(3, 2, qRgb(1, 2, 3)), {}, MixKind::FadeToWhite)
            ->writeBmp(1, FrameFileName(missing, 1), writer);
        ADD_FAILURE() << "no failure";
    } catch (const Failure &e) {
        EXPECT_TRUE(e.description().startsWith(FrameFileName(missing, 1))) << e.what();
    }
    EXPECT_FALSE(QDir(dir.filePath("none")).exists());
}

// Whether got is the premultiplied mix of two non-premultiplied pixels at weight x, worked out
// apart from the run at extended precision: each channel the value rounded half to even, or,
// where the exact value may lie within a hair of a half, either neighbour.
bool premultipliedMix(QRgb got, double x, QRgb cut, QRgb blend)
{
    using Long = long double;
    const Long wb = x, wc = 1.0L - Long(x);
    const auto near = [](int value, Long v) {
        const Long floor = std::floor(v);
        const Long rest = v - floor;
        const int low = std::clamp(int(floor), 0, 255), high = std::clamp(int(floor) + 1, 0, 255);
        if (std::fabs(rest - 0.5L) < 1e-9L)
            return value == low || value == high;
        return value == (rest > 0.5L ? high : low);
    };
    const Long alpha = wb * qAlpha(blend) + wc * qAlpha(cut);
    if (!near(qAlpha(got), alpha))
        return false;
    if (qAlpha(got) == 0)
        return got == 0;
    const auto channel = [&](int value, int c, int b) {
        return near(value, (wb * qAlpha(blend) * b + wc * qAlpha(cut) * c) / alpha);
    };
    return channel(qRed(got), qRed(cut), qRed(blend)) &&
           channel(qGreen(got), qGreen(cut), qGreen(blend)) &&
           channel(qBlue(got), qBlue(cut), qBlue(blend));
}

// Blend and fade through transparency: frames with alpha for outputs that keep it, from the
// cutting path the window and the command line share, against a table of pixels worked by hand
// and the premultiplied mix of every pixel; BMP output keeps the 24-bit mix over white. Catches
// a fade to the colour where it should fade the opacity, colours mixed without their alpha (a
// transparent pixel's hidden colour bleeding in), alpha left at the cut's, and BMP files changed.
TEST(MixRun, TransparencyMixesAsPremultipliedPixelsWhereTheOutputKeepsIt)
{
    // Row 0: the table's pixels, cut over blend; rows 1 .. 4: every alpha against every other.
    const struct {
        QRgb cut, blend;
        QRgb blendEleven, fadeEleven; // frame 11, x just below 0.5
    } table[] = {
        // Opaque both: the colours mix as without alpha (1 and 2 at just below a half: 1).
        {qRgba(1, 100, 200, 255), qRgba(2, 0, 0, 255), qRgba(1, 50, 100, 255),
         qRgba(1, 100, 200, 127)},
        // A transparent cut: the blend's colour alone, at about half its opacity.
        {qRgba(255, 0, 0, 0), qRgba(0, 0, 255, 200), qRgba(0, 0, 255, 100), 0},
        // An opaque red cut, a half-transparent blue blend: alpha 255 - 127x, just above 191.5:
        // 192; red 255 * 255 / 383 = 169.8 -> 170, blue 128 * 255 / 383 = 85.2 -> 85.
        {qRgba(255, 0, 0, 255), qRgba(0, 0, 255, 128), qRgba(170, 0, 85, 192),
         qRgba(255, 0, 0, 127)},
        // Both transparent: nothing, whatever colours they hide.
        {qRgba(9, 9, 9, 0), qRgba(200, 200, 200, 0), 0, 0},
    };
    const int width = 16;
    QImage picture(width, 5, QImage::Format_ARGB32);
    QImage blend(width, 5, QImage::Format_ARGB32);
    picture.fill(qRgba(30, 60, 90, 255));
    blend.fill(qRgba(0, 0, 0, 255));
    for (int i = 0; i < int(std::size(table)); ++i) {
        picture.setPixel(i, 0, table[i].cut);
        blend.setPixel(i, 0, table[i].blend);
    }
    std::mt19937 random(29);
    for (int y = 1; y < 5; ++y) {
        for (int x = 0; x < width; ++x) {
            const int alphas[] = {0, 1, 128, 254, 255};
            picture.setPixel(x, y,
                             qRgba(int(random() % 256), int(random() % 256), int(random() % 256),
                                   alphas[x % 5]));
            blend.setPixel(x, y,
                           qRgba(int(random() % 256), int(random() % 256), int(random() % 256),
                                 alphas[(x / 5 + y) % 5]));
        }
    }
    const QRect frame(0, 0, width, 5);

    for (const OutputKind kind : {OutputKind::NumberedFiles, OutputKind::Animation}) {
        CutJob blending = JobOf(CutKind::Blend);
        CutJob fading = JobOf(CutKind::Fade);
        fading.fadeColour = FadeColour::Black; // no colour shows through transparency
        for (CutJob *job : {&blending, &fading}) {
            job->output.kind = kind;
            job->output.format = FrameFormat::Png;
        }
        const std::unique_ptr<FrameRun> blended = CutRun(picture, frame, blending, blend);
        const std::unique_ptr<FrameRun> faded = CutRun(picture, frame, fading);
        ASSERT_TRUE(blended->hasAlpha());
        ASSERT_TRUE(faded->hasAlpha());
        for (int k = 1; k <= kMixFrames; ++k) {
            SCOPED_TRACE(testing::Message() << "frame " << k);
            const QImage b = blended->frame(k).copy();
            const QImage f = faded->frame(k).copy();
            ASSERT_EQ(b.format(), QImage::Format_ARGB32);
            for (int y = 0; y < 5; ++y) {
                for (int x = 0; x < width; ++x) {
                    const QRgb c = picture.pixel(x, y), o = blend.pixel(x, y);
                    const QRgb got = b.pixel(x, y);
                    ASSERT_TRUE(premultipliedMix(got, MixWeight(k), c, o))
                        << x << "," << y << ": " << std::hex << got << " from cut " << c
                        << " and blend " << o;
                    // The fade: the premultiplied mix with nothing at all.
                    ASSERT_TRUE(premultipliedMix(f.pixel(x, y), MixWeight(k), 0, c))
                        << x << "," << y << ": " << std::hex << f.pixel(x, y) << " from " << c;
                }
            }
            if (k == 11) {
                for (int i = 0; i < int(std::size(table)); ++i) {
                    EXPECT_EQ(b.pixel(i, 0), table[i].blendEleven) << "table row " << i;
                    EXPECT_EQ(f.pixel(i, 0), table[i].fadeEleven) << "table row " << i;
                }
            }
        }
        // Frame 1 is nothing at all, the last the cut, every invisible pixel 0.
        QImage cut = picture;
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < width; ++x)
                if (qAlpha(cut.pixel(x, y)) == 0)
                    cut.setPixel(x, y, 0);
        QImage none(width, 5, QImage::Format_ARGB32);
        none.fill(0);
        EXPECT_EQ(faded->frame(1), none);
        EXPECT_EQ(faded->frame(kMixFrames), cut);
        EXPECT_EQ(blended->frame(1), cut);
    }

    // BMP files: the 24-bit mixes of the pictures over white, as before, whether the run was
    // made for them or for an output with alpha.
    CutJob bmp = JobOf(CutKind::Blend);
    bmp.output.format = FrameFormat::Bmp;
    const std::unique_ptr<FrameRun> opaque = CutRun(picture, frame, bmp, blend);
    EXPECT_FALSE(opaque->hasAlpha());
    CutJob png = bmp;
    png.output.format = FrameFormat::Png;
    const std::unique_ptr<FrameRun> withAlpha = CutRun(picture, frame, png, blend);
    const std::unique_ptr<FrameRun> before =
        MixRun(To24Bit(picture), To24Bit(blend), MixKind::Blend);
    QTemporaryDir dir;
    BmpFrameWriter writer;
    for (int k = 1; k <= kMixFrames; ++k) {
        EXPECT_EQ(opaque->frame(k), before->frame(k)) << "frame " << k;
        withAlpha->writeBmp(k, dir.filePath("a.bmp"), writer);
        writer.write(dir.filePath("b.bmp"), before->frame(k));
        EXPECT_EQ(FileBytes(dir.filePath("a.bmp")), FileBytes(dir.filePath("b.bmp")))
            << "frame " << k;
    }
}

} // namespace
