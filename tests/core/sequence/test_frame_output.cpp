// SPDX-License-Identifier: GPL-3.0-or-later
// The outputs of a run read back by decoders other than the ones that wrote them: Qt's PNG and GIF
// readers, libwebp's animation decoder. Frame count, size, delay, loop, alpha and pixels.
#include "core/base/io_error.h"
#include "core/image/bmp_format.h"
#include "core/image/picture.h"
#include "core/sequence/frame_output.h"
#include "core/sequence/mixing.h"

#include "cut_run.h"
#include "pictures.h"
#include "test_files.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <webp/demux.h>

#include <cmath>
#include <utility>
#include <vector>

namespace {

// 64 x 24 with every alpha a cut can meet: opaque, fully transparent, and partly transparent on
// both sides of a half. Colours differ in every channel and in every 16 x 16 cut, so a frame out
// of order, or red and blue swapped, cannot pass.
QImage seeThroughPicture()
{
    QImage picture(64, 24, QImage::Format_ARGB32);
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const int alpha = (x + y) % 7 == 0   ? 0
                              : (x + y) % 7 == 1 ? 90
                              : (x * y) % 5 == 0 ? 170
                                                 : 255;
            picture.setPixel(x, y, qRgba(x * 4, 255 - y * 9, (x * 7 + y * 3) % 256, alpha));
        }
    }
    return picture;
}

// The run of 16 x 16 cuts from (0, 4) to the right, 16 pixels a step, written to output; with
// blend, the blended run of the first cut instead.
std::unique_ptr<FrameRun> cutting(const QImage &picture, const FrameOutput &output,
                                  const QImage &blend = {})
{
    CutJob job = JobOf(blend.isNull() ? CutKind::Continuous : CutKind::Blend);
    job.step = 16;
    job.output = output;
    return CutRun(picture, QRect(0, 4, 16, 16), job, blend);
}

// The frame the run must hold at position k, straight from the picture.
QImage expectedCut(const QImage &picture, int k)
{
    return picture.copy(16 * (k - 1), 4, 16, 16).convertToFormat(QImage::Format_ARGB32);
}

// Peak signal to noise over the colour of the pixels `counted` keeps, in decibels; premultiplied,
// each colour as much as its alpha shows of it.
template <typename Counted>
double psnr(const QImage &a, const QImage &b, Counted counted, bool premultiplied = false)
{
    double squares = 0;
    long samples = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            if (!counted(p))
                continue;
            const double ap = premultiplied ? qAlpha(p) / 255.0 : 1.0;
            const double aq = premultiplied ? qAlpha(q) / 255.0 : 1.0;
            for (const auto &[u, v] : {std::pair(qRed(p), qRed(q)), std::pair(qGreen(p), qGreen(q)),
                                       std::pair(qBlue(p), qBlue(q))}) {
                const double d = u * ap - v * aq;
                squares += d * d;
            }
            samples += 3;
        }
    }
    return squares == 0 ? 99.0 : 10 * std::log10(255.0 * 255.0 * samples / squares);
}

struct Decoded {
    std::vector<QImage> frames; // ARGB32
    std::vector<int> delays;    // ms
    int loopCount = -2;         // Qt's convention: -1 forever
};

Decoded readWithQt(const QString &path)
{
    Decoded d;
    QImageReader reader(path);
    d.loopCount = reader.loopCount();
    for (int i = 0; i < reader.imageCount(); ++i) {
        const QImage frame = reader.read();
        if (frame.isNull())
            break;
        d.frames.push_back(frame.convertToFormat(QImage::Format_ARGB32));
        d.delays.push_back(reader.nextImageDelay());
    }
    return d;
}

Decoded readWebp(const QString &path)
{
    Decoded d;
    const QByteArray bytes = FileBytes(path);
    const WebPData data{reinterpret_cast<const uint8_t *>(bytes.constData()), size_t(bytes.size())};
    WebPAnimDecoderOptions options;
    WebPAnimDecoderOptionsInit(&options);
    options.color_mode = MODE_BGRA; // the bytes of Format_ARGB32 on this machine
    WebPAnimDecoder *decoder = WebPAnimDecoderNew(&data, &options);
    if (!decoder)
        return d;
    WebPAnimInfo info;
    WebPAnimDecoderGetInfo(decoder, &info);
    d.loopCount = info.loop_count == 0 ? -1 : int(info.loop_count);
    int previous = 0;
    while (WebPAnimDecoderHasMoreFrames(decoder)) {
        uint8_t *pixels = nullptr;
        int end = 0;
        if (!WebPAnimDecoderGetNext(decoder, &pixels, &end))
            break;
        const QImage frame(pixels, int(info.canvas_width), int(info.canvas_height),
                           QImage::Format_ARGB32);
        d.frames.push_back(frame.copy());
        d.delays.push_back(end - previous);
        previous = end;
    }
    WebPAnimDecoderDelete(decoder);
    return d;
}

// Every output of one continuous run over a picture with alpha, and of one blend, read back.
// Catches red and blue swapped on the way to a library, frames out of order or a ping-pong that
// repeats its ends, a delay in the wrong unit, a missing loop block, alpha lost (or kept where
// a partly transparent pixel must become opaque in GIF), and lossless output that is not exact.
TEST(FrameOutput, EveryOutputReadsBackWithAnIndependentDecoder)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QImage picture = seeThroughPicture();

    enum class Decoder { PngFiles, QtAnimation, Webp };
    const struct {
        const char *name;
        OutputKind kind;
        AnimationFormat format;
        int delayMs;
        bool pingPong;
        int quality;
        bool mix;
        Decoder decoder;
        std::vector<int> shown; // the run's frames in the order the file must show them
        // 0: exact. Lossy WebP keeps colour at half resolution, which a pattern that changes colour
        // at every pixel feels most; a red-blue swap still scores below 10.
        double minimumPsnr;
    } rows[] = {
        // clang-format off
        {"png", OutputKind::NumberedFiles, {}, 0, false, 0, false, Decoder::PngFiles,
         {1, 2, 3, 4}, 0},
        {"cut.gif", OutputKind::Animation, AnimationFormat::Gif, 100, false, -1, false,
         Decoder::QtAnimation, {1, 2, 3, 4}, 30},
        {"pingpong.gif", OutputKind::Animation, AnimationFormat::Gif, 70, true, -1, false,
         Decoder::QtAnimation, {1, 2, 3, 4, 3, 2}, 30},
        {"blend.gif", OutputKind::Animation, AnimationFormat::Gif, 40, false, -1, true,
         Decoder::QtAnimation, {}, 30},
        {"cut.webp", OutputKind::Animation, AnimationFormat::Webp, 100, false, -1, false,
         Decoder::Webp, {1, 2, 3, 4}, 0},
        {"pingpong.webp", OutputKind::Animation, AnimationFormat::Webp, 35, true, -1, false,
         Decoder::Webp, {1, 2, 3, 4, 3, 2}, 0},
        {"lossy.webp", OutputKind::Animation, AnimationFormat::Webp, 100, false, 90, true,
         Decoder::Webp, {}, 20},
        // clang-format on
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        FrameOutput output;
        output.kind = row.kind;
        output.path = dir.filePath(row.name);
        output.format = FrameFormat::Png;
        output.animation = {row.format, row.delayMs, row.pingPong, true, row.quality};
        const std::unique_ptr<FrameRun> run =
            cutting(picture, output, row.mix ? picture.mirrored(true, false) : QImage());
        std::vector<int> shown = row.shown;
        std::vector<QImage> expected; // frame k at k - 1
        for (int k = 1; k <= run->count(); ++k) {
            expected.push_back(row.mix ? run->frame(k).convertToFormat(QImage::Format_ARGB32)
                                       : expectedCut(picture, k));
            if (row.mix)
                shown.push_back(k);
        }
        int told = 0;
        WriteFrameOutput(*run, output, [&](int k, int n) {
            EXPECT_EQ(k, ++told);
            EXPECT_EQ(n, int(shown.size()));
        });
        EXPECT_EQ(told, int(shown.size()));

        Decoded read;
        if (row.decoder == Decoder::PngFiles) {
            for (int k = 1; k <= run->count(); ++k)
                read.frames.push_back(PixelsOf(FrameFileName(output.path, k, FrameFormat::Png),
                                               QImage::Format_ARGB32));
        } else {
            read = row.decoder == Decoder::Webp ? readWebp(output.path) : readWithQt(output.path);
            EXPECT_EQ(read.loopCount, -1); // forever
            // GIF keeps hundredths of a second: 35 ms would be 40, 70 stays 70.
            EXPECT_EQ(read.delays, std::vector<int>(shown.size(), row.delayMs));
        }
        ASSERT_EQ(read.frames.size(), shown.size());
        for (size_t i = 0; i < shown.size(); ++i) {
            SCOPED_TRACE(testing::Message() << "shown " << i << ", frame " << shown[i]);
            const QImage &want = expected[size_t(shown[i] - 1)];
            const QImage &got = read.frames[i];
            ASSERT_EQ(got.size(), want.size());
            const bool gif = row.decoder == Decoder::QtAnimation;
            for (int y = 0; y < want.height(); ++y) {
                for (int x = 0; x < want.width(); ++x) {
                    const int a = qAlpha(want.pixel(x, y));
                    // GIF: one transparent index, for the pixels less than half opaque.
                    const int alpha = gif ? (a < 128 ? 0 : 255) : a;
                    ASSERT_EQ(qAlpha(got.pixel(x, y)), alpha) << x << "," << y;
                    if (row.minimumPsnr == 0 && a > 0) {
                        ASSERT_EQ(got.pixel(x, y), want.pixel(x, y)) << x << "," << y;
                    }
                }
            }
            if (row.minimumPsnr > 0) {
                // WebP: as the frame shows over anything, its colours weighed by their alpha
                // (blended frames hold every alpha from 0 up).
                EXPECT_GE(
                    psnr(
                        want, got, [gif](QRgb p) { return qAlpha(p) >= (gif ? 128 : 1); }, !gif),
                    row.minimumPsnr);
            }
        }
    }
}

// Storing only what changed must lose nothing where the colours are few: every frame of pans over
// a flat picture with transparent holes, read back by Qt's own GIF decoder, equals the frame cut.
// Catches a changed rectangle cut short, a pixel kept from the frame before where this frame is
// transparent, a hole the next frame leaves transparent not cleared, and a shared table indexed
// wrong.
TEST(FrameOutput, GifFramesOfFewColoursReadBackExactly)
{
    QTemporaryDir dir;
    QImage picture(160, 24, QImage::Format_ARGB32);
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 160; ++x)
            picture.setPixel(x, y,
                             (x / 8 + y / 6) % 5 == 0 ? qRgba(0, 0, 0, 0)
                             : (x * y) % 7 == 0       ? qRgb(250, 200 - x % 40, 10)
                                                      : qRgb(30, 90, 160));
    for (const int step : {1, 3, 16}) {
        SCOPED_TRACE(step);
        FrameOutput output;
        output.kind = OutputKind::Animation;
        output.path = dir.filePath(QStringLiteral("pan%1.gif").arg(step));
        output.animation = {AnimationFormat::Gif, 100, false, true, -1};
        CutJob job = JobOf(CutKind::Continuous);
        job.step = step;
        job.output = output;
        const std::unique_ptr<FrameRun> run = CutRun(picture, QRect(0, 4, 16, 16), job);
        WriteFrameOutput(*run, output);
        const Decoded read = readWithQt(output.path);
        ASSERT_EQ(int(read.frames.size()), run->count());
        for (int k = 1; k <= run->count(); ++k) {
            const QImage want = picture.copy(step * (k - 1), 4, 16, 16);
            const QImage &got = read.frames[size_t(k - 1)];
            for (int y = 0; y < 16; ++y)
                for (int x = 0; x < 16; ++x) {
                    const QRgb w = want.pixel(x, y), g = got.pixel(x, y);
                    ASSERT_TRUE(qAlpha(w) == 0 ? qAlpha(g) == 0 : g == w)
                        << "frame " << k << " at " << x << "," << y;
                }
        }
    }
}

// A sheet's JSON must give the rectangles where the sheet holds each frame, with the padding
// around and between them. Catches padding put only between frames, rows and columns swapped, an
// empty column for a run shorter than the row, and names that do not follow the frame rule.
TEST(FrameOutput, SheetRectanglesInTheJsonHoldTheFrames)
{
    QTemporaryDir dir;
    const QImage picture = seeThroughPicture();
    const struct {
        int columns, padding;
        QSize size;
        QRect fourth;
    } rows[] = {
        {3, 2, {56, 38}, {2, 20, 16, 16}},  // 3 + 1 frames, padding all round
        {2, 0, {32, 32}, {16, 16, 16, 16}}, // no padding
        {9, 1, {69, 18}, {52, 1, 16, 16}},  // more columns than frames: one row of 4
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(testing::Message() << row.columns << " columns, padding " << row.padding);
        FrameOutput output;
        output.kind = OutputKind::Sheet;
        output.path = dir.filePath("walk.png");
        output.sheet = {row.columns, row.padding};
        WriteFrameOutput(*cutting(picture, output), output);

        const QImage sheet = PixelsOf(output.path, QImage::Format_ARGB32);
        ASSERT_EQ(sheet.size(), row.size);
        const QJsonObject json =
            QJsonDocument::fromJson(FileBytes(dir.filePath("walk.json"))).object();
        const QJsonObject meta = json["meta"].toObject();
        EXPECT_EQ(meta["image"].toString(), "walk.png");
        EXPECT_EQ(meta["size"].toObject()["w"].toInt(), row.size.width());
        EXPECT_EQ(meta["size"].toObject()["h"].toInt(), row.size.height());
        const QJsonObject frames = json["frames"].toObject();
        ASSERT_EQ(frames.size(), 4);
        QImage covered(sheet.size(), QImage::Format_Mono);
        covered.fill(0);
        for (int k = 1; k <= 4; ++k) {
            // Each frame is named as the numbered PNG file of the sheet's name would be.
            const QJsonObject f =
                frames[QStringLiteral("walk00%1.png").arg(k)].toObject()["frame"].toObject();
            const QRect rect(f["x"].toInt(), f["y"].toInt(), f["w"].toInt(), f["h"].toInt());
            EXPECT_EQ(sheet.copy(rect), expectedCut(picture, k)) << "frame " << k;
            for (int y = rect.top(); y <= rect.bottom(); ++y)
                for (int x = rect.left(); x <= rect.right(); ++x)
                    covered.setPixel(x, y, 1);
            if (k == 4) {
                EXPECT_EQ(rect, row.fourth);
            }
        }
        for (int y = 0; y < sheet.height(); ++y) {
            for (int x = 0; x < sheet.width(); ++x) {
                if (!covered.pixelIndex(x, y)) {
                    ASSERT_EQ(sheet.pixel(x, y), qRgba(0, 0, 0, 0))
                        << "padding at " << x << "," << y;
                }
            }
        }
    }
}

// BMP files are 24-bit BMPs byte for byte as WriteBmp24File writes them, whether a run makes the
// rows itself (a mix) or hands over pictures; one file takes the name given; PNG frames take the
// frame names with their own extension; a failure leaves the frames before it, each whole. Catches
// the mix path losing the direct rows, one file numbered, an extension rule that strips the wrong
// ending, and a run that goes on (or leaves a torn file) after a frame fails.
TEST(FrameOutput, BmpFilesAreTheWritersBytesAndFailuresLeaveWholeFrames)
{
    QTemporaryDir dir;
    QImage opaque(61, 23, kPictureFormat);
    for (int y = 0; y < opaque.height(); ++y)
        for (int x = 0; x < opaque.width(); ++x)
            opaque.setPixel(x, y, qRgb(x * 4, y * 11, x ^ y));
    const QRect frame(0, 4, 13, 7); // rows padded to 4 bytes
    CutJob job = JobOf(CutKind::Continuous);
    job.output.path = dir.filePath("new.bmp");
    CutJob mix = JobOf(CutKind::Blend);
    mix.output.path = dir.filePath("mix");
    CutJob single = JobOf(CutKind::Single);
    single.output.kind = OutputKind::OneFile;
    single.output.path = dir.filePath("one.bmp");
    for (const CutJob &each : {job, mix, single}) {
        const std::unique_ptr<FrameRun> run =
            CutRun(opaque, frame, each, opaque.mirrored(true, true));
        WriteFrameOutput(*run, each.output);
        const QStringList files = OutputFiles(each.output, run->count());
        ASSERT_EQ(files.size(), run->count());
        for (int k = 1; k <= run->count(); ++k) {
            const QString expected = dir.filePath("expected.bmp");
            WriteBmp24File(expected, run->frame(k));
            EXPECT_EQ(FileBytes(files[k - 1]), FileBytes(expected)) << files[k - 1].toStdString();
        }
    }
    EXPECT_TRUE(QFileInfo::exists(dir.filePath("new004.bmp")));
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("new005.bmp"))); // 61 - 13 = 48: 3 steps of 15
    EXPECT_TRUE(QFileInfo::exists(dir.filePath("one.bmp")));
    EXPECT_EQ(QDir(dir.path()).entryList({"mix*.bmp"}, QDir::Files).size(), kMixFrames);

    // Frame 3's name taken by a folder: frames 1 and 2 stay whole, the run stops there.
    ASSERT_TRUE(QDir(dir.path()).mkdir("cut003.png"));
    job.output.path = dir.filePath("cut");
    job.output.format = FrameFormat::Png;
    int told = 0;
    EXPECT_THROW(
        WriteFrameOutput(*CutRun(opaque, frame, job), job.output, [&](int, int) { ++told; }),
        Failure);
    EXPECT_EQ(told, 2);
    EXPECT_EQ(PixelsOf(dir.filePath("cut002.png"), kPictureFormat),
              opaque.copy(frame.translated(15, 0)));
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("cut004.png")));

    const struct {
        const char *base;
        const char *expected;
    } names[] = {
        {"/anim/walk.png", "/anim/walk012.png"},
        {"/anim/walk.PNG", "/anim/walk012.png"},
        {"/anim/walk.bmp", "/anim/walk012.png"}, // any picture's extension goes, once
        {"/anim/broken.JPG", "/anim/broken012.png"},
        {"/anim/walk.png.bak", "/anim/walk.png.bak012.png"},
        {"/anim/walk", "/anim/walk012.png"},
    };
    for (const auto &row : names)
        EXPECT_EQ(FrameFileName(row.base, 12, FrameFormat::Png), row.expected);
}

// An animation of three 64 x 64 frames, each a few colours with holes of full transparency,
// every 32 x 32 tile different in every frame, shown 30, 70 and 120 ms.
struct Animation {
    PictureDocument document;
    CutFrame frame{QSize(32, 32)};
    Animation()
    {
        Frames frames;
        for (int f = 0; f < 3; ++f) {
            QImage picture(64, 64, QImage::Format_ARGB32);
            for (int y = 0; y < 64; ++y)
                for (int x = 0; x < 64; ++x)
                    picture.setPixel(
                        x, y,
                        (x + y + f) % 9 == 0
                            ? qRgba(0, 0, 0, 0)
                            : qRgb(40 * f + x / 32 * 100, y / 32 * 150, (x / 8 + y / 8) % 2 * 200));
            frames.push_back(picture);
        }
        document.loadAnimation(frames, {30, 70, 120}, frame);
    }
    // Frame f (from 1) of the tile at `at`, as it must be read back.
    QImage tile(int f, QPoint at) const
    {
        return document.frames()[size_t(f - 1)].copy(QRect(at, QSize(32, 32)));
    }
};

// Whether two frames show the same: equal colours where opaque, both transparent elsewhere.
bool sameShown(const QImage &a, const QImage &b)
{
    if (a.size() != b.size())
        return false;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            if (qAlpha(p) != qAlpha(q) || (qAlpha(p) != 0 && p != q))
                return false;
        }
    return true;
}

// The tiles of an animation cut on a grid, as numbered GIFs and WebPs read back by Qt's and
// libwebp's decoders, and its cut played backwards, faster, as a sheet's durations: catches
// tiles cut from the frame shown alone, frames of a tile out of step with the picture's, the
// file's delays dropped for the one default, speed multiplying instead of dividing, and reverse
// applied to the order of the tiles instead of the time within each.
TEST(FrameOutput, AnAnimationCutOnAGridGivesAnAnimationPerTile)
{
    Animation a;
    a.document.showFrame(1); // the window may show any frame: every tile holds all three
    QTemporaryDir dir;
    CutJob job = JobOf(CutKind::Grid);
    job.output.kind = OutputKind::NumberedFiles;
    job.output.path = dir.filePath("tile");
    const QPoint tiles[] = {{0, 0}, {32, 0}, {0, 32}, {32, 32}};
    for (const FrameFormat format : {FrameFormat::Gif, FrameFormat::Webp}) {
        job.output.format = format;
        const std::unique_ptr<FrameRun> run = MakeFrameRun(a.document, a.frame, job);
        ASSERT_EQ(run->count(), 4);
        WriteFrameOutput(*run, job.output);
        for (int t = 1; t <= 4; ++t) {
            const QString path = FrameFileName(job.output.path, t, format);
            const Decoded d = format == FrameFormat::Gif ? readWithQt(path) : readWebp(path);
            ASSERT_EQ(d.frames.size(), 3u) << path.toStdString();
            EXPECT_EQ(d.delays, (std::vector<int>{30, 70, 120})) << path.toStdString();
            for (int f = 1; f <= 3; ++f)
                EXPECT_TRUE(sameShown(d.frames[size_t(f - 1)], a.tile(f, tiles[t - 1])))
                    << path.toStdString() << " frame " << f;
        }
    }

    // The cut of every frame, backwards and twice as fast, with a delay of its own replacing
    // none of the file's.
    CutJob cut = JobOf(CutKind::Single);
    a.frame.moveTo({32, 32});
    cut.output.kind = OutputKind::Animation;
    cut.output.path = dir.filePath("cut.webp");
    cut.output.animation.format = AnimationFormat::Webp;
    cut.output.animation.speed = 2;
    cut.output.animation.reverse = true;
    WriteFrameOutput(*MakeFrameRun(a.document, a.frame, cut), cut.output);
    const Decoded back = readWebp(cut.output.path);
    ASSERT_EQ(back.frames.size(), 3u);
    EXPECT_EQ(back.delays, (std::vector<int>{60, 35, 15}));
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(sameShown(back.frames[size_t(i)], a.tile(3 - i, {32, 32})));

    // A sheet tells each frame's own duration; --delay replaces them all.
    cut.output.kind = OutputKind::Sheet;
    cut.output.path = dir.filePath("sheet.png");
    cut.output.animation = {};
    cut.output.animation.speed = 0.5;
    for (const bool replace : {false, true}) {
        cut.output.animation.replaceDelays = replace;
        WriteFrameOutput(*MakeFrameRun(a.document, a.frame, cut), cut.output);
        const QJsonObject frames =
            QJsonDocument::fromJson(FileBytes(dir.filePath("sheet.json")))["frames"].toObject();
        std::vector<int> durations;
        for (const char *name : {"sheet001.png", "sheet002.png", "sheet003.png"})
            durations.push_back(frames[QLatin1String(name)]["duration"].toInt());
        const std::vector<int> expected =
            replace ? std::vector<int>{200, 200, 200} : std::vector<int>{60, 140, 240};
        EXPECT_EQ(durations, expected);
    }

    // Browsers play GIF delays under 20 ms at 100 ms: said before a GIF, not before a WebP.
    cut.output.kind = OutputKind::Animation;
    cut.output.animation = {};
    cut.output.animation.speed = 2;
    const std::unique_ptr<FrameRun> fast = MakeFrameRun(a.document, a.frame, cut);
    EXPECT_TRUE(FastGifWarning(*fast, cut.output).contains(QStringLiteral("15")));
    cut.output.animation.format = AnimationFormat::Webp;
    EXPECT_TRUE(FastGifWarning(*fast, cut.output).isEmpty());
}

} // namespace
