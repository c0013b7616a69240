// SPDX-License-Identifier: GPL-3.0-or-later
// The seeds of the picture kinds beyond BMP and JPEG (16-bit and text-laden PNG, LZW and tiled
// TIFF, lossy, animated and profiled WebP, GIF, TGA), of the whole reading path, and of the
// writers; the hostile files found in those readers, each made here and named after its case.
#include "seeds.h"

#include "core/animation/gif_animation.h"
#include "core/animation/webp_animation.h"
#include "core/image/jpeg_codec.h"

#include "png_making.h"
#include "tiff_making.h"

#include <QBuffer>
#include <QColorSpace>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

namespace {

// A small picture with a gradient and, when alpha, a transparent corner.
QImage seedPicture(bool alpha)
{
    QImage picture(12, 8, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixel(x, y, qRgba(x * 20, y * 30, 200 - x * 10, x + y < 4 ? 0 : 255));
    return picture;
}

QByteArray written(const QImage &picture, const char *format, int quality = -1,
                   int compression = -1)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setQuality(quality);
    if (compression >= 0)
        writer.setCompression(compression);
    if (!writer.write(picture)) {
        std::fprintf(stderr, "fuzz_seeds: no %s writer (%s)\n", format,
                     qPrintable(writer.errorString()));
        std::exit(1);
    }
    return bytes;
}

// A GIF of two frames as the program writes them, the second with a transparent index.
QByteArray gifFile()
{
    AnimationOptions options;
    options.dither = false;
    GifAnimationEncoder encoder(seedPicture(true).size(), options);
    encoder.add(seedPicture(false));
    encoder.add(seedPicture(true));
    return encoder.finish();
}

// A 24-bit TGA 2.0 of 3 x 2 pixels, stored bottom-up, with the footer that Qt's reader asks for.
// Qt reads the uncompressed kind only: the run-length one is refused as damaged.
QByteArray tgaFile(bool runLength)
{
    QByteArray tga(18, '\0');
    tga[2] = char(runLength ? 10 : 2);
    putLe(tga, 12, 3, 2);
    putLe(tga, 14, 2, 2);
    tga[16] = 24;
    if (runLength) {
        tga += raw("\x82\x10\x20\x30");                         // three pixels alike
        tga += raw("\x02\x00\x00\xff\x00\xff\x00\xff\x00\x00"); // three as they are
    } else {
        for (int i = 0; i < 6; ++i)
            tga += QByteArray::fromRawData("\x40\x80\xc0", 3);
    }
    tga += QByteArray(8, '\0'); // no extension area, no developer area
    tga += raw("TRUEVISION-XFILE.\0");
    return tga;
}

// A JPEG with an EXIF block whose IFD 0 holds the orientation tag.
QByteArray withOrientation(const QByteArray &jpeg, int orientation)
{
    QByteArray tiff = raw("II*\0\x08\0\0\0\x01\0"); // little-endian, IFD 0 at 8, one entry
    tiff += raw("\x12\x01\x03\0\x01\0\0\0");        // 0x0112 orientation, SHORT, count 1
    tiff += le(quint32(orientation), 4);
    tiff += raw("\0\0\0\0"); // no next IFD
    const QByteArray exif = raw("Exif\0\0") + tiff;
    QByteArray segment = raw("\xff\xe1");
    segment += char((exif.size() + 2) >> 8);
    segment += char((exif.size() + 2) & 0xff);
    return jpeg.left(2) + segment + exif + jpeg.mid(2);
}

// The choice byte of the reading target for a file named so: which name (and so which extension,
// for bytes without a signature) the target reads it under.
char readingChoice(const QString &name)
{
    static const char *const kSuffixes[] = {"", "bmp", "jpg", "png", "gif", "webp", "tif", "tga"};
    const QString suffix = QFileInfo(name).suffix().toLower();
    for (char i = 1; i < 8; ++i) {
        if (suffix == QLatin1String(kSuffixes[int(i)]))
            return i;
    }
    return 0;
}

// A seed of the kinds beyond BMP and JPEG, for their own target and for the whole reading path.
void putPicture(const QString &name, const QByteArray &bytes)
{
    put("pictures", name, bytes);
    put("reading", name, readingChoice(name) + bytes);
}

PngSpec rgb16WithKey()
{
    PngSpec spec;
    spec.width = 9;
    spec.height = 7;
    spec.bitDepth = 16;
    spec.sample = [](int x, int y, int c) { return unsigned((x * 7919 + y * 104729) * (c + 1)); };
    spec.transparent = png_color_16{0, 1, 2, 3, 0};
    return spec;
}

// A PNG of a 1 x 1 picture and `count` compressed text chunks of `bytes` bytes each: expanded,
// they were megabytes each.
QByteArray textChunks(int count, int bytes)
{
    static std::string text;
    text.assign(size_t(bytes), 'x');
    PngSpec spec;
    spec.chunks = [count](png_structp png, png_infop info) {
        std::vector<png_text> chunks(static_cast<size_t>(count));
        for (png_text &chunk : chunks) {
            chunk.compression = PNG_TEXT_COMPRESSION_zTXt;
            chunk.key = const_cast<char *>("Comment");
            chunk.text = text.data();
            chunk.text_length = text.size();
        }
        png_set_text(png, info, chunks.data(), count);
    };
    return MakePng(spec);
}

void writePngSeeds()
{
    putPicture("rgb-16-bit-transparent-colour.png", MakePng(rgb16WithKey()));
    PngSpec interlaced = rgb16WithKey();
    interlaced.interlaced = true;
    interlaced.colourType = PNG_COLOR_TYPE_GRAY_ALPHA;
    interlaced.transparent.reset(); // an alpha channel has no transparent colour
    putPicture("grey-alpha-16-bit-interlaced.png", MakePng(interlaced));
    PngSpec palette;
    palette.width = 11;
    palette.height = 5;
    palette.colourType = PNG_COLOR_TYPE_PALETTE;
    palette.bitDepth = 4;
    palette.sample = [](int x, int y, int) { return unsigned(x + y) % 16; };
    for (int i = 0; i < 16; ++i)
        palette.palette.push_back({png_byte(i * 16), png_byte(255 - i * 8), png_byte(i * 3)});
    palette.paletteAlpha = {0, 64, 255};
    putPicture("palette-4-bit-transparent.png", MakePng(palette));
    PngSpec gamma = rgb16WithKey();
    gamma.transparent.reset();
    gamma.chunks = [](png_structp png, png_infop info) {
        png_set_gAMA_fixed(png, info, 100000);
        png_set_cHRM_fixed(png, info, 31270, 32900, 64000, 33000, 30000, 60000, 15000, 6000);
    };
    putPicture("gamma-1-and-primaries.png", MakePng(gamma));
    const QByteArray p3 = QColorSpace(QColorSpace::DisplayP3).iccProfile();
    PngSpec profiled = gamma;
    profiled.chunks = [&p3](png_structp png, png_infop info) {
        png_set_iCCP(png, info, "P3", 0, reinterpret_cast<png_const_bytep>(p3.constData()),
                     png_uint_32(p3.size()));
    };
    putPicture("display-p3-profile.png", MakePng(profiled));
    // Found: every compressed text chunk was expanded while the size was asked.
    putPicture("finding-text-chunks.png", textChunks(3, 1 << 20));
    // Found: a 1-bit picture of 20000 x 20000 in a few kilobytes was decoded whole.
    PngSpec flat;
    flat.width = flat.height = 20000;
    flat.colourType = PNG_COLOR_TYPE_GRAY;
    flat.bitDepth = 1;
    putPicture("finding-20000-square-flat.png", MakePng(flat));
}

void writeTiffSeeds()
{
    const auto sample = [](int x, int y, int s) { return uchar(x * 9 + y * 5 + s * 70); };
    putPicture("lzw.tif", written(seedPicture(true), "tiff", -1, 1));
    TiffSpec tiled;
    tiled.width = 40;
    tiled.height = 30;
    tiled.tileSide = 16;
    tiled.sample = sample;
    putPicture("tiles-rgb-40x30.tif", MakeTiff(tiled));
    tiled.width = tiled.height = 10;
    tiled.samples = 4;
    putPicture("tile-larger-than-the-picture.tif", MakeTiff(tiled));
    TiffSpec turned;
    turned.width = 5;
    turned.height = 3;
    turned.orientation = 6;
    turned.sample = sample;
    putPicture("orientation-6.tif", MakeTiff(turned));
    // Found: 16,000 strips sharing one stored row took 2.9 GB from 176 KB.
    TiffSpec shared;
    shared.width = shared.height = 16000;
    shared.oneStripForAll = true;
    putPicture("finding-strips-share-one-row.tif", MakeTiff(shared));
}

QByteArray animatedWebp()
{
    AnimationOptions options;
    options.format = AnimationFormat::Webp;
    WebpAnimationEncoder encoder(seedPicture(true).size(), options);
    encoder.add(seedPicture(false));
    encoder.add(seedPicture(true));
    encoder.add(seedPicture(true).mirrored());
    return encoder.finish();
}

// The headers of files whose declared size their bytes cannot hold.
QByteArray webpDeclaring(int side)
{
    const quint32 bits = quint32(side - 1) | quint32(side - 1) << 14;
    const QByteArray vp8l = raw("\x2f") + le(bits, 4) + QByteArray(8, '\0');
    const QByteArray chunk = "VP8L" + le(quint32(vp8l.size()), 4) + vp8l;
    return "RIFF" + le(quint32(4 + chunk.size()), 4) + "WEBP" + chunk;
}

QByteArray gifOnScreen(int side)
{
    return "GIF89a" + le(quint32(side), 2) + le(quint32(side), 2) +
           raw("\x80\0\0\0\0\0\xff\xff\xff") + raw(",\0\0\0\0\x01\0\x01\0\0") +
           raw("\x02\x02\x44\x01\0;");
}

// Four 1 x 1 images on a 2 x 2 screen, by hand: the disposals "background", "previous", "do not
// dispose" and none, index 1 transparent, an interlaced image and an index beyond the two colours.
QByteArray gifDisposals()
{
    const auto image = [](int disposal, int flags, int x, char code) {
        return raw("!\xf9\x04") + char(disposal << 2 | 1) + raw("\0\0\x01\0") + ',' +
               le(quint32(x), 2) + le(0, 2) + le(1, 2) + le(1, 2) + char(flags) + raw("\x02\x02") +
               code + raw("\x01\0");
    };
    return "GIF89a" + le(2, 2) + le(2, 2) + raw("\x80\0\0\0\0\0\xff\xff\xff") +
           image(2, 0, 0, '\x44') + image(3, 0x40, 1, '\x4c') + image(1, 0, 1, '\x54') +
           image(0, 0, 0, '\x44') + ';';
}

void writeWebpAndGifSeeds()
{
    putPicture("lossless.webp", written(seedPicture(true), "webp", 100));
    putPicture("lossy.webp", written(seedPicture(false), "webp", 50));
    putPicture("animated.webp", animatedWebp());
    QImage profiled = seedPicture(false);
    profiled.setColorSpace(QColorSpace(QColorSpace::DisplayP3));
    putPicture("display-p3-profile.webp", written(profiled, "webp", 100));
    putPicture("two-frames.gif", gifFile());
    putPicture("four-frames-each-disposal.gif", gifDisposals());
    putPicture("plain.tga", tgaFile(false));
    putPicture("run-length-refused.tga", tgaFile(true));
    // Found: 34 bytes declaring 16383 x 16383 took 1.9 GB; a 1 x 1 frame on a 16383 x 16383
    // screen 1.8 GB (Qt's size said 1 x 1); the largest screen was called damaged.
    putPicture("finding-16383-square-in-34-bytes.webp", webpDeclaring(16383));
    putPicture("finding-screen-16383-square.gif", gifOnScreen(16383));
    putPicture("finding-screen-65535-square.gif", gifOnScreen(65535));
}

// A photo with everything a camera writes besides the pixels: EXIF (turned), XMP, IPTC and an
// ICC profile; what a copy of it must keep, or drop, fit for a save.
QByteArray photoWithMetadata()
{
    JpegMetadata metadata;
    metadata.exif = raw("Exif\0\0II*\0\x08\0\0\0\x01\0\x12\x01\x03\0\x01\0\0\0\x06\0\0\0\0\0\0\0");
    metadata.xmp << raw("http://ns.adobe.com/xap/1.0/\0<x:xmpmeta tiff:Orientation=\"6\"/>");
    metadata.iptc << raw("Photoshop 3.0\0008BIM\x04\x04\0\0\0\0\0\x06\x1c\x02\x74\0\x01X");
    metadata.icc = QColorSpace(QColorSpace::DisplayP3).iccProfile();
    return EncodeJpeg(seedPicture(false), 90, metadata);
}

void writeWriterSeeds()
{
    // The writers' inputs are choices: a few spread over the ranges, the rest left to the fuzzer.
    for (const char *target : {"png_writer", "gif_writer", "webp_writer", "sheet"}) {
        for (int i = 0; i < 4; ++i) {
            QByteArray bytes;
            for (int k = 0; k < 96; ++k)
                bytes += char((k * (37 + 16 * i) + i * 91) % 256);
            put(target, QStringLiteral("choices-%1").arg(i), bytes);
        }
    }
}

} // namespace

void writePictureSeeds()
{
    putPicture("rgb.png", written(seedPicture(false), "png"));
    putPicture("alpha.png", written(seedPicture(true), "png"));
    putPicture("rgb.tif", written(seedPicture(false), "tiff"));
    putPicture("alpha.tif", written(seedPicture(true), "tiff"));
    // The JPEG itself is its own target's; here its EXIF block is read.
    putPicture("orientation-6.jpg", withOrientation(SmallJpeg(), 6));
    putPicture("photo-with-metadata.jpg", photoWithMetadata());
    put("reading", "finding-empty-file.png", QByteArray(1, readingChoice("x.png")));
    writePngSeeds();
    writeTiffSeeds();
    writeWebpAndGifSeeds();
    writeWriterSeeds();
}

void writeLargePictureFiles()
{
    // A 16-bit colour PNG of 16384 x 16384 in about 2 MB: 3.1 GB decoded by Qt's reader.
    PngSpec deep;
    deep.width = deep.height = 16384;
    deep.bitDepth = 16;
    put("large", "png-16-bit-16384-square.png", MakePng(deep));
    // 100 compressed text chunks of 7.9 MB each (libpng's readers stop at 8 MB a chunk) in about
    // 770 KB: 3.8 GB and 18.7 s.
    put("large", "png-100-text-chunks.png", textChunks(100, 7900000));
    // A valid two-frame WebP of 6000 x 6000, "damaged" when it was the first picture read.
    AnimationOptions options;
    options.format = AnimationFormat::Webp;
    WebpAnimationEncoder encoder(QSize(6000, 6000), options);
    // White, and a corner of noise: enough data for the pixels' count (a flat one takes 3 KB).
    QImage frame(6000, 6000, QImage::Format_BGR888);
    frame.fill(Qt::white);
    std::mt19937 noise(7);
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 900; ++x)
            frame.scanLine(y)[x] = uchar(noise());
    encoder.add(frame);
    encoder.add(frame.mirrored());
    put("large", "webp-two-frames-6000-square.webp", encoder.finish());
}
