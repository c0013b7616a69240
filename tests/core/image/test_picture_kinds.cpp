// SPDX-License-Identifier: GPL-3.0-or-later
// The picture kinds beyond BMP and JPEG, photos turned upright by their EXIF orientation, and
// transparency on the canvas.
#include "core/animation/gif_animation.h"
#include "core/base/io_error.h"
#include "core/batch/shrink.h"
#include "core/image/jpeg_codec.h"
#include "core/image/picture.h"
#include "core/image/picture_reading.h"
#include "core/image/plugin_reading.h"
#include "core/image/webp_format.h"

#include "test_files.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>

namespace {

// Four colours, so a palette of GIF keeps them exactly; alpha 0, 100 and 255 in turn (or 0 and
// 255 alone, for TIFF, whose Qt writer stores partial alpha premultiplied and so rounds it).
QImage fourColours(bool alpha, bool partial = true)
{
    QImage picture(12, 6, alpha ? QImage::Format_ARGB32 : kPictureFormat);
    const QRgb colours[] = {qRgb(200, 30, 40), qRgb(10, 220, 60), qRgb(20, 40, 250),
                            qRgb(250, 250, 250)};
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb c = colours[(x / 3 + y) % 4];
            const int a = !alpha ? 255 : x % 3 == 0 ? 0 : x % 3 == 1 && partial ? 100 : 255;
            picture.setPixel(x, y, qRgba(qRed(c), qGreen(c), qBlue(c), a));
        }
    return picture;
}

QByteArray qtWritten(const QImage &picture, const char *format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(picture.save(&buffer, format)) << format;
    return bytes;
}

// An uncompressed TGA 2.0 file (18-byte header, rows top-down, the 26-byte footer) built by hand:
// Qt's TGA plugin only reads.
QByteArray tgaOf(const QImage &picture)
{
    const QImage bgr = picture.convertToFormat(kPictureFormat);
    QByteArray bytes(18, '\0');
    bytes[2] = 2; // true colour, uncompressed
    bytes[12] = char(bgr.width());
    bytes[14] = char(bgr.height());
    bytes[16] = 24;
    bytes[17] = 0x20; // top-down
    for (int y = 0; y < bgr.height(); ++y)
        bytes.append(reinterpret_cast<const char *>(bgr.constScanLine(y)), bgr.width() * 3);
    bytes.append(QByteArray(8, '\0'));
    bytes.append("TRUEVISION-XFILE.", 17);
    bytes.append('\0');
    return bytes;
}

QByteArray gifOf(const QImage &picture)
{
    AnimationOptions options;
    options.dither = false;
    GifAnimationEncoder encoder(picture.size(), options);
    encoder.add(picture);
    return encoder.finish();
}

// Pixels as a reader should see them: GIF has only "transparent or not".
QImage comparable(const QImage &picture, bool binaryAlpha)
{
    QImage argb = picture.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < argb.height(); ++y)
        for (int x = 0; x < argb.width(); ++x) {
            const QRgb p = argb.pixel(x, y);
            const int a = binaryAlpha ? (qAlpha(p) < 128 ? 0 : 255) : qAlpha(p);
            argb.setPixel(x, y, a == 0 ? 0 : qRgba(qRed(p), qGreen(p), qBlue(p), a));
        }
    return argb;
}

// Each kind reads with its pixels and alpha, by content whatever its name, and a damaged or
// cut-short file of each kind is refused naming the file and the kind. Catches the extension
// deciding over the content, alpha lost by the reader, a cut-short GIF or TGA accepted with its
// missing rows blank (Qt's readers return those without an error), and messages naming no kind.
TEST(PictureKinds, EachKindReadsByContentAndDamagedFilesSayWhy)
{
    QTemporaryDir dir;
    const QImage opaque = fourColours(false);
    const QImage seeThrough = fourColours(true);
    const struct {
        const char *kind;
        const char *extension;
        QByteArray bytes;
        QImage picture;
        bool binaryAlpha;
        bool hasSignature;
    } rows[] = {
        {"PNG", "png", qtWritten(seeThrough, "PNG"), seeThrough, false, true},
        {"GIF", "gif", gifOf(seeThrough), seeThrough, true, true},
        {"WebP", "webp", EncodeWebpLossless(seeThrough), seeThrough, false, true},
        {"TIFF", "tif", qtWritten(fourColours(true, false), "TIFF"), fourColours(true, false),
         false, true},
        {"TGA", "tga", tgaOf(opaque), opaque, false, false},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.kind);
        const QString ext = QString::fromLatin1(row.extension);
        const QString named = dir.filePath("p." + ext);
        PutFile(named, row.bytes);
        const QImage read = ReadPictureFile(named);
        EXPECT_EQ(read.hasAlphaChannel(), row.picture.hasAlphaChannel());
        EXPECT_EQ(comparable(read, row.binaryAlpha), comparable(row.picture, row.binaryAlpha));
        if (row.hasSignature) { // a PNG named .jpg is a PNG
            const QString misnamed = dir.filePath("p_" + ext + ".jpg");
            PutFile(misnamed, row.bytes);
            EXPECT_EQ(comparable(ReadPictureFile(misnamed), row.binaryAlpha),
                      comparable(row.picture, row.binaryAlpha));
        }
        const QString kind = QString::fromLatin1(row.kind);
        for (const QByteArray &damaged :
             {row.bytes.left(row.bytes.size() / 2), QByteArray(300, 'x')}) {
            const QString path = dir.filePath("damaged." + ext);
            PutFile(path, damaged);
            const QString why = FailureOf([&] { ReadPictureFile(path); });
            EXPECT_TRUE(why.startsWith(path + QStringLiteral(" を読み込めません")))
                << why.toStdString();
            EXPECT_TRUE(why.contains(kind + QStringLiteral(" ファイルが壊れています")) ||
                        why.contains(kind + QStringLiteral(" ファイルが途中で切れています")))
                << why.toStdString();
        }
    }
}

// A JPEG with an EXIF block holding only the orientation tag: "Exif" APP1 right after SOI, a
// little-endian TIFF header, IFD 0 with the one SHORT entry 0x0112.
QByteArray withOrientation(const QByteArray &jpeg, int orientation)
{
    QByteArray tiff("II*\0\x08\0\0\0", 8);
    tiff.append("\x01\0", 2);                           // one entry
    tiff.append("\x12\x01\x03\0\x01\0\0\0", 8);         // tag 0x0112, SHORT, count 1
    tiff.append(char(orientation)).append("\0\0\0", 3); // the value, padded to 4 bytes
    tiff.append("\0\0\0\0", 4);                         // no next IFD
    const QByteArray exif = QByteArray("Exif\0\0", 6) + tiff;
    QByteArray app1("\xFF\xE1", 2);
    app1.append(char((exif.size() + 2) >> 8)).append(char((exif.size() + 2) & 0xff)).append(exif);
    return jpeg.left(2) + app1 + jpeg.mid(2);
}

// Quadrants of 32 x 16: red, green over blue, white. JPEG keeps their colours near enough.
QImage quadrants()
{
    QImage picture(64, 32, kPictureFormat);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 64; ++x)
            picture.setPixel(x, y,
                             y < 16 ? (x < 32 ? qRgb(255, 0, 0) : qRgb(0, 255, 0))
                                    : (x < 32 ? qRgb(0, 0, 255) : qRgb(255, 255, 255)));
    return picture;
}

// The colour nearest to the pixel at the centre of each quadrant, as a letter: R G B W.
QString corners(const QImage &picture)
{
    QString letters;
    const int w = picture.width(), h = picture.height();
    for (const QPoint p : {QPoint(w / 4, h / 4), QPoint(3 * w / 4, h / 4), QPoint(w / 4, 3 * h / 4),
                           QPoint(3 * w / 4, 3 * h / 4)}) {
        const QRgb c = picture.pixel(p);
        letters += qRed(c) > 128 && qGreen(c) > 128 ? u'W'
                   : qRed(c) > 128                  ? u'R'
                   : qGreen(c) > 128                ? u'G'
                                                    : u'B';
    }
    return letters;
}

// All eight orientations, written by hand from the tags' meaning (stored: R G over B W). Catches
// 6 and 8 swapped (the classic mistake), 5 and 7 swapped, a mirror turned the wrong way, the sides
// not swapped for 5 to 8, the batch shrink ignoring the tag, and --keep-orientation not keeping.
TEST(ExifOrientation, AllEightAreShownUprightUnlessKeptAsStored)
{
    QTemporaryDir dir;
    const QByteArray stored = EncodeJpeg(quadrants());
    const struct {
        int orientation;
        const char *shown; // top-left, top-right, bottom-left, bottom-right
    } rows[] = {{1, "RGBW"}, {2, "GRWB"}, {3, "WBGR"}, {4, "BWRG"},
                {5, "RBGW"}, {6, "BRWG"}, {7, "WGBR"}, {8, "GWRB"}};
    for (const auto &row : rows) {
        SCOPED_TRACE(testing::Message() << "orientation " << row.orientation);
        const QByteArray bytes = withOrientation(stored, row.orientation);
        EXPECT_EQ(ExifOrientation(bytes), row.orientation);
        const QString path = dir.filePath(QStringLiteral("photo%1.jpg").arg(row.orientation));
        PutFile(path, bytes);
        const QImage shown = ReadPictureFile(path);
        EXPECT_EQ(shown.size(), row.orientation >= 5 ? QSize(32, 64) : QSize(64, 32));
        EXPECT_EQ(corners(shown), QLatin1String(row.shown));
        const QImage kept = ReadPictureFile(path, Orientation::AsStored);
        EXPECT_EQ(corners(kept), QLatin1String("RGBW"));

        // The batch shrink's outputs carry no tag: they must be upright in their pixels.
        ShrinkBuffers buffers;
        const QString small = dir.filePath(QStringLiteral("small%1.jpg").arg(row.orientation));
        ShrinkOneFile(path, small, 32, buffers);
        const QImage shrunk = ReadPictureFile(small, Orientation::AsStored);
        EXPECT_EQ(shrunk.size(), row.orientation >= 5 ? QSize(16, 32) : QSize(32, 16));
        EXPECT_EQ(corners(shrunk), QLatin1String(row.shown));
        ShrinkOneFile(path, small, 32, buffers, true);
        EXPECT_EQ(corners(ReadPictureFile(small, Orientation::AsStored)), QLatin1String("RGBW"));
    }
}

} // namespace
