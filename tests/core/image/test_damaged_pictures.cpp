// SPDX-License-Identifier: GPL-3.0-or-later
// Pictures made to hurt or broken on the way: RLE streams that skip or stop, headers that declare
// more than their data can hold, JPEGs that ask for endless work, BMPs beyond Qt's own limits.
#include "core/base/io_error.h"
#include "core/image/bmp_reading.h"
#include "core/image/jpeg_codec.h"
#include "core/image/picture.h"

#include "core/base/child_process.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QtEndian>

#include <cstdlib>
#include <functional>
#include <sys/resource.h>
#include <vector>

#include "jpeg_making.h"
#include "test_files.h"

#include <jpeglib.h>

namespace {

void putLe(QByteArray &b, int at, quint32 value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        b[at + i] = char(value >> (8 * i));
}

// A BMP with a 40-byte header: `colours` palette entries (index i is red i, green 255 - i, blue
// 100), then data.
QByteArray bmpFile(qint32 width, qint32 height, int bits, quint32 compression,
                   const QByteArray &data, int colours)
{
    QByteArray b(54, '\0');
    const int offset = 54 + 4 * colours;
    b[0] = 'B';
    b[1] = 'M';
    putLe(b, 2, quint32(offset + data.size()), 4);
    putLe(b, 10, quint32(offset), 4);
    putLe(b, 14, 40, 4);
    putLe(b, 18, quint32(width), 4);
    putLe(b, 22, quint32(height), 4);
    putLe(b, 26, 1, 2);
    putLe(b, 28, quint32(bits), 2);
    putLe(b, 30, compression, 4);
    putLe(b, 34, quint32(data.size()), 4);
    putLe(b, 46, quint32(colours), 4);
    for (int i = 0; i < colours; ++i)
        b += QByteArray(1, char(100)) + char(255 - i) + char(i) + '\0';
    return b + data;
}

QByteArray rle(int width, int height, int bits, const QByteArray &stream)
{
    return bmpFile(width, height, bits, bits == 8 ? 1 : 2, stream, 16);
}

// The palette indexes of a picture, one hexadecimal digit a pixel, top row first.
std::vector<QByteArray> indexesOf(const QImage &picture)
{
    std::vector<QByteArray> rows;
    for (int y = 0; y < picture.height(); ++y) {
        QByteArray row;
        for (int x = 0; x < picture.width(); ++x)
            row += QByteArray::number(picture.pixelIndex(x, y), 16);
        rows.push_back(row);
    }
    return rows;
}

// Mistakes: pixels an RLE stream skips come out as whatever memory held (fragments of earlier
// pictures), and a stream cut short before its end-of-bitmap code is taken as a whole picture.
TEST(RunLengthBmp, SkippedPixelsAreIndexZeroAndCutStreamsAreRefused)
{
    using Rows = std::vector<QByteArray>;
    const struct {
        const char *label;
        QByteArray file;
        Rows indexes;        // top row first; empty: refused
        const char *refusal; // the reason when refused
        bool wholeStream;    // every pixel written: Qt's reader must agree
    } rows[] = {
        {"end of bitmap after the first row", rle(4, 3, 8, QByteArray("\x04\x03\0\0\0\x01", 6)),
         Rows{"0000", "0000", "3333"}, "", false},
        {"a jump skips pixels",
         rle(4, 2, 8, QByteArray("\x01\x02\0\x02\x02\x01\x01\x03\0\x01", 10)), Rows{"0003", "2000"},
         "", false},
        {"end of line before the row's end",
         rle(4, 2, 8, QByteArray("\x02\x01\0\0\x04\x02\0\x01", 8)), Rows{"2222", "1100"}, "",
         false},
        {"absolute run with its pad byte",
         rle(3, 1, 8, QByteArray("\0\x03\x01\x02\x03\0\0\x01", 8)), Rows{"123"}, "", true},
        {"RLE4 nibbles, absolute and encoded",
         rle(5, 1, 4, QByteArray("\0\x03\x12\x30\x02\x45\0\x01", 8)), Rows{"12345"}, "", true},
        {"every row ended, no end of bitmap",
         rle(2, 2, 8, QByteArray("\x02\x05\0\0\x02\x06\0\0", 8)), Rows{"66", "55"}, "", true},
        {"cut short before the end of bitmap",
         rle(4, 2, 8, QByteArray("\x04\x01", 2)),
         {},
         "途中で切れています",
         false},
        {"cut short inside an absolute run",
         rle(8, 1, 8, QByteArray("\0\x05\x01\x02", 4)),
         {},
         "途中で切れています",
         false},
        {"16384 x 16384 from a few bytes",
         rle(16384, 16384, 8, QByteArray("\x0a\x05\0\x01", 4)),
         {},
         "データが 16384 x 16384 の画像には足りません",
         false},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.label);
        QImage picture;
        const QString why = FailureOf([&] { picture = DecodeBmp(row.file, "rle.bmp"); });
        if (row.indexes.empty()) {
            EXPECT_TRUE(why.contains(QString::fromUtf8(row.refusal))) << why.toStdString();
            continue;
        }
        ASSERT_TRUE(why.isEmpty()) << why.toStdString();
        EXPECT_EQ(indexesOf(picture), row.indexes);
        EXPECT_EQ(picture.pixel(0, 0) == qRgb(0, 255, 100), row.indexes[0][0] == '0');
        if (row.wholeStream) { // the colours as Qt reads them where nothing is skipped
            EXPECT_EQ(picture.convertToFormat(QImage::Format_RGB32),
                      QImage::fromData(row.file, "BMP").convertToFormat(QImage::Format_RGB32));
        }
    }
}

// Mistakes: a header's sides multiplied past 64 bits (UBSan), a picture over Qt's 16384 x 16384
// pixels reported as damaged although the program's own limit allows it.
TEST(LargeBmp, SizesBeyondQtsReaderAreReadAndAbsurdOnesRefused)
{
    QByteArray hugeSides = bmpFile(2, 2, 24, 0, QByteArray(16, '\0'), 0);
    putLe(hugeSides, 18, 0x7fffffff, 4);
    putLe(hugeSides, 22, 0x80000000, 4); // INT_MIN: top-down, 2^31 rows
    QByteArray oddDepth = hugeSides;
    putLe(oddDepth, 22, 0x7fffffff, 4);
    putLe(oddDepth, 28, 0xffff, 2);
    EXPECT_TRUE(FailureOf([&] { DecodeBmp(hugeSides, "x.bmp"); }).contains("大きすぎます"));
    EXPECT_TRUE(FailureOf([&] { DecodeBmp(oddDepth, "x.bmp"); }).contains("壊れています"));

    // 16385 x 16385 one-bit pixels: 33 MB, over Qt's pixel limit, within ours. Each row's first
    // byte holds its number as the file stores it (bottom-up).
    const int side = 16385;
    const int stride = (side + 31) / 32 * 4;
    QByteArray pixels(qsizetype(stride) * side, '\0');
    for (int stored = 0; stored < side; ++stored)
        pixels[qsizetype(stored) * stride] = char(stored * 37);
    QImage picture;
    const QString why =
        FailureOf([&] { picture = DecodeBmp(bmpFile(side, side, 1, 0, pixels, 2), "large.bmp"); });
    ASSERT_TRUE(why.isEmpty()) << why.toStdString();
    ASSERT_EQ(picture.size(), QSize(side, side));
    // Rows at either side of the band edges (1023 stored rows a band) and at both ends.
    for (const int y : {0, 1, side - 1023, side - 1024, side - 2046, side - 2047, side - 1}) {
        const uchar first = uchar((side - 1 - y) * 37);
        for (int x = 0; x < 8; ++x)
            ASSERT_EQ(picture.pixelIndex(x, y), (first >> (7 - x)) & 1) << x << "," << y;
    }
}

// Mistake: the bands of a large uncompressed file are put in the wrong order or place. Qt's whole
// reading of the same file is the reference.
TEST(LargeBmp, ReadInBandsAsQtReadsTheWholeFile)
{
    // 2400 x 2400 x 3 bytes and 4200 x 4100 x 1 byte: more than one band each.
    QImage colour(2400, 2400, kPictureFormat);
    for (int y = 0; y < colour.height(); ++y)
        for (int x = 0; x < colour.width() * 3; ++x)
            colour.scanLine(y)[x] = uchar(x * 7 + y * 3);
    QByteArray colourFile;
    QBuffer buffer(&colourFile);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(colour.save(&buffer, "BMP"));
    const int w = 4200, h = 4100, stride = (w + 3) / 4 * 4;
    QByteArray rows(qsizetype(stride) * h, '\0');
    for (qsizetype i = 0; i < rows.size(); ++i)
        rows[i] = char(i % 251 % 16);
    const QByteArray topDown = bmpFile(w, -h, 8, 0, rows, 16);
    for (const QByteArray &file : {colourFile, topDown}) {
        const QImage ours = DecodeBmp(file, "large.bmp");
        const QImage qts = QImage::fromData(file, "BMP");
        ASSERT_FALSE(qts.isNull());
        EXPECT_EQ(ours.convertToFormat(QImage::Format_RGB32),
                  qts.convertToFormat(QImage::Format_RGB32));
    }
}

// A grey JPEG made by libjpeg with the given coding; rows from fill(x, y).
QByteArray greyJpeg(int width, int height, bool arithmetic,
                    const std::vector<jpeg_scan_info> &scans,
                    const std::function<uchar(int, int)> &fill)
{
    return MakeJpeg(
        width, height, 1, JCS_GRAYSCALE,
        [&](jpeg_compress_struct &info) {
            info.arith_code = arithmetic;
            if (!scans.empty()) {
                info.scan_info = scans.data();
                info.num_scans = int(scans.size());
            }
        },
        [&](int y, unsigned char *row) {
            for (int x = 0; x < width; ++x)
                row[x] = fill(x, y);
        });
}

jpeg_scan_info scan(int first, int last)
{
    jpeg_scan_info s{};
    s.comps_in_scan = 1;
    s.Ss = first;
    s.Se = last;
    return s;
}

// The same JPEG declaring another size in its frame header, its data unchanged.
QByteArray declaringSize(QByteArray jpeg, int width, int height)
{
    const qsizetype frame =
        jpeg.indexOf("\xff\xc0") >= 0 ? jpeg.indexOf("\xff\xc0") : jpeg.indexOf("\xff\xc9");
    qToBigEndian(quint16(height), jpeg.data() + frame + 5);
    qToBigEndian(quint16(width), jpeg.data() + frame + 7);
    return jpeg;
}

// Mistakes: a few hundred bytes declaring a huge picture are taken as a gigabyte (a grey picture
// in arithmetic coding, which can code a flat picture in almost nothing), and a legal file of
// many scans decodes for a minute (the work is scans times blocks, not the size alone). Ordinary
// progressive and arithmetic files, flat ones of an ordinary size too, must still be read.
TEST(Jpeg, WorkAndSizeAreBoundedByWhatTheDataHolds)
{
    const auto texture = [](int x, int y) { return uchar(x * 5 + y * 3 + (x * y) % 7); };
    const auto flat = [](int, int) { return uchar(128); };
    std::vector<jpeg_scan_info> everyCoefficient{scan(0, 0)};
    for (int k = 1; k < 64; ++k)
        everyCoefficient.push_back(scan(k, k));
    jpeg_compress_struct simple{};
    jpeg_error_mgr errors{};
    simple.err = jpeg_std_error(&errors);
    jpeg_create_compress(&simple);
    simple.input_components = 1;
    simple.in_color_space = JCS_GRAYSCALE;
    jpeg_set_defaults(&simple);
    jpeg_simple_progression(&simple);
    const std::vector<jpeg_scan_info> standard(simple.scan_info,
                                               simple.scan_info + simple.num_scans);
    jpeg_destroy_compress(&simple);

    const struct {
        const char *label;
        QByteArray jpeg;
        const char *refusal; // empty: read
    } rows[] = {
        {"a flat 4100 x 4100 picture in arithmetic coding (about 130 bytes)",
         greyJpeg(4100, 4100, true, {}, flat), "データが 4100 x 4100 の画像には足りません"},
        {"a damaged Huffman-coded header declaring 18918 x 18918",
         declaringSize(greyJpeg(16, 16, false, {}, flat), 18918, 18918),
         "データが 18918 x 18918 の画像には足りません"},
        {"64 scans over every block", greyJpeg(64, 64, false, everyCoefficient, texture),
         "JPEG ファイルのスキャンが多すぎます"},
        {"libjpeg's own progressive script", greyJpeg(300, 200, false, standard, texture), ""},
        {"arithmetic coding of a textured picture", greyJpeg(300, 200, true, {}, texture), ""},
        {"arithmetic coding of a flat 640 x 480 picture (127 bytes)",
         greyJpeg(640, 480, true, {}, flat), ""},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.label);
        const QString why = FailureOf([&] { DecodeJpeg(row.jpeg, "x.jpg"); });
        if (*row.refusal)
            EXPECT_TRUE(why.contains(QString::fromUtf8(row.refusal))) << why.toStdString();
        else
            EXPECT_TRUE(why.isEmpty()) << why.toStdString();
    }
}

// The hook a window uses to cancel a long read: a reader told to stop throws Cancelled, for a
// JPEG and for a BMP large enough to be read in bands (mistake: the flag is never looked at).
TEST(PictureReading, StopsWhenCancelled)
{
    const std::atomic<bool> cancel{true};
    const QByteArray jpeg = greyJpeg(64, 64, false, {}, [](int x, int) { return uchar(x); });
    const QByteArray bmp = bmpFile(4200, 4100, 8, 0, QByteArray(4200 * 4100, '\1'), 2);
    EXPECT_THROW(DecodeJpeg(jpeg, "x.jpg", &cancel), Cancelled);
    EXPECT_THROW(DecodeBmp(bmp, "x.bmp", &cancel), Cancelled);
    EXPECT_NO_THROW(DecodeJpeg(jpeg, "x.jpg")); // the same files without the flag
    EXPECT_NO_THROW(DecodeBmp(bmp, "x.bmp"));
}

// Mistake: the batch zero-filled the whole picture's memory before decoding a file that breaks
// off after a few rows. Peak memory, not time, is what the check measures.
TEST(Jpeg, BatchMemoryIsTouchedOnlyAsFarAsTheDataGoes)
{
    const int side = 3000; // 27 MB decoded
    const QByteArray whole =
        greyJpeg(side, side, false, {}, [](int x, int y) { return uchar(x * 13 + y * 7 + x * y); });
    const QByteArray cut = whole.left(whole.size() / 10);
    const int grownKb = InChild([&] {
        rusage before{};
        getrusage(RUSAGE_SELF, &before);
        PixelBuffer pixels;
        const QString why = FailureOf([&] { DecodeJpegInto(cut, "cut.jpg", pixels); });
        rusage after{};
        getrusage(RUSAGE_SELF, &after);
        if (!why.contains(QStringLiteral("途中で切れています")))
            return 255;
        return int(std::min<long>((after.ru_maxrss - before.ru_maxrss) / 1024, 254));
    });
    EXPECT_LT(grownKb, 9) << "MB grown (the picture takes 27; 255: not refused as cut short)";
}

} // namespace
