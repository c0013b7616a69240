// SPDX-License-Identifier: GPL-3.0-or-later
// Colours as the files mean them, a photo's metadata through the batch shrink and a save, and the
// messages of the libraries kept off the terminal.
#include "core/base/child_process.h"
#include "core/batch/shrink.h"
#include "core/image/colour_space.h"
#include "core/image/jpeg_codec.h"
#include "core/image/jpeg_metadata.h"
#include "core/image/picture.h"
#include "core/image/plugin_reading.h"
#include "core/image/png_format.h"
#include "core/image/png_reading.h"

#include "png_making.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QColorSpace>
#include <QTemporaryDir>

#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <libexif/exif-data.h>
#include <unistd.h>

namespace {

using Rgb = std::array<double, 3>;

// sRGB's curve, written out from its definition.
double srgbEncoded(double linear)
{
    linear = std::clamp(linear, 0.0, 1.0);
    return 255 * (linear <= 0.0031308 ? 12.92 * linear : 1.055 * std::pow(linear, 1 / 2.4) - 0.055);
}

double srgbDecoded(int v)
{
    const double c = v / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

// A Display P3 colour in sRGB: the same curve, and the linear P3-to-sRGB matrix of the two
// spaces' primaries (both D65).
Rgb p3InSrgb(int r, int g, int b)
{
    const double lr = srgbDecoded(r), lg = srgbDecoded(g), lb = srgbDecoded(b);
    return {srgbEncoded(1.2249 * lr - 0.2247 * lg), srgbEncoded(-0.0420 * lr + 1.0419 * lg),
            srgbEncoded(-0.0197 * lr - 0.0786 * lg + 1.0979 * lb)};
}

const QByteArray &displayP3()
{
    static const QByteArray profile = QColorSpace(QColorSpace::DisplayP3).iccProfile();
    return profile;
}

QImage flat(int width, int height, QRgb colour)
{
    QImage picture(width, height, kPictureFormat);
    picture.fill(QColor(colour));
    return picture;
}

QByteArray qtWritten(const QImage &picture, const char *format, int quality = -1)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(picture.save(&buffer, format, quality));
    return bytes;
}

// Mistakes: a profile or gamma ignored (a phone's Display P3 photo or a PNG of gamma 1.0 shown
// with other colours than a browser shows), the conversion done twice or to the wrong side,
// --keep-colors converting anyway, an sRGB file converted (a level lost on every pixel), a
// conversion not said, and a PNG written without saying it is sRGB.
TEST(Colours, FilesThatNameTheirColoursAreMadeSrgbUnlessKept)
{
    QTemporaryDir dir;
    const QRgb stored = qRgb(200, 100, 50);
    const Rgb inP3 = p3InSrgb(200, 100, 50);
    const double g1 = 200 / 255.0, g2 = 100 / 255.0, g3 = 50 / 255.0;
    const Rgb linear = {srgbEncoded(g1), srgbEncoded(g2), srgbEncoded(g3)};
    const Rgb asStored = {200, 100, 50};
    QImage p3Tagged = flat(16, 16, stored);
    p3Tagged.setColorSpace(QColorSpace(QColorSpace::DisplayP3));
    PngSpec gammaOne;
    gammaOne.width = gammaOne.height = 4;
    gammaOne.sample = [](int, int, int c) { return unsigned(c == 0 ? 200 : c == 1 ? 100 : 50); };
    gammaOne.chunks = [](png_structp png, png_infop info) {
        png_set_gAMA_fixed(png, info, 100000);
    };
    PngSpec srgbChunk = gammaOne;
    srgbChunk.chunks = [](png_structp png, png_infop info) { png_set_sRGB(png, info, 0); };
    PngSpec iccChunk = gammaOne;
    iccChunk.chunks = [](png_structp png, png_infop info) {
        png_set_iCCP(png, info, "Display P3", 0,
                     reinterpret_cast<png_const_bytep>(displayP3().constData()),
                     png_uint_32(displayP3().size()));
    };
    JpegMetadata withProfile;
    withProfile.icc = displayP3();
    const struct {
        const char *name;
        QByteArray bytes;
        Rgb expected;
        const char *convertedFrom; // empty: nothing converted
        double tolerance;
    } rows[] = {
        {"p.png", MakePng(gammaOne), linear, "ガンマ 1", 1.01},
        {"p3.png", MakePng(iccChunk), inP3, "Display P3", 2.01},
        {"srgb.png", MakePng(srgbChunk), asStored, "", 0},
        {"p3.jpg", EncodeJpeg(flat(16, 16, stored), 100, withProfile), inP3, "Display P3", 3.01},
        {"p3.webp", qtWritten(p3Tagged, "webp", 100), inP3, "Display P3", 2.01},
        {"p3.tif", qtWritten(p3Tagged, "tiff"), inP3, "Display P3", 2.01},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        const QString path = dir.filePath(QString::fromLatin1(row.name));
        PutFile(path, row.bytes);
        const LoadedPicture shown = ReadPicture(path);
        EXPECT_EQ(shown.convertedFrom, QString::fromUtf8(row.convertedFrom));
        EXPECT_FALSE(shown.picture.colorSpace().isValid()); // no second conversion downstream
        const QRgb got = shown.picture.pixel(1, 1);
        EXPECT_NEAR(qRed(got), row.expected[0], row.tolerance);
        EXPECT_NEAR(qGreen(got), row.expected[1], row.tolerance);
        EXPECT_NEAR(qBlue(got), row.expected[2], row.tolerance);
        const LoadedPicture kept = ReadPicture(path, {Orientation::Upright, Colours::AsStored});
        EXPECT_TRUE(kept.convertedFrom.isEmpty());
        EXPECT_NEAR(qRed(kept.picture.pixel(1, 1)), 200, 3);
        EXPECT_NEAR(qBlue(kept.picture.pixel(1, 1)), 50, 3);
    }
    // What the program writes says it is sRGB, for the viewers that would otherwise guess.
    EXPECT_EQ(DecodePng(EncodePng(flat(4, 4, stored)), "out.png").colorSpace(),
              QColorSpace(QColorSpace::SRgb));
}

// An EXIF block of IFD 0's make and orientation and the EXIF IFD's pixel width, and a thumbnail.
QByteArray exifBlock(int orientation, int width)
{
    ExifData *data = exif_data_new();
    exif_data_set_byte_order(data, EXIF_BYTE_ORDER_INTEL);
    ExifEntry *turn = exif_entry_new();
    exif_content_add_entry(data->ifd[EXIF_IFD_0], turn);
    exif_entry_initialize(turn, EXIF_TAG_ORIENTATION);
    exif_set_short(turn->data, EXIF_BYTE_ORDER_INTEL, ExifShort(orientation));
    exif_entry_unref(turn);
    ExifEntry *make = exif_entry_new();
    exif_content_add_entry(data->ifd[EXIF_IFD_0], make);
    make->tag = EXIF_TAG_MAKE;
    make->format = EXIF_FORMAT_ASCII;
    make->components = make->size = 9;
    make->data = static_cast<unsigned char *>(std::malloc(9));
    std::memcpy(make->data, "MokaCam\0", 9);
    exif_entry_unref(make);
    ExifEntry *wide = exif_entry_new();
    exif_content_add_entry(data->ifd[EXIF_IFD_EXIF], wide);
    exif_entry_initialize(wide, EXIF_TAG_PIXEL_X_DIMENSION);
    exif_set_long(wide->data, EXIF_BYTE_ORDER_INTEL, ExifLong(width));
    exif_entry_unref(wide);
    const QByteArray thumbnail = EncodeJpeg(flat(8, 8, qRgb(0, 0, 0)));
    data->data = static_cast<unsigned char *>(std::malloc(size_t(thumbnail.size())));
    std::memcpy(data->data, thumbnail.constData(), size_t(thumbnail.size()));
    data->size = unsigned(thumbnail.size());
    unsigned char *saved = nullptr;
    unsigned int length = 0;
    exif_data_save_data(data, &saved, &length);
    const QByteArray block(reinterpret_cast<const char *>(saved), qsizetype(length));
    std::free(saved);
    exif_data_unref(data);
    return block;
}

struct ExifSeen {
    int orientation = 0;
    QByteArray make;
    long width = 0;
    bool thumbnail = false;
};

ExifSeen seen(const QByteArray &block)
{
    ExifSeen result;
    ExifData *data = exif_data_new_from_data(
        reinterpret_cast<const unsigned char *>(block.constData()), unsigned(block.size()));
    if (!data)
        return result;
    const ExifByteOrder order = exif_data_get_byte_order(data);
    if (ExifEntry *e = exif_content_get_entry(data->ifd[EXIF_IFD_0], EXIF_TAG_ORIENTATION))
        result.orientation = exif_get_short(e->data, order);
    if (ExifEntry *e = exif_content_get_entry(data->ifd[EXIF_IFD_0], EXIF_TAG_MAKE))
        result.make = QByteArray(reinterpret_cast<const char *>(e->data));
    if (ExifEntry *e = exif_content_get_entry(data->ifd[EXIF_IFD_EXIF], EXIF_TAG_PIXEL_X_DIMENSION))
        result.width = e->format == EXIF_FORMAT_LONG ? long(exif_get_long(e->data, order))
                                                     : exif_get_short(e->data, order);
    result.thumbnail = data->data != nullptr || data->ifd[EXIF_IFD_1]->count > 0;
    exif_data_unref(data);
    return result;
}

// Red over green: tells a picture turned a quarter from one as stored.
QImage redOverGreen()
{
    QImage picture(64, 32, kPictureFormat);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 64; ++x)
            picture.setPixel(x, y, y < 16 ? qRgb(220, 30, 30) : qRgb(30, 200, 30));
    return picture;
}

// Mistakes: the shrink writing bare pixels (date, camera, GPS, copyright and profile lost), the
// orientation tag kept on pixels already turned (every viewer shows them sideways) or dropped from
// pixels kept as stored, the old thumbnail kept, the XMP orientation forgotten, --strip leaving
// something, or removing the profile without converting the colours it described; and a save
// (LoadedPicture's metadata) keeping a profile for pixels already made sRGB.
TEST(PhotoMetadata, KeptThroughTheShrinkAndASaveAsTheNewPixelsNeedIt)
{
    QTemporaryDir dir;
    JpegMetadata photo;
    photo.exif = exifBlock(6, 64);
    ASSERT_TRUE(seen(photo.exif).thumbnail) << "the test's block has no thumbnail to drop";
    photo.xmp << QByteArray("http://ns.adobe.com/xap/1.0/\0", 29) +
                     "<x:xmpmeta><rdf:Description tiff:Orientation=\"6\"/></x:xmpmeta>";
    const char iptc[] = "Photoshop 3.0\0008BIM\x04\x04\0\0\0\0\0\x06\x1c\x02\x74\0\x01X";
    photo.iptc << QByteArray(iptc, sizeof iptc - 1);
    photo.icc = displayP3();
    const QString source = dir.filePath("photo.jpg");
    PutFile(source, EncodeJpeg(redOverGreen(), 95, photo));
    ASSERT_EQ(ReadJpegMetadata(FileBytes(source)).icc, photo.icc);

    const QString out = dir.filePath("small.jpg");
    ShrinkBuffers buffers;
    for (const bool keepOrientation : {false, true}) {
        SCOPED_TRACE(keepOrientation ? "--keep-orientation" : "turned upright");
        ShrinkOneFile(source, out, 32, buffers, keepOrientation);
        const JpegMetadata kept = ReadJpegMetadata(FileBytes(out));
        const ExifSeen exif = seen(kept.exif);
        EXPECT_EQ(exif.orientation, keepOrientation ? 6 : 1);
        EXPECT_EQ(exif.make, "MokaCam");
        EXPECT_EQ(exif.width, keepOrientation ? 32 : 16);
        EXPECT_FALSE(exif.thumbnail);
        ASSERT_EQ(kept.xmp.size(), 1);
        EXPECT_TRUE(kept.xmp[0].contains(keepOrientation ? "tiff:Orientation=\"6\""
                                                         : "tiff:Orientation=\"1\""));
        EXPECT_EQ(kept.iptc, photo.iptc);
        EXPECT_EQ(kept.icc, photo.icc); // the pixels are still P3
        const QImage pixels = ReadPicture(out, {Orientation::AsStored, Colours::AsStored}).picture;
        EXPECT_EQ(pixels.size(), keepOrientation ? QSize(32, 16) : QSize(16, 32));
    }
    ShrinkOneFile(source, out, 32, buffers, false, PhotoMetadata::Strip);
    EXPECT_TRUE(ReadJpegMetadata(FileBytes(out)).isEmpty());
    const QRgb top = ReadPictureFile(out).pixel(12, 2); // turned: red on the right half
    const Rgb red = p3InSrgb(220, 30, 30);
    EXPECT_NEAR(qRed(top), red[0], 4);
    EXPECT_NEAR(qGreen(top), red[1], 4);

    for (const Colours colours : {Colours::ToSrgb, Colours::AsStored}) {
        const LoadedPicture loaded = ReadPicture(source, {Orientation::Upright, colours});
        const QString saved = dir.filePath("saved.jpg");
        WriteJpegFile(saved, loaded.picture, kJpegQuality, loaded.metadata);
        const JpegMetadata kept = ReadJpegMetadata(FileBytes(saved));
        EXPECT_EQ(seen(kept.exif).orientation, 1);
        EXPECT_EQ(kept.icc.isEmpty(), colours == Colours::ToSrgb);
        EXPECT_EQ(kept.iptc, photo.iptc);
    }
}

// Runs read() in a child whose standard error goes to a file; what it wrote there.
QByteArray standardErrorOf(const std::function<void()> &read, bool debug)
{
    QTemporaryDir dir;
    const QString log = dir.filePath("stderr.txt");
    const int status = InChild([&] {
        const int fd = ::open(QFile::encodeName(log).constData(), O_WRONLY | O_CREAT, 0600);
        if (fd < 0 || ::dup2(fd, STDERR_FILENO) < 0)
            return kChildCannotRun;
        if (debug)
            ::setenv("MOKARAN_DEBUG", "1", 1);
        else
            ::unsetenv("MOKARAN_DEBUG");
        read();
        return 0;
    });
    EXPECT_EQ(status, 0);
    return FileBytes(log);
}

// Mistake: the libraries' own lines ("QTgaHandler::canRead(): Image type not supported") reach
// the user's terminal before the program's own message. With MOKARAN_DEBUG they must still come:
// that is also what shows this test reads a file that makes them.
TEST(LibraryMessages, StayOffTheTerminalUnlessDebugging)
{
    QTemporaryDir dir;
    QByteArray tga(18, '\0');
    tga[2] = 10; // run-length true colour, which Qt's reader declines
    tga[12] = 1;
    tga[14] = 1;
    tga[16] = 24;
    tga += QByteArray("\x80\x10\x20\x30", 4) + QByteArray(8, '\0') +
           QByteArray("TRUEVISION-XFILE.\0", 18);
    const QString path = dir.filePath("run-length.tga");
    PutFile(path, tga);
    const auto read = [&] { FailureOf([&] { ReadPictureFile(path); }); };
    EXPECT_EQ(standardErrorOf(read, false), QByteArray());
    EXPECT_FALSE(standardErrorOf(read, true).isEmpty());
}

} // namespace
