// SPDX-License-Identifier: GPL-3.0-or-later
// The kinds beyond BMP and JPEG under attack and at their edges: sizes their bytes cannot hold,
// text that would expand a thousandfold, Qt's limit before the first picture, TIFF's tiles and
// orientation.
#include "core/animation/webp_animation.h"
#include "core/base/child_process.h"
#include "core/image/picture.h"
#include "core/image/plugin_reading.h"

#include "png_making.h"
#include "test_files.h"
#include "tiff_making.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QTemporaryDir>

#include <random>
#include <sys/resource.h>

namespace {

QByteArray le(unsigned v, int bytes)
{
    QByteArray b;
    for (int i = 0; i < bytes; ++i)
        b += char(v >> (8 * i));
    return b;
}

// A lossless WebP header declaring width x height, with nothing behind it.
QByteArray webpDeclaring(int width, int height)
{
    const unsigned bits = unsigned(width - 1) | unsigned(height - 1) << 14;
    const QByteArray vp8l = QByteArray("\x2f", 1) + le(bits, 4) + QByteArray(8, '\0');
    const QByteArray chunk = "VP8L" + le(unsigned(vp8l.size()), 4) + vp8l;
    return "RIFF" + le(unsigned(4 + chunk.size()), 4) + "WEBP" + chunk;
}

// A GIF whose 1 x 1 image sits on a screen of width x height.
QByteArray gifOnScreen(int width, int height)
{
    return "GIF89a" + le(unsigned(width), 2) + le(unsigned(height), 2) +
           QByteArray("\x80\0\0\0\0\0\xff\xff\xff", 9) + QByteArray(",\0\0\0\0\x01\0\x01\0\0", 10) +
           QByteArray("\x02\x02\x44\x01\0;", 6);
}

// Mistakes: a decoder that believes a header (a 34-byte WebP of 16383 x 16383 took 1.9 GB, a
// 35-byte GIF 1.8 GB, since its screen counts and Qt's size does not say it; a TIFF of 16,000
// strips that share one row, 2.9 GB), and a GIF too large for the program called damaged.
TEST(HostilePictures, SizesTheirBytesCannotHoldAreRefusedBeforeDecoding)
{
    QTemporaryDir dir;
    TiffSpec sharedStrips;
    sharedStrips.width = sharedStrips.height = 16000;
    sharedStrips.oneStripForAll = true;
    PngSpec wideGrey;
    wideGrey.width = wideGrey.height = 8192;
    wideGrey.colourType = PNG_COLOR_TYPE_GRAY;
    wideGrey.bitDepth = 1;
    const struct {
        const char *name;
        QByteArray bytes;
        const char *refusal;
    } rows[] = {
        {"lossless.webp", webpDeclaring(16383, 16383),
         "データが 16383 x 16383 の画像には足りません"},
        {"screen.gif", gifOnScreen(16383, 16383), "データが 16383 x 16383 の画像には足りません"},
        {"largest.gif", gifOnScreen(65535, 65535), "画像が大きすぎます: 65535 x 65535"},
        {"strips.tif", MakeTiff(sharedStrips), "データが 16000 x 16000 の画像には足りません"},
        {"flat.png", MakePng(wideGrey), "データが 8192 x 8192 の画像には足りません"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        const QString path = dir.filePath(QString::fromLatin1(row.name));
        PutFile(path, row.bytes);
        const QString why = FailureOf([&] { ReadPictureFile(path); });
        EXPECT_TRUE(why.contains(QString::fromUtf8(row.refusal))) << why.toStdString();
    }
}

// How much a child's peak memory grew while action ran, in MB (255 at most); 0 when it failed.
int grownMegabytes(const std::function<bool()> &action)
{
    return InChild([&] {
        rusage before{};
        getrusage(RUSAGE_SELF, &before);
        if (!action())
            return 0;
        rusage after{};
        getrusage(RUSAGE_SELF, &after);
        return int(std::clamp<long>((after.ru_maxrss - before.ru_maxrss) / 1024, 1, 255));
    });
}

// Mistake: every compressed text chunk expanded while the size is asked (a 771 KB PNG of 100 of
// them took 3.8 GB). Here 20 chunks of 7.9 MB of text each (libpng's readers stop at 8 MB a
// chunk), in a 1 x 1 picture.
TEST(HostilePictures, TextChunksAreNeverExpanded)
{
    QTemporaryDir dir;
    static const std::string text(7900000, 'x');
    PngSpec spec;
    spec.chunks = [](png_structp png, png_infop info) {
        std::vector<png_text> chunks(20);
        for (png_text &chunk : chunks) {
            chunk.compression = PNG_TEXT_COMPRESSION_zTXt;
            chunk.key = const_cast<char *>("Comment");
            chunk.text = const_cast<char *>(text.c_str());
            chunk.text_length = text.size();
        }
        png_set_text(png, info, chunks.data(), int(chunks.size()));
    };
    const QString path = dir.filePath("text.png");
    PutFile(path, MakePng(spec));
    const int grown = grownMegabytes([&] { return ReadPictureFile(path).size() == QSize(1, 1); });
    EXPECT_GE(grown, 1) << "the picture was not read";
    EXPECT_LT(grown, 40) << "MB grown; the text holds 158";
}

// Mistake: Qt's own allocation limit (128 MB) still standing when the first picture is read, and
// raised only later: a valid 6000 x 6000 animated WebP was "damaged" as the first picture read,
// and read as the second. The test program runs again with this test alone, which then reads the
// file as its first picture (a forked child would inherit the pictures read before, and Qt's
// thread pool without its threads).
TEST(PictureReading, TheFirstPictureReadHasTheProgramsLimitsOnly)
{
    const QString given = qEnvironmentVariable("MOKARAN_TEST_FIRST_PICTURE");
    if (!given.isEmpty()) {
        EXPECT_EQ(ReadPictureFile(given).size(), QSize(6000, 6000));
        return;
    }
    QTemporaryDir dir;
    AnimationOptions options;
    options.format = AnimationFormat::Webp;
    WebpAnimationEncoder encoder(QSize(6000, 6000), options);
    QImage frame(6000, 6000, kPictureFormat);
    frame.fill(Qt::white);
    std::mt19937 noise(7); // enough data for the pixels' count: a flat 6000 x 6000 takes 3 KB
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 3 * 300; ++x)
            frame.scanLine(y)[x] = uchar(noise());
    encoder.add(frame);
    encoder.add(frame.mirrored());
    const QString path = dir.filePath("two-frames.webp");
    PutFile(path, encoder.finish());
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("MOKARAN_TEST_FIRST_PICTURE"), path);
    child.setProcessEnvironment(environment);
    child.start(QStringLiteral("/proc/self/exe"),
                {QStringLiteral(
                    "--gtest_filter=PictureReading.TheFirstPictureReadHasTheProgramsLimitsOnly")});
    ASSERT_TRUE(child.waitForFinished(120000));
    EXPECT_EQ(child.exitCode(), 0) << child.readAllStandardOutput().toStdString();
}

// Mistakes: Qt's reader refused tiled files (RGB tiles always, any picture smaller than one tile),
// and the orientation tag was ignored (orientation 6 stayed sideways, unlike EXIF in a JPEG).
TEST(TiffReading, TilesOfAnySizeAndTheOrientationTag)
{
    const auto sample = [](int x, int y, int s) { return uchar(x * 9 + y * 5 + s * 70); };
    const struct {
        const char *label;
        int width, height, samples, tileSide, orientation;
    } rows[] = {
        {"RGB, 40 x 30 in tiles of 16", 40, 30, 3, 16, 1},
        {"grey, 10 x 10 in one tile of 16", 10, 10, 1, 16, 1},
        {"RGB and alpha, 40 x 30 in tiles of 16", 40, 30, 4, 16, 1},
        {"RGB strips, orientation 6", 5, 3, 3, 0, 6},
        {"RGB tiles, orientation 7", 20, 17, 3, 16, 7},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.label);
        TiffSpec spec;
        spec.width = row.width;
        spec.height = row.height;
        spec.samples = row.samples;
        spec.tileSide = row.tileSide;
        spec.orientation = row.orientation;
        spec.sample = [&](int x, int y, int s) {
            return row.samples == 4 && s == 3 ? uchar(x % 2 ? 255 : 0) : sample(x, y, s);
        };
        QImage stored(row.width, row.height, QImage::Format_ARGB32);
        for (int y = 0; y < row.height; ++y)
            for (int x = 0; x < row.width; ++x) {
                const int grey = sample(x, y, 0);
                const bool clear = row.samples == 4 && x % 2 == 0;
                stored.setPixel(x, y,
                                clear              ? 0u
                                : row.samples == 1 ? qRgb(grey, grey, grey)
                                                   : qRgb(grey, sample(x, y, 1), sample(x, y, 2)));
            }
        const QByteArray tiff = MakeTiff(spec);
        const auto argb = [](const QImage &picture) {
            QImage out = picture.convertToFormat(QImage::Format_ARGB32);
            for (int y = 0; y < out.height(); ++y)
                for (int x = 0; x < out.width(); ++x)
                    if (qAlpha(out.pixel(x, y)) == 0)
                        out.setPixel(x, y, 0);
            return out;
        };
        EXPECT_EQ(argb(DecodePicture(tiff, ContentKind::Tiff, "t.tif")),
                  Upright(stored, row.orientation));
        EXPECT_EQ(argb(DecodePicture(tiff, ContentKind::Tiff, "t.tif", Orientation::AsStored)),
                  stored);
    }
}

} // namespace
