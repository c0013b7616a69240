// SPDX-License-Identifier: GPL-3.0-or-later
// Picture files: exact BMP bytes, the JPEG codec's settings and failures, atomic writes.
#include "core/base/io_error.h"
#include "core/image/bmp_format.h"
#include "core/image/jpeg_codec.h"
#include "core/image/picture.h"
#include "core/image/picture_reading.h"
#include "core/image/plugin_reading.h"

#include "jpeg_making.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <sys/resource.h>

#include <jpeglib.h>

namespace {

// Smooth gradients with a little texture, like a photograph: chroma subsampling shows in it.
QImage photoLike(int width, int height)
{
    QImage picture(width, height, kPictureFormat);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.setPixel(x, y,
                             qRgb(40 + x * 150 / width + (x * y) % 7, 30 + y * 180 / height,
                                  200 - (x + y) * 100 / (width + height) + (x * 3 + y) % 5));
    return picture;
}

quint32 le(const QByteArray &b, int at, int bytes)
{
    quint32 v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = v << 8 | uchar(b[at + i]);
    return v;
}

QByteArray bmpOf(const QImage &picture)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    return WriteBmp24(buffer, picture) ? bytes : QByteArray();
}

QStringList entriesOf(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

// The segments before the scan: marker -> its payload.
std::vector<std::pair<int, QByteArray>> jpegSegments(const QByteArray &jpeg)
{
    std::vector<std::pair<int, QByteArray>> segments;
    int at = 2; // after SOI
    while (at + 4 <= jpeg.size() && uchar(jpeg[at]) == 0xff) {
        const int marker = uchar(jpeg[at + 1]);
        const int length = uchar(jpeg[at + 2]) << 8 | uchar(jpeg[at + 3]);
        segments.emplace_back(marker, jpeg.mid(at + 4, length - 2));
        if (marker == 0xda)
            break; // the scan's data follows
        at += 2 + length;
    }
    return segments;
}

TEST(WriteBmp24, HeaderAndRowPaddingAreExact)
{
    const struct {
        int width;
        int stride;
    } rows[] = {{1, 4}, {2, 8}, {3, 12}, {4, 12}, {5, 16}};
    for (const auto &row : rows) {
        SCOPED_TRACE(row.width);
        const QImage picture = photoLike(row.width, 2);
        const QByteArray bytes = bmpOf(picture);
        const int image = row.stride * 2;
        ASSERT_EQ(bytes.size(), 54 + image);
        EXPECT_EQ(bytes.left(2), "BM");
        // clang-format off
        const quint32 fields[][3] = { // offset, bytes, value
            {2, 4, quint32(54 + image)}, {6, 4, 0}, {10, 4, 54}, {14, 4, 40},
            {18, 4, quint32(row.width)}, {22, 4, 2}, {26, 2, 1}, {28, 2, 24}, {30, 4, 0},
            {34, 4, quint32(image)}, {38, 4, 3780}, {42, 4, 3780}, {46, 4, 0}, {50, 4, 0}};
        // clang-format on
        for (const auto &f : fields)
            EXPECT_EQ(le(bytes, int(f[0]), int(f[1])), f[2]) << "offset " << f[0];
        for (int stored = 0; stored < 2; ++stored) { // bottom row first
            const int y = 1 - stored;
            const int at = 54 + stored * row.stride;
            for (int x = 0; x < row.width; ++x) {
                const QRgb c = picture.pixel(x, y);
                EXPECT_EQ(uchar(bytes[at + 3 * x]), qBlue(c));
                EXPECT_EQ(uchar(bytes[at + 3 * x + 1]), qGreen(c));
                EXPECT_EQ(uchar(bytes[at + 3 * x + 2]), qRed(c));
            }
            for (int pad = row.width * 3; pad < row.stride; ++pad)
                EXPECT_EQ(bytes[at + pad], '\0');
        }
    }
}

TEST(PictureFiles, BmpRoundTripsKeepDepthAndColours)
{
    QTemporaryDir dir;
    QImage palette(23, 9, QImage::Format_Indexed8);
    QList<QRgb> colours;
    for (int i = 0; i < 40; ++i) // more than 16, so the file stays 8-bit
        colours << qRgb(i * 6, 255 - i * 5, (i * 37) % 256);
    palette.setColorTable(colours);
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 23; ++x)
            palette.setPixel(x, y, uint((x + 3 * y) % 40));
    QImage mono(13, 5, QImage::Format_Mono);
    mono.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    mono.fill(0);
    mono.setPixel(3, 2, 1);
    QImage withAlpha = photoLike(7, 4).convertToFormat(QImage::Format_ARGB32);

    const struct {
        const char *name;
        QImage picture;
        int fileBits;
        QImage::Format readFormat;
        bool sameTable; // Qt stores a mono picture's two colours in its own order
    } rows[] = {{"palette", palette, 8, QImage::Format_Indexed8, true},
                {"mono", mono, 1, QImage::Format_Mono, false},
                {"24-bit", photoLike(11, 6), 24, kPictureFormat, true},
                {"32-bit", withAlpha, 24, kPictureFormat, true}};
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        const QString path = dir.filePath(QString::fromUtf8(row.name) + ".bmp");
        WriteBmpOwnDepthFile(path, row.picture);
        EXPECT_EQ(le(FileBytes(path), 28, 2), quint32(row.fileBits));
        const QImage read = ReadBmp(path);
        ASSERT_EQ(read.format(), row.readFormat);
        if (row.sameTable) {
            EXPECT_EQ(read.colorTable(), row.picture.colorTable());
        }
        EXPECT_EQ(read.convertToFormat(QImage::Format_RGB32),
                  row.picture.convertToFormat(QImage::Format_RGB32));
    }
    const QImage picture = photoLike(10, 3);
    WriteBmp24File(dir.filePath("frame.bmp"), picture);
    EXPECT_EQ(ReadPictureFile(dir.filePath("frame.bmp")), picture);
}

TEST(PictureFiles, DamagedBmpIsRefusedNamingTheFile)
{
    QTemporaryDir dir;
    const QByteArray whole = bmpOf(photoLike(40, 40));
    QByteArray huge = whole;
    huge[18] = huge[22] = '\0';
    huge[20] = huge[24] = '\x01'; // 65536 x 65536
    const struct {
        const char *name;
        QByteArray bytes;
        const char *reason;
    } rows[] = {{"half.bmp", whole.left(whole.size() / 2), "途中で切れています"},
                {"header_only.bmp", whole.left(54), "途中で切れています"},
                {"garbage.bmp", QByteArray(300, 'x'), "壊れています"},
                {"empty.bmp", QByteArray(), "ファイルが空です"},
                {"huge.bmp", huge, "大きすぎます"}};
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        const QString path = dir.filePath(QString::fromUtf8(row.name));
        PutFile(path, row.bytes);
        const QString why = FailureOf([&] { ReadPictureFile(path); });
        EXPECT_TRUE(why.startsWith(path)) << why.toStdString();
        EXPECT_TRUE(why.contains(QString::fromUtf8(row.reason))) << why.toStdString();
    }
}

TEST(Jpeg, EncodesBaseline420JfifAtTheQualityAsked)
{
    const QByteArray jpeg = EncodeJpeg(photoLike(64, 48));
    ASSERT_TRUE(jpeg.startsWith("\xff\xd8"));
    const auto segments = jpegSegments(jpeg);
    ASSERT_FALSE(segments.empty());
    EXPECT_EQ(segments.front().first, 0xe0);
    EXPECT_TRUE(segments.front().second.startsWith(QByteArray("JFIF\0", 5)));
    int frames = 0;
    for (const auto &[marker, payload] : segments) {
        EXPECT_FALSE(marker >= 0xc1 && marker <= 0xcf && marker != 0xc4 && marker != 0xc8 &&
                     marker != 0xcc)
            << "non-baseline frame " << std::hex << marker;
        if (marker == 0xdb && uchar(payload[0]) == 0) { // luminance table: 16 at quality 90 is 3
            EXPECT_EQ(uchar(payload[1]), 3);
        }
        if (marker != 0xc0)
            continue;
        ++frames;
        ASSERT_EQ(payload.size(), 6 + 3 * 3);
        EXPECT_EQ(payload[0], 8);                                   // precision
        EXPECT_EQ(le(payload, 1, 1) << 8 | le(payload, 2, 1), 48u); // height
        EXPECT_EQ(payload[5], 3);                                   // components
        EXPECT_EQ(uchar(payload[7]), 0x22);                         // Y 2x2
        EXPECT_EQ(uchar(payload[10]), 0x11);
        EXPECT_EQ(uchar(payload[13]), 0x11);
    }
    EXPECT_EQ(frames, 1);
    EXPECT_LT(EncodeJpeg(photoLike(64, 48), 30).size(), jpeg.size());
}

TEST(Jpeg, DecodesAsQtDoesAndRoundTripsCloseToTheOriginal)
{
    QImage gray = photoLike(37, 29).convertToFormat(QImage::Format_Grayscale8);
    QByteArray grayJpeg;
    QBuffer buffer(&grayJpeg);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(gray.save(&buffer, "JPG", 85));
    const QImage odd = photoLike(99, 61);            // partial blocks at the right and bottom
    QImage palette(64, 32, QImage::Format_Indexed8); // flat 16 x 16 blocks of four colours
    palette.setColorTable(
        {qRgb(250, 20, 20), qRgb(20, 200, 40), qRgb(30, 60, 220), qRgb(240, 240, 0)});
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 64; ++x)
            palette.setPixel(x, y, uint((x / 16 + y / 16) % 4));
    const struct {
        const char *name;
        QByteArray jpeg;
        QImage original;
        double meanError; // saturated block edges lose more to 4:2:0 than gentle gradients
    } rows[] = {{"colour", EncodeJpeg(odd), odd, 3.0},
                {"from palette", EncodeJpeg(palette), palette, 8.0},
                {"grayscale", grayJpeg, gray, 3.0}};
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        const QImage decoded = DecodeJpeg(row.jpeg, QStringLiteral("x.jpg"));
        ASSERT_EQ(decoded.format(), kPictureFormat);
        EXPECT_EQ(decoded, QImage::fromData(row.jpeg, "JPG").convertToFormat(kPictureFormat));
        ASSERT_EQ(decoded.size(), row.original.size());
        const QImage original = row.original.convertToFormat(kPictureFormat);
        qint64 error = 0;
        for (int y = 0; y < decoded.height(); ++y)
            for (int x = 0; x < decoded.width() * 3; ++x)
                error += std::abs(decoded.constScanLine(y)[x] - original.constScanLine(y)[x]);
        EXPECT_LT(double(error) / (decoded.width() * decoded.height() * 3), row.meanError);
    }
}

// A CMYK JPEG as Adobe's programs write it (inverted: 255 is no ink), optionally as YCCK.
QByteArray adobeCmykJpeg(bool ycck)
{
    return MakeJpeg(
        32, 16, 4, JCS_CMYK,
        [&](jpeg_compress_struct &info) {
            jpeg_set_colorspace(&info, ycck ? JCS_YCCK : JCS_CMYK);
            jpeg_set_quality(&info, 100, TRUE);
        },
        [](int, unsigned char *row) {
            for (int x = 0; x < 32; ++x) {
                const unsigned char px[4] = {200, 100, 50, uchar(x < 16 ? 255 : 128)};
                std::memcpy(row + 4 * x, px, 4);
            }
        });
}

TEST(Jpeg, AdobeCmykAndYcckBecomeRgb)
{
    for (const bool ycck : {false, true}) {
        SCOPED_TRACE(ycck ? "YCCK" : "CMYK");
        const QImage picture = DecodeJpeg(adobeCmykJpeg(ycck), QStringLiteral("cmyk.jpg"));
        ASSERT_EQ(picture.size(), QSize(32, 16));
        const struct {
            int x;
            int r, g, b;
        } samples[] = {{4, 200, 100, 50}, {27, 100, 50, 25}}; // no black; half black
        for (const auto &s : samples) {
            const QRgb c = picture.pixel(s.x, 8);
            EXPECT_NEAR(qRed(c), s.r, 3);
            EXPECT_NEAR(qGreen(c), s.g, 3);
            EXPECT_NEAR(qBlue(c), s.b, 3);
        }
    }
}

TEST(Jpeg, BrokenFilesAreRefusedNamingTheFile)
{
    QTemporaryDir dir;
    const QByteArray good = EncodeJpeg(photoLike(64, 64));
    QByteArray huge = good;
    const qsizetype sof = huge.indexOf("\xff\xc0");
    ASSERT_GT(sof, 0);
    huge.replace(sof + 5, 4, QByteArray("\xea\x60\xea\x60", 4)); // 60000 x 60000
    QByteArray earlyEnd = good;
    earlyEnd.replace(earlyEnd.size() - 200, 2, "\xff\xd9");
    const struct {
        const char *name;
        QByteArray bytes;
        const char *reason;
    } rows[] = {{"half.jpg", good.left(good.size() / 2), "途中で切れています"},
                {"no_scan.jpg", good.left(sof + 40), "途中で切れています"},
                {"early_end.jpg", earlyEnd, "JPEG ファイルが壊れています"},
                {"garbage.jpg", QByteArray(500, '\x5a'), "JPEG ファイルではありません"},
                {"empty.jpg", QByteArray(), "空です"},
                {"huge.jpg", huge, "大きすぎます: 60000 x 60000"}};
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        const QString path = dir.filePath(QString::fromUtf8(row.name));
        PutFile(path, row.bytes);
        const QString why = FailureOf([&] { ReadPictureFile(path); });
        EXPECT_TRUE(why.startsWith(path + QStringLiteral(" を読み込めません")))
            << why.toStdString();
        EXPECT_TRUE(why.contains(QString::fromUtf8(row.reason))) << why.toStdString();
    }
    // The JPEG decoder itself refuses anything else; ReadPicture reads such a file by its content.
    const QString bmpInside = dir.filePath("bmp_inside.jpg");
    PutFile(bmpInside, bmpOf(photoLike(8, 8)));
    EXPECT_TRUE(FailureOf([&] { ReadJpeg(bmpInside); }).contains("JPEG ファイルではありません"));
    const QString missing = dir.filePath("missing.jpg");
    EXPECT_EQ(FailureOf([&] { ReadJpeg(missing); }),
              missing + QStringLiteral(" を読み込めません (ファイルが見つかりません)"));
}

// Without a signature (a name the edit verb writes to, a file that lost its head), the
// extension decides in any letter case, and only the last one of the name itself counts.
TEST(ContentKind, ExtensionDecidesWithoutASignature)
{
    const struct {
        const char *path;
        ContentKind kind;
    } rows[] = {{"a.bmp", ContentKind::Bmp},         {"/x/A.BMP", ContentKind::Bmp},
                {"PHOTO.JPG", ContentKind::Jpeg},    {"p.JpEg", ContentKind::Jpeg},
                {"p.png", ContentKind::Png},         {"jpg", ContentKind::Unknown},
                {"a.jpg.txt", ContentKind::Unknown}, {"/d.jpg/file", ContentKind::Unknown}};
    for (const auto &row : rows)
        EXPECT_EQ(ContentKindOf({}, QString::fromUtf8(row.path)), row.kind) << row.path;

    QTemporaryDir dir;
    const QImage picture = photoLike(20, 10);
    PutFile(dir.filePath("PHOTO.JPG"), EncodeJpeg(picture));
    const QImage read = ReadPictureFile(dir.filePath("PHOTO.JPG"));
    EXPECT_EQ(read.format(), kPictureFormat);
    EXPECT_EQ(read.size(), picture.size());
    // Other kinds are read through Qt's plugins (see test_picture_kinds).
    ASSERT_TRUE(picture.save(dir.filePath("p.png"), "PNG"));
    EXPECT_EQ(ReadPictureFile(dir.filePath("p.png")), picture);
}

// Every file writer, so each gets the same checks of the all-or-nothing rule.
const struct Writer {
    const char *name;
    std::function<void(const QString &, const QImage &)> write;
} kWriters[] = {
    {"WriteBmp24File", [](const QString &p, const QImage &i) { WriteBmp24File(p, i); }},
    {"WriteJpegFile", [](const QString &p, const QImage &i) { WriteJpegFile(p, i); }},
    {"WriteBmpOwnDepthFile", [](const QString &p, const QImage &i) { WriteBmpOwnDepthFile(p, i); }},
    {"BmpFrameWriter", [](const QString &p, const QImage &i) { BmpFrameWriter().write(p, i); }},
};

TEST(FileWriters, ReplaceTheTargetWholeAndLeaveNoTemporaryFile)
{
    for (const auto &writer : kWriters) {
        SCOPED_TRACE(writer.name);
        QTemporaryDir dir;
        const QString target = dir.filePath("out.bmp");
        PutFile(target, "old contents");
        const QImage picture = photoLike(30, 20);
        writer.write(target, picture);
        const QImage read = QImage::fromData(FileBytes(target));
        EXPECT_EQ(read.size(), picture.size());
        EXPECT_EQ(entriesOf(dir.path()), QStringList{"out.bmp"});
    }
}

// Lets a test make writes fail midway: files may grow to `bytes` only.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        m_handler = std::signal(SIGXFSZ, SIG_IGN); // a failed write, not a killed process
        const rlimit limit{bytes, m_saved.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_handler);
    }

  private:
    rlimit m_saved{};
    void (*m_handler)(int) = nullptr;
};

TEST(FileWriters, OnFailureTheTargetIsUntouchedAndNothingIsLeft)
{
    for (const auto &writer : kWriters) {
        SCOPED_TRACE(writer.name);
        QTemporaryDir dir;
        const QImage picture = photoLike(300, 300);

        // The folder is what is missing, and the message says so.
        const QString nowhere = dir.filePath("no/such/folder/out.bmp");
        const QString why = FailureOf([&] { writer.write(nowhere, picture); });
        EXPECT_EQ(why, nowhere + QStringLiteral(" に書き込めません (フォルダ %1 がありません)")
                                     .arg(dir.filePath("no/such/folder")));
        EXPECT_FALSE(QDir(dir.filePath("no")).exists());

        const QString folderTarget = dir.filePath("taken.bmp");
        ASSERT_TRUE(QDir(dir.path()).mkdir("taken.bmp"));
        PutFile(folderTarget + "/inside", "kept");
        EXPECT_TRUE(
            FailureOf([&] { writer.write(folderTarget, picture); }).startsWith(folderTarget));
        EXPECT_EQ(FileBytes(folderTarget + "/inside"), "kept");

        const QString target = dir.filePath("out.bmp");
        PutFile(target, "old contents");
        {
            FileSizeLimit limit(4096);
            EXPECT_TRUE(FailureOf([&] { writer.write(target, picture); }).startsWith(target));
        }
        EXPECT_EQ(FileBytes(target), "old contents");
        EXPECT_EQ(entriesOf(dir.path()), (QStringList{"out.bmp", "taken.bmp"}));
    }
}

TEST(FileWriters, FrameWriterGivesTheSameBytesFrameAfterFrame)
{
    QTemporaryDir dir;
    BmpFrameWriter writer;
    // Tall and narrow, with row padding that holds stray bytes in memory: hundreds of rows and
    // paddings written straight from the picture, all of which must land in order, as zeros.
    QImage tall = photoLike(5, 300);
    for (int y = 0; y < tall.height(); ++y)
        std::memset(tall.scanLine(y) + 15, 0xEE, size_t(tall.bytesPerLine() - 15));
    const QImage frames[] = {photoLike(200, 200), photoLike(200, 200).mirrored(), photoLike(7, 3),
                             photoLike(200, 200).convertToFormat(QImage::Format_RGB32), tall};
    int n = 0;
    for (const QImage &frame : frames) {
        const QString path = dir.filePath(QStringLiteral("f%1.bmp").arg(++n));
        writer.write(path, frame);
        EXPECT_EQ(FileBytes(path), bmpOf(frame)) << n;
    }
}

} // namespace
