// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the seed corpora of the fuzz targets, one folder a target: small valid files of every
// kind each reader takes (every BMP depth and both RLE codings; baseline, progressive, grey,
// arithmetic, CMYK and YCCK JPEGs; the program's own text files), and the hostile files found
// when the readers were attacked, each named after what it does. The replay tests read them all
// on every test run; `make fuzz` starts each fuzzer from them.
//
// usage: fuzz_seeds OUT DATA_DIR [--large]
//   DATA_DIR is the repository's data/ folder (data.dat and jpeg.dat are seeds as they ship).
//   --large also writes OUT/large/: inputs too large for a corpus, for measuring (bench/).
#include "jpeg_making.h"
#include "seeds.h"

#include <QBuffer>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QString>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include <jpeglib.h>

namespace {

QString g_out;

} // namespace

void put(const QString &target, const QString &name, const QByteArray &bytes)
{
    const QString folder = g_out + u'/' + target;
    QDir().mkpath(folder);
    QFile file(folder + u'/' + name);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "fuzz_seeds: cannot write %s\n", qPrintable(file.fileName()));
        std::exit(1);
    }
}

namespace {

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "fuzz_seeds: cannot read %s\n", qPrintable(path));
        std::exit(1);
    }
    return file.readAll();
}

// ---------------------------------------------------------------------------------------------
// BMP

struct Bmp {
    qint32 width = 0;
    qint32 height = 0; // negative: rows top-down
    int bits = 24;
    quint32 compression = 0;
    int colours = 0;   // palette entries
    int infoSize = 40; // 12 (OS/2), 40, 108 or 124
    QByteArray masks;  // red, green, blue (and alpha) masks after a 40-byte header
    QByteArray pixels; // the pixel data as stored
};

QByteArray bmpFile(const Bmp &bmp)
{
    const int entry = bmp.infoSize == 12 ? 3 : 4;
    QByteArray info;
    if (bmp.infoSize == 12) {
        info = le(12, 4) + le(quint32(bmp.width), 2) + le(quint32(bmp.height), 2) + le(1, 2) +
               le(quint32(bmp.bits), 2);
    } else {
        info = le(quint32(bmp.infoSize), 4) + le(quint32(bmp.width), 4) +
               le(quint32(bmp.height), 4) + le(1, 2) + le(quint32(bmp.bits), 2) +
               le(bmp.compression, 4) + le(quint32(bmp.pixels.size()), 4) + le(2835, 4) +
               le(2835, 4) + le(quint32(bmp.colours), 4) + le(0, 4);
        if (bmp.infoSize > 40) { // V4/V5: masks, colour space "sRGB", the rest zero
            QByteArray rest(bmp.infoSize - 40, '\0');
            rest.replace(0, bmp.masks.size(), bmp.masks);
            rest.replace(16, 4, QByteArray("BGRs"));
            info += rest;
        }
    }
    QByteArray palette;
    for (int i = 0; i < bmp.colours; ++i) {
        palette += char(i * 37);
        palette += char(255 - i * 11);
        palette += char(i * 5 + 20);
        if (entry == 4)
            palette += '\0';
    }
    const QByteArray masks = bmp.infoSize == 40 ? bmp.masks : QByteArray();
    const quint32 offset = quint32(14 + info.size() + masks.size() + palette.size());
    return "BM" + le(offset + quint32(bmp.pixels.size()), 4) + le(0, 4) + le(offset, 4) + info +
           masks + palette + bmp.pixels;
}

// Rows as a BMP stores them (bottom-up), each padded to 4 bytes; value(x, y) is the pixel's
// index or packed colour, y counted from the top.
QByteArray rows(int width, int height, int bits, const std::function<quint32(int, int)> &value)
{
    const int stride = (width * bits + 31) / 32 * 4;
    QByteArray out;
    for (int y = height - 1; y >= 0; --y) {
        QByteArray row(stride, '\0');
        for (int x = 0; x < width; ++x) {
            const quint32 v = value(x, y);
            if (bits < 8) {
                const int bit = x * bits;
                row[bit / 8] = char(uchar(row[bit / 8]) | (v << (8 - bits - bit % 8)));
            } else {
                putLe(row, x * bits / 8, v, bits / 8);
            }
        }
        out += row;
    }
    return out;
}

void writeBmpSeeds()
{
    const int w = 13, h = 7; // odd sizes: every row needs padding
    const auto pattern = [](int levels) {
        return [levels](int x, int y) { return quint32((x * 3 + y * 5) % levels); };
    };
    const auto colour = [](int x, int y) { return quint32(x * 19 | y * 31 << 8 | (x ^ y) << 16); };
    const QByteArray masks565 = le(0xF800, 4) + le(0x07E0, 4) + le(0x001F, 4);
    const QByteArray masks888 = le(0xFF0000, 4) + le(0xFF00, 4) + le(0xFF, 4);
    const struct {
        const char *name;
        Bmp bmp;
    } files[] = {
        {"depth-1.bmp", {w, h, 1, 0, 2, 40, {}, rows(w, h, 1, pattern(2))}},
        {"depth-4.bmp", {w, h, 4, 0, 16, 40, {}, rows(w, h, 4, pattern(16))}},
        {"depth-8.bmp", {w, h, 8, 0, 256, 40, {}, rows(w, h, 8, pattern(256))}},
        {"depth-8-short-palette.bmp", {w, h, 8, 0, 5, 40, {}, rows(w, h, 8, pattern(5))}},
        {"depth-16-555.bmp", {w, h, 16, 0, 0, 40, {}, rows(w, h, 16, pattern(32768))}},
        {"depth-16-565-bitfields.bmp",
         {w, h, 16, 3, 0, 40, masks565, rows(w, h, 16, pattern(65536))}},
        {"depth-24.bmp", {w, h, 24, 0, 0, 40, {}, rows(w, h, 24, colour)}},
        {"depth-24-top-down.bmp", {w, -h, 24, 0, 0, 40, {}, rows(w, h, 24, colour)}},
        {"depth-32.bmp", {w, h, 32, 0, 0, 40, {}, rows(w, h, 32, colour)}},
        {"depth-32-bitfields.bmp", {w, h, 32, 3, 0, 40, masks888, rows(w, h, 32, colour)}},
        {"depth-32-v5-header.bmp", {w, h, 32, 3, 0, 124, masks888, rows(w, h, 32, colour)}},
        {"os2-core-header-8.bmp", {w, h, 8, 0, 256, 12, {}, rows(w, h, 8, pattern(256))}},
        // RLE8, 8 x 4: an encoded run, an absolute run with its pad byte, ends of line, a jump
        // from the third row to the fourth, the end of the bitmap.
        {"rle8.bmp",
         {8,
          4,
          8,
          1,
          16,
          40,
          {},
          raw("\x08\x03\0\0"
              "\0\x05\x01\x02\x03\x04\x05\0\x03\x07\0\0"
              "\x02\x09\0\x02\x03\x01\x03\x0a\0\x01")}},
        // RLE4, 6 x 3: two-index runs and an odd absolute run.
        {"rle4.bmp",
         {6,
          3,
          4,
          2,
          16,
          40,
          {},
          raw("\x06\x12\0\0"
              "\0\x05\x34\x56\x70\0\x01\x08\0\0"
              "\x06\xab\0\x01")}},
        {"rle8-top-down.bmp", {4, -2, 8, 1, 16, 40, {}, raw("\x04\x01\0\0\x04\x02\0\x01")}},
        // Found by attacking the reader. Pixels an RLE stream skips came out as stale memory
        // (fragments of the picture read before); a stream cut short was taken as whole; a few
        // bytes declaring 16384 x 16384 cost gigabytes.
        {"finding-rle8-end-of-bitmap-early.bmp",
         {4, 3, 8, 1, 16, 40, {}, raw("\x04\x03\0\0\0\x01")}},
        {"finding-rle8-jump-skips.bmp",
         {4, 2, 8, 1, 16, 40, {}, raw("\x01\x02\0\x02\x02\x01\x01\x03\0\x01")}},
        {"finding-rle8-cut-short.bmp", {8, 2, 8, 1, 16, 40, {}, raw("\x04\x01\0\x05\x01")}},
        {"finding-rle4-cut-short.bmp", {8, 2, 4, 2, 16, 40, {}, raw("\x04\x12")}},
        {"finding-rle8-16384-square-in-a-few-bytes.bmp",
         {16384, 16384, 8, 1, 16, 40, {}, raw("\x0a\x05\0\x02\xff\xff\0\x01")}},
        // Sides near 2^31 overflowed the size checks' 64-bit arithmetic.
        {"finding-sides-near-2-31.bmp",
         {0x7fffffff, qint32(0x80000000), 24, 0, 0, 40, {}, QByteArray(16, '\0')}},
        {"finding-odd-depth-huge-sides.bmp",
         {0x7fffffff, 0x7fffffff, 0xffff, 0, 0, 40, {}, QByteArray(16, '\0')}},
        {"finding-uncompressed-cut-short.bmp",
         {w, h, 24, 0, 0, 40, {}, rows(w, h, 24, colour).left(100)}},
    };
    for (const auto &file : files)
        put("bmp", file.name, bmpFile(file.bmp));
}

// ---------------------------------------------------------------------------------------------
// JPEG

struct Jpeg {
    int width = 24;
    int height = 16;
    J_COLOR_SPACE input = JCS_RGB;      // JCS_GRAYSCALE, JCS_RGB or JCS_CMYK
    J_COLOR_SPACE stored = JCS_UNKNOWN; // when set, the file's colour space (JCS_YCCK)
    bool progressive = false;
    bool arithmetic = false;
    bool optimize = false;
    int restartRows = 0;
    std::vector<jpeg_scan_info> scans;
    std::function<uchar(int x, int y, int c)> sample = [](int x, int y, int c) {
        return uchar(x * 9 + y * 5 + c * 70 + (x * y) % 13);
    };
};

QByteArray jpegFile(const Jpeg &jpeg)
{
    const int components = jpeg.input == JCS_GRAYSCALE ? 1 : jpeg.input == JCS_CMYK ? 4 : 3;
    return MakeJpeg(
        jpeg.width, jpeg.height, components, jpeg.input,
        [&](jpeg_compress_struct &info) {
            if (jpeg.stored != JCS_UNKNOWN)
                jpeg_set_colorspace(&info, jpeg.stored);
            if (jpeg.progressive)
                jpeg_simple_progression(&info);
            if (!jpeg.scans.empty()) {
                info.scan_info = jpeg.scans.data();
                info.num_scans = int(jpeg.scans.size());
            }
            info.arith_code = jpeg.arithmetic;
            info.optimize_coding = jpeg.optimize;
            info.restart_in_rows = jpeg.restartRows;
        },
        [&](int y, unsigned char *row) {
            for (int x = 0; x < jpeg.width; ++x)
                for (int c = 0; c < components; ++c)
                    row[x * components + c] = jpeg.sample(x, y, c);
        });
}

// The same file declaring another size in its frame header (SOFn), its data unchanged.
QByteArray declaringSize(QByteArray jpeg, int width, int height)
{
    for (qsizetype i = 2; i + 9 < jpeg.size(); ++i) {
        const uchar marker = uchar(jpeg[i + 1]);
        const bool frame =
            marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (uchar(jpeg[i]) == 0xFF && frame) {
            jpeg[i + 5] = char(height >> 8);
            jpeg[i + 6] = char(height);
            jpeg[i + 7] = char(width >> 8);
            jpeg[i + 8] = char(width);
            return jpeg;
        }
    }
    std::fprintf(stderr, "fuzz_seeds: no frame header\n");
    std::exit(1);
}

jpeg_scan_info scan(int first, int last, int high, int low)
{
    jpeg_scan_info s{};
    s.comps_in_scan = 1;
    s.Ss = first;
    s.Se = last;
    s.Ah = high;
    s.Al = low;
    return s;
}

// A legal progressive script of `count` scans for one component (at most 505): the DC scan, then
// every AC coefficient in a scan of its own, first at a low precision and then refined bit by
// bit down to full precision.
std::vector<jpeg_scan_info> manyScans(int count)
{
    std::vector<jpeg_scan_info> scans{scan(0, 0, 0, 0)};
    const int extra = count - 1 - 63 * 7; // coefficients that get an eighth scan
    for (int k = 1; k < 64; ++k) {
        const int first = k <= extra ? 7 : 6;
        scans.push_back(scan(k, k, 0, first));
        for (int bit = first; bit > 0; --bit)
            scans.push_back(scan(k, k, bit, bit - 1));
    }
    return scans;
}

void writeJpegSeeds()
{
    Jpeg grey;
    grey.input = JCS_GRAYSCALE;
    Jpeg progressive;
    progressive.progressive = true;
    Jpeg arithmetic;
    arithmetic.arithmetic = true;
    Jpeg arithmeticProgressive = progressive;
    arithmeticProgressive.arithmetic = true;
    Jpeg cmyk;
    cmyk.input = JCS_CMYK;
    Jpeg ycck = cmyk;
    ycck.stored = JCS_YCCK;
    Jpeg restarts;
    restarts.restartRows = 1;
    restarts.optimize = true;
    Jpeg greyProgressive = grey;
    greyProgressive.progressive = true;
    Jpeg oddSize;
    oddSize.width = 17;
    oddSize.height = 9;
    const struct {
        const char *name;
        Jpeg jpeg;
    } files[] = {
        {"baseline-420.jpg", Jpeg{}},
        {"baseline-odd-size.jpg", oddSize},
        {"baseline-restarts-optimized.jpg", restarts},
        {"grey.jpg", grey},
        {"grey-progressive.jpg", greyProgressive},
        {"progressive.jpg", progressive},
        {"arithmetic.jpg", arithmetic},
        {"arithmetic-progressive.jpg", arithmeticProgressive},
        {"cmyk-adobe.jpg", cmyk},
        {"ycck-adobe.jpg", ycck},
    };
    for (const auto &file : files)
        put("jpeg", file.name, jpegFile(file.jpeg));

    // Found by attacking the reader: files whose data ends early, for every coding, were to be
    // refused; a few hundred bytes declaring 18918 x 18918 were decoded into a gigabyte (in
    // arithmetic coding as a grey picture; in Huffman coding the batch zero-filled that much).
    for (const auto &file : {std::pair{"baseline", Jpeg{}}, std::pair{"progressive", progressive},
                             std::pair{"arithmetic", arithmetic},
                             std::pair{"arithmetic-progressive", arithmeticProgressive}}) {
        const QByteArray whole = jpegFile(file.second);
        put("jpeg", QStringLiteral("finding-%1-cut-short.jpg").arg(file.first),
            whole.left(whole.size() * 3 / 4));
    }
    Jpeg flat = grey;
    flat.width = flat.height = 16;
    flat.sample = [](int, int, int) { return uchar(128); };
    Jpeg flatArithmetic = flat;
    flatArithmetic.arithmetic = true;
    flat.optimize = true;
    put("jpeg", "finding-arithmetic-declares-18918-square.jpg",
        declaringSize(jpegFile(flatArithmetic), 18918, 18918));
    put("jpeg", "finding-huffman-declares-18918-square.jpg",
        declaringSize(jpegFile(flat), 18918, 18918));
    // 64 scans, each over every block: the decoding work grows with scans times blocks.
    Jpeg everyCoefficient = grey;
    everyCoefficient.width = everyCoefficient.height = 64;
    everyCoefficient.scans = manyScans(64 + 63 * 6); // 442 scans
    put("jpeg", "finding-442-scans.jpg", jpegFile(everyCoefficient));
}

// A legal 18918 x 18918 grey progressive JPEG of 499 scans: about a megabyte, and a minute of
// decoding at 1.7 GB before its work was bounded. A BMP larger than Qt's reader takes.
void writeLargeFiles()
{
    Jpeg huge;
    huge.input = JCS_GRAYSCALE;
    huge.width = huge.height = 18918;
    huge.optimize = true;
    huge.scans = manyScans(499);
    huge.sample = [](int x, int y, int) { return uchar(96 + (x / 64 + y / 64) % 2 * 64); };
    put("large", "progressive-499-scans-18918-square.jpg", jpegFile(huge));
    // A legal flat picture of the same size in a few hundred bytes of arithmetic coding: was
    // decoded into a gigabyte.
    Jpeg flat = huge;
    flat.scans.clear();
    flat.optimize = false;
    flat.arithmetic = true;
    flat.sample = [](int, int, int) { return uchar(200); };
    put("large", "arithmetic-flat-18918-square.jpg", jpegFile(flat));
    // Over Qt's own 16384 x 16384 limit, within the program's: was refused as damaged.
    const int side = 16385;
    put("large", "bmp-16385-square-1-bit.bmp",
        bmpFile({side, side, 1, 0, 2, 40, {}, rows(side, side, 1, [](int x, int y) {
                     return quint32((x / 8 + y / 8) % 2);
                 })}));
}

// ---------------------------------------------------------------------------------------------
// Text files

void writeTextSeeds(const QString &dataDir)
{
    put("settings", "set.ini",
        "[set]\r\nPosX=10\r\nPosY=20\r\nPosW=800\r\nPosH=600\r\nImageWidth=120\r\n"
        "ImageHeight=90\r\nRWidth=640\r\n[other]\r\nkey=kept\r\n");
    put("settings", "lf-and-spaces.ini", "; note\n[ set ]\n PosW = 900 \nImageWidth=\n");
    // Found when attacking the program: absurd window sizes, and negative or extreme cut sizes
    // that overflowed the frame clamp.
    put("settings", "finding-absurd-window.ini",
        "[set]\r\nPosX=-2147483648\r\nPosY=2147483647\r\nPosW=1000000000\r\nPosH=1000000000\r\n");
    put("settings", "finding-negative-cut.ini",
        "[set]\r\nImageWidth=-2147483648\r\nImageHeight=-5\r\n");
    put("settings", "finding-cut-beyond-32-bits.ini",
        "[set]\r\nImageWidth=2147483647\r\nImageHeight=99999999999\r\n");

    put("presets", "data.dat", fileBytes(dataDir + "/data.dat"));
    put("presets", "utf8.dat",
        "\xef\xbb\xbf"
        "アイコン\r\n16\r\n16\r\n大きい\n640\n480\n");
    put("presets", "malformed-number.dat", "ok\r\n10\r\n20\r\nbad\r\n1x\r\n5\r\n");

    put("jpeg_dat", "jpeg.dat", fileBytes(dataDir + "/jpeg.dat"));
    // Found when attacking the program: a repeated row listed every file twice.
    put("jpeg_dat", "finding-repeated-rows.dat",
        "\"1\",\"1\",\"\",\"jpg\"\r\n\"1\",\"1\",\"\",\"jpg\"\r\n\"1\",\"1\",\"\",\"JPG\"\r\n"
        "\"1\",\"1\",\"\",\" jpeg \"\r\n\"0\",\"1\",\"\",\"jpe\"\r\n");

    QByteArray project = "vermkrn1.00\r\n";
    const char *texts[] = {"title", "photo.jpg", "text", "link", "https://example.com/",
                           "",      "",          "",     "",     "",
                           "",      "",          "",     "end"};
    for (const char *text : texts)
        project += QByteArray(text) + "\r\n";
    put("page_project", "project.mkp", project);
    put("page_project", "cp932.mkp",
        "vermkrn1.00\r\n\x83\x5e\x83\x43\x83\x67\x83\x8b\r\n\x8e\xca\x90\x5e.jpg\r\n");
    put("page_project", "utf8-lf.mkp", "vermkrn1.00\nタイトル\n写真.jpg\n本文\n");
}

} // namespace

QByteArray SmallJpeg()
{
    return jpegFile(Jpeg{});
}

int main(int argc, char *argv[])
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: fuzz_seeds OUT DATA_DIR [--large]\n");
        return 2;
    }
    g_out = QString::fromLocal8Bit(argv[1]);
    writeBmpSeeds();
    writeJpegSeeds();
    writePictureSeeds();
    writeTextSeeds(QString::fromLocal8Bit(argv[2]));
    if (argc > 3 && QByteArray(argv[3]) == "--large") {
        writeLargeFiles();
        writeLargePictureFiles();
    }
    return 0;
}
