// SPDX-License-Identifier: GPL-3.0-or-later
// Animated GIF and WebP read whole: every frame against ImageMagick's coalesced frames, the
// delays, the bounds checked before decoding, and files cut short.
#include "core/base/io_error.h"
#include "core/image/animation_reading.h"
#include "core/image/colour_space.h"
#include "core/image/picture.h"
#include "core/image/plugin_reading.h"

#include <QColorSpace>
#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <gif_lib.h>
#include <webp/encode.h>
#include <webp/mux.h>

#include <functional>
#include <utility>
#include <vector>

namespace {

// ---------------------------------------------------------------------------------------------
// Animations made in the test

struct GifFrame {
    QRect rect;
    std::function<int(int, int)> index; // the colour index at (x, y) within the frame
    int disposal;
    int transparent;
    int delay; // hundredths
    bool interlaced;
    std::vector<QRgb> localColours; // none: the global table
    GifFrame(QRect r, std::function<int(int, int)> i, int d = DISPOSAL_UNSPECIFIED,
             int t = NO_TRANSPARENT_COLOR, int hundredths = 0, bool interlace = false,
             std::vector<QRgb> local = {})
        : rect(r), index(std::move(i)), disposal(d), transparent(t), delay(hundredths),
          interlaced(interlace), localColours(std::move(local))
    {
    }
};

const std::vector<QRgb> kColours = {qRgb(200, 30, 40), qRgb(10, 220, 60), qRgb(20, 40, 250),
                                    qRgb(250, 250, 0)};

int appendBytes(GifFileType *gif, const GifByteType *data, int length)
{
    static_cast<QByteArray *>(gif->UserData)->append(reinterpret_cast<const char *>(data), length);
    return length;
}

ColorMapObject *mapOf(const std::vector<QRgb> &colours)
{
    std::vector<GifColorType> entries;
    for (const QRgb c : colours)
        entries.push_back({GifByteType(qRed(c)), GifByteType(qGreen(c)), GifByteType(qBlue(c))});
    return GifMakeMapObject(int(entries.size()), entries.data());
}

// A GIF through giflib's writer: global colours (a power of two of them) and the frames.
QByteArray makeGif(QSize screen, const std::vector<GifFrame> &frames,
                   const std::vector<QRgb> &colours = kColours)
{
    QByteArray bytes;
    int error = 0;
    GifFileType *gif = EGifOpen(&bytes, appendBytes, &error);
    EGifSetGifVersion(gif, true);
    ColorMapObject *global = mapOf(colours);
    EGifPutScreenDesc(gif, screen.width(), screen.height(), 8, 0, global);
    GifFreeMapObject(global);
    for (const GifFrame &frame : frames) {
        const GraphicsControlBlock control{frame.disposal, false, frame.delay, frame.transparent};
        GifByteType extension[4];
        EGifGCBToExtension(&control, extension);
        EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, extension);
        ColorMapObject *local = frame.localColours.empty() ? nullptr : mapOf(frame.localColours);
        const QRect r = frame.rect;
        EGifPutImageDesc(gif, r.x(), r.y(), r.width(), r.height(), frame.interlaced, local);
        GifFreeMapObject(local);
        std::vector<int> rows; // in the order they are stored
        static constexpr int kStart[] = {0, 4, 2, 1}, kStep[] = {8, 8, 4, 2};
        for (int pass = 0; pass < (frame.interlaced ? 4 : 1); ++pass)
            for (int y = frame.interlaced ? kStart[pass] : 0; y < r.height();
                 y += frame.interlaced ? kStep[pass] : 1)
                rows.push_back(y);
        std::vector<GifPixelType> line(size_t(r.width()));
        for (const int y : rows) {
            for (int x = 0; x < r.width(); ++x)
                line[size_t(x)] = GifPixelType(frame.index(x, y));
            EGifPutLine(gif, line.data(), r.width());
        }
    }
    EGifCloseFile(gif, &error);
    return bytes;
}

struct WebpFrame {
    QImage picture; // ARGB32
    QPoint at;      // even
    int duration;
    bool blend;
    bool disposeToTransparent;
    WebpFrame(QImage p, QPoint a, int ms, bool b = true, bool dispose = false)
        : picture(std::move(p)), at(a), duration(ms), blend(b), disposeToTransparent(dispose)
    {
    }
};

QByteArray makeWebp(QSize canvas, const std::vector<WebpFrame> &frames,
                    const QByteArray &profile = {})
{
    WebPMux *mux = WebPMuxNew();
    std::vector<QByteArray> bitstreams;
    for (const WebpFrame &frame : frames) {
        uint8_t *out = nullptr;
        const size_t size =
            WebPEncodeLosslessBGRA(frame.picture.constBits(), frame.picture.width(),
                                   frame.picture.height(), int(frame.picture.bytesPerLine()), &out);
        bitstreams.emplace_back(reinterpret_cast<const char *>(out), qsizetype(size));
        WebPFree(out);
        WebPMuxFrameInfo info{};
        info.bitstream = {reinterpret_cast<const uint8_t *>(bitstreams.back().constData()), size};
        info.x_offset = frame.at.x();
        info.y_offset = frame.at.y();
        info.duration = frame.duration;
        info.id = WEBP_CHUNK_ANMF;
        info.dispose_method =
            frame.disposeToTransparent ? WEBP_MUX_DISPOSE_BACKGROUND : WEBP_MUX_DISPOSE_NONE;
        info.blend_method = frame.blend ? WEBP_MUX_BLEND : WEBP_MUX_NO_BLEND;
        EXPECT_EQ(WebPMuxPushFrame(mux, &info, 1), WEBP_MUX_OK);
    }
    const WebPMuxAnimParams params{0x00000000, 0}; // a transparent background, looping
    WebPMuxSetAnimationParams(mux, &params);
    WebPMuxSetCanvasSize(mux, canvas.width(), canvas.height());
    if (!profile.isEmpty()) {
        const WebPData icc{reinterpret_cast<const uint8_t *>(profile.constData()),
                           size_t(profile.size())};
        WebPMuxSetChunk(mux, "ICCP", &icc, 1);
    }
    WebPData assembled{};
    EXPECT_EQ(WebPMuxAssemble(mux, &assembled), WEBP_MUX_OK);
    QByteArray bytes(reinterpret_cast<const char *>(assembled.bytes), qsizetype(assembled.size));
    WebPDataClear(&assembled);
    WebPMuxDelete(mux);
    return bytes;
}

QImage filled(int w, int h, const std::function<QRgb(int, int)> &colour)
{
    QImage picture(w, h, QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            picture.setPixel(x, y, colour(x, y));
    return picture;
}

// ---------------------------------------------------------------------------------------------
// ImageMagick's frames

// Each frame as ImageMagick composes it (`convert -coalesce`), as 32-bit ARGB; empty when it fails.
std::vector<QImage> magickFrames(const QString &convert, const QByteArray &file, const char *suffix)
{
    QTemporaryDir dir;
    const QString input = dir.filePath(QStringLiteral("in.") + QLatin1String(suffix));
    QFile out(input);
    if (!out.open(QIODevice::WriteOnly) || out.write(file) != file.size())
        return {};
    out.close();
    QProcess process;
    process.start(convert, {input, QStringLiteral("-coalesce"), dir.filePath("frame-%d.png")});
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return {};
    std::vector<QImage> frames;
    for (int k = 0; QFile::exists(dir.filePath(QStringLiteral("frame-%1.png").arg(k))); ++k)
        frames.push_back(QImage(dir.filePath(QStringLiteral("frame-%1.png").arg(k)))
                             .convertToFormat(QImage::Format_ARGB32));
    return frames;
}

// The first pixel where two frames differ: transparent pixels by their alpha alone, whatever
// colour they hold. Empty when none.
QString firstDifference(const QImage &oursAnyFormat, const QImage &theirs)
{
    const QImage ours = oursAnyFormat.convertToFormat(QImage::Format_ARGB32);
    if (ours.size() != theirs.size())
        return QStringLiteral("size %1 x %2 against %3 x %4")
            .arg(ours.width())
            .arg(ours.height())
            .arg(theirs.width())
            .arg(theirs.height());
    for (int y = 0; y < ours.height(); ++y)
        for (int x = 0; x < ours.width(); ++x) {
            const QRgb a = ours.pixel(x, y), b = theirs.pixel(x, y);
            if (qAlpha(a) == 0 && qAlpha(b) == 0)
                continue;
            if (a != b)
                return QStringLiteral("(%1, %2): %3 against %4")
                    .arg(x)
                    .arg(y)
                    .arg(a, 8, 16, QLatin1Char('0'))
                    .arg(b, 8, 16, QLatin1Char('0'));
        }
    return {};
}

QString convertTool()
{
    return QStandardPaths::findExecutable(QStringLiteral("convert"));
}

// ---------------------------------------------------------------------------------------------

auto stripes = [](int x, int y) { return (x / 2 + y) % 4; };
auto solid(int index)
{
    return [index](int, int) { return index; };
}

struct CompositionRow {
    const char *name;
    QByteArray file;
    const char *suffix;
};

// Mistakes caught: a disposal applied to the wrong frame or not at all, "background" filled with
// the background colour, "previous" restoring the frame itself, a transparent index drawn, a
// frame placed at (0, 0) or drawn past the screen, interlaced rows in stored order, the global
// table used where a local one is given, a WebP made premultiplied or its channels swapped,
// frames left in the wrong format, the frames not those LoadPicture gives.
TEST(AnimationReading, FramesAreThoseImageMagickComposes)
{
    const QString convert = convertTool();
    if (convert.isEmpty())
        GTEST_SKIP() << "ImageMagick's convert is not installed (scripts/install-deps.sh)";
    const QSize screen(9, 11);
    const QRect whole(QPoint(0, 0), screen);
    // A first frame with a transparent index: ImageMagick then starts, as browsers do, from a
    // transparent screen (without one it starts from the background colour).
    const GifFrame holed{whole, [](int x, int y) { return (x + y) % 5 == 0 ? 3 : (x + y) % 3; },
                         DISPOSAL_UNSPECIFIED, 3};
    const std::vector<QRgb> eight = {qRgb(1, 2, 3),     qRgb(90, 0, 0),   qRgb(0, 90, 0),
                                     qRgb(0, 0, 90),    qRgb(7, 77, 177), qRgb(255, 255, 255),
                                     qRgb(128, 64, 32), qRgb(33, 66, 99)};
    // A first frame over the whole canvas, opaque: ImageMagick starts a WebP from an opaque
    // canvas where libwebp (and browsers) start from a transparent one.
    const QImage pattern = filled(8, 6, [](int x, int y) { return qRgb(x * 30, y * 40, 90); });
    const QImage red = filled(4, 4, [](int, int) { return qRgb(255, 0, 0); });
    const QImage halfBlue =
        filled(4, 2, [](int x, int) { return qRgba(0, 0, 255, x < 2 ? 128 : 0); });
    const QImage green = filled(2, 4, [](int, int) { return qRgb(0, 200, 0); });
    const CompositionRow rows[] = {
        {"gif keep, a frame smaller than the screen, a transparent index",
         makeGif(screen, {{whole, stripes, DISPOSE_DO_NOT},
                          {QRect(2, 1, 5, 4), stripes, DISPOSE_DO_NOT, 0},
                          {QRect(1, 6, 3, 3), solid(2), DISPOSAL_UNSPECIFIED}}),
         "gif"},
        {"gif background cleared to transparent, not to its colour",
         makeGif(screen, {holed,
                          {QRect(3, 2, 4, 5), solid(1), DISPOSE_BACKGROUND},
                          {QRect(0, 0, 4, 4), solid(2), DISPOSE_BACKGROUND, 2},
                          {QRect(5, 5, 2, 2), solid(0)}}),
         "gif"},
        {"gif previous restores what was under the frame",
         makeGif(screen, {{holed.rect, holed.index, DISPOSE_PREVIOUS, 3},
                          {QRect(1, 1, 6, 6), stripes, DISPOSE_DO_NOT},
                          {QRect(2, 2, 5, 3), solid(0), DISPOSE_PREVIOUS, 1},
                          {QRect(4, 3, 3, 6), solid(3), DISPOSE_PREVIOUS},
                          {QRect(0, 8, 2, 2), solid(2)}}),
         "gif"},
        {"gif interlaced, local tables, a frame reaching beyond the screen",
         makeGif(screen,
                 {{whole, [](int x, int y) { return (x * 3 + y) % 8; }, 0, -1, 0, true, eight},
                  {QRect(6, 7, 5, 6), [](int x, int y) { return (x + y) % 8; }, 0, -1, 0, true,
                   eight}}),
         "gif"},
        {"webp blended over transparency, disposed to transparent, not blended",
         makeWebp(QSize(8, 6), {{pattern, {0, 0}, 100, true, true},
                                {halfBlue, {2, 2}, 100},
                                {green, {4, 0}, 100, false},
                                {red, {4, 2}, 100, true, true},
                                {halfBlue, {0, 0}, 100}}),
         "webp"},
    };
    for (const CompositionRow &row : rows) {
        SCOPED_TRACE(row.name);
        const LoadedPicture ours = LoadPicture(row.file, QStringLiteral("a.") + row.suffix);
        const std::vector<QImage> theirs = magickFrames(convert, row.file, row.suffix);
        ASSERT_GE(ours.frames.size(), 2u);
        ASSERT_EQ(ours.frames.size(), theirs.size());
        EXPECT_EQ(ours.picture, ours.frames[0]);
        const bool alpha = ours.frames[0].hasAlphaChannel();
        bool anyTransparent = false;
        for (size_t k = 0; k < theirs.size(); ++k) {
            EXPECT_EQ(firstDifference(ours.frames[k], theirs[k]).toStdString(), "")
                << "frame " << k;
            EXPECT_EQ(ours.frames[k].format(), alpha ? QImage::Format_ARGB32 : kPictureFormat);
            for (int y = 0; y < theirs[k].height(); ++y)
                for (int x = 0; x < theirs[k].width(); ++x)
                    anyTransparent = anyTransparent || qAlpha(theirs[k].pixel(x, y)) != 255;
        }
        EXPECT_EQ(alpha, anyTransparent);
    }
}

// A 1 x 1 GIF image (its control block's disposal "do not dispose") whose one LZW code byte
// (between the clear code and the end) gives its index: 0x44 index 0, 0x4C index 1, 0x54 index 2.
QByteArray gifImage(char code = '\x44')
{
    return QByteArray("!\xf9\x04\x04\0\0\0\0", 8) + QByteArray(",\0\0\0\0\x01\0\x01\0\0", 10) +
           QByteArray("\x02\x02", 2) + code + QByteArray("\x01\0", 2);
}

// A GIF by hand: a square screen with two colours (black, white) and images.
QByteArray gifScreen(int side, const QByteArray &images)
{
    return QByteArray("GIF89a") + char(side & 0xff) + char(side >> 8) + char(side & 0xff) +
           char(side >> 8) + QByteArray("\x80\0\0\0\0\0\xff\xff\xff", 9) + images + ';';
}

// Mistakes caught: an index beyond the colour table drawn as a colour of its own (black, the
// table's first, or a transparent pixel), where nothing is drawn; a GIF of one frame taken as an
// animation.
TEST(AnimationReading, IndicesBeyondTheTableDrawNothing)
{
    const QByteArray gif = gifScreen(1, gifImage('\x4c') + gifImage('\x54'));
    const LoadedPicture loaded = LoadPicture(gif, QStringLiteral("a.gif"));
    ASSERT_EQ(loaded.frames.size(), 2u);
    EXPECT_EQ(loaded.frames[0].pixel(0, 0), qRgb(255, 255, 255));
    EXPECT_EQ(loaded.frames[1].pixel(0, 0), qRgb(255, 255, 255));

    const QRect whole(0, 0, 4, 3);
    const LoadedPicture still =
        LoadPicture(makeGif(whole.size(), {{whole, solid(1)}}), QStringLiteral("b.gif"));
    EXPECT_TRUE(still.frames.empty() && still.delaysMs.empty());
    EXPECT_EQ(still.picture.pixel(2, 2), kColours[1]);
}

// Mistakes caught: a GIF's hundredths not made milliseconds, a zero delay replaced, a WebP's
// timestamps (when each frame ends) taken as its durations; the colours of every frame (not the
// first alone) converted from the WebP's profile.
TEST(AnimationReading, DelaysAndColoursOfEveryFrame)
{
    const QRect whole(0, 0, 3, 2);
    const QByteArray gif = makeGif(
        whole.size(),
        {{whole, solid(0), 0, -1, 7}, {whole, solid(1), 0, -1, 0}, {whole, solid(2), 0, -1, 250}});
    EXPECT_EQ(LoadPicture(gif, QStringLiteral("a.gif")).delaysMs, (std::vector<int>{70, 0, 2500}));

    const QImage a = filled(4, 2, [](int x, int) { return qRgb(200, 40 * x, 10); });
    const QImage b = filled(4, 2, [](int, int y) { return qRgb(30, 90, 100 * y); });
    const QByteArray webp = makeWebp(a.size(), {{a, {}, 15}, {b, {}, 0}, {a, {}, 1000}},
                                     QColorSpace(QColorSpace::DisplayP3).iccProfile());
    const LoadedPicture kept =
        LoadPicture(webp, QStringLiteral("a.webp"), {Orientation::Upright, Colours::AsStored});
    EXPECT_EQ(kept.delaysMs, (std::vector<int>{15, 0, 1000}));
    const LoadedPicture converted = LoadPicture(webp, QStringLiteral("a.webp"));
    EXPECT_FALSE(converted.convertedFrom.isEmpty());
    ASSERT_EQ(converted.frames.size(), 3u);
    for (size_t k = 0; k < 3; ++k) {
        QImage expected = kept.frames[k];
        expected.setColorSpace(QColorSpace(QColorSpace::DisplayP3));
        ConvertToSrgb(expected);
        expected.setColorSpace(QColorSpace());
        EXPECT_NE(converted.frames[k], kept.frames[k]) << "frame " << k;
        EXPECT_EQ(converted.frames[k], expected) << "frame " << k;
        EXPECT_FALSE(converted.frames[k].colorSpace().isValid());
    }
}

struct RefusalRow {
    const char *name;
    QByteArray file;
    const char *suffix;
    const char *why; // a part of the message
};

// Mistakes caught: frames counted or the memory bounded only after decoding (each row would
// take gigabytes, or 10001 frames, before a check), a small file on a huge screen decoded, an
// image far beyond the screen decoded for nothing shown, an animation cut short or damaged in a
// later frame returned in part.
TEST(AnimationReading, RefusedBeforeDecodingOrWhole)
{
    const QImage dot = filled(2, 2, [](int, int) { return qRgb(1, 2, 3); });
    const QImage square = filled(64, 64, [](int x, int y) { return qRgb(x * 4, y * 4, x ^ y); });
    const QByteArray threeWebp =
        makeWebp(square.size(), {{square, {}, 10}, {square.mirrored(), {}, 10}, {square, {}, 10}});
    const QByteArray threeGif = makeGif(QSize(40, 30), {{QRect(0, 0, 40, 30), stripes},
                                                        {QRect(0, 0, 40, 30), solid(1)},
                                                        {QRect(0, 0, 40, 30), stripes}});
    // A 2 x 1 second image whose codes end after one pixel.
    QByteArray shortCodes = gifScreen(2, gifImage() + gifImage());
    shortCodes[13 + 6 + gifImage().size() + 8 + 5] = 2; // header, colours, image 1, control, x, y
    QByteArray huge = gifImage();                       // declared 40000 x 40000, one pixel coded
    huge.replace(8 + 5, 4, QByteArray("\x40\x9c\x40\x9c", 4));
    const RefusalRow rows[] = {
        {"gif of 10001 frames", gifScreen(1, gifImage().repeated(kMaxAnimationFrames + 1)), "gif",
         "フレームが多すぎます"},
        {"gif of 17 frames on a 4096 square", gifScreen(4096, gifImage().repeated(17)), "gif",
         "アニメーションが大きすぎます"},
        {"webp of 17 frames on a 4096 square",
         makeWebp(QSize(4096, 4096), std::vector<WebpFrame>(17, {dot, {}, 10})), "webp",
         "アニメーションが大きすぎます"},
        {"gif image of 40000 square on a 1 x 1 screen", gifScreen(1, gifImage() + huge), "gif",
         "アニメーションが大きすぎます"},
        {"gif screen of 16383 square in a few bytes", gifScreen(16383, gifImage().repeated(2)),
         "gif", "足りません"},
        {"gif cut in its third frame", threeGif.left(threeGif.size() - 20), "gif",
         "途中で切れています"},
        {"gif without its trailer", threeGif.chopped(1), "gif", "途中で切れています"},
        {"gif whose second frame's codes end early", shortCodes, "gif", "壊れています"},
        {"webp cut in its third frame", threeWebp.chopped(10), "webp", "途中で切れています"},
    };
    for (const RefusalRow &row : rows) {
        SCOPED_TRACE(row.name);
        try {
            const LoadedPicture loaded = LoadPicture(row.file, QStringLiteral("x.") + row.suffix);
            ADD_FAILURE() << "read, " << loaded.frames.size() << " frames";
        } catch (const Failure &failure) {
            EXPECT_TRUE(failure.description().contains(QString::fromUtf8(row.why)))
                << failure.description().toStdString();
        }
    }
    EXPECT_EQ(LoadPicture(threeGif, QStringLiteral("whole.gif")).frames.size(), 3u);
    EXPECT_EQ(LoadPicture(threeWebp, QStringLiteral("whole.webp")).frames.size(), 3u);
}

} // namespace
