// SPDX-License-Identifier: GPL-3.0-or-later
// Blur, sharpen, contrast, gamma and level correction against their figures and plain references.
#include "core/image/filters.h"
#include "core/image/picture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <thread>

namespace {

QImage uniform(int width, int height, QRgb colour)
{
    QImage picture(width, height, kPictureFormat);
    picture.fill(colour);
    return picture;
}

QImage randomPicture(int width, int height, unsigned seed)
{
    std::mt19937 random(seed);
    QImage picture(width, height, kPictureFormat);
    for (int y = 0; y < height; ++y) {
        uchar *row = picture.scanLine(y);
        for (int i = 0; i < 3 * width; ++i)
            row[i] = uchar(random() & 0xff);
    }
    return picture;
}

// One pixel per channel value: pixel v is (v, 255 - v, v * 7 mod 256) in blue, green, red.
QImage everyValue()
{
    QImage picture(256, 1, kPictureFormat);
    uchar *row = picture.scanLine(0);
    for (int v = 0; v < 256; ++v) {
        row[3 * v] = uchar(v);
        row[3 * v + 1] = uchar(255 - v);
        row[3 * v + 2] = uchar(v * 7 % 256);
    }
    return picture;
}

uchar channel(const QImage &picture, int x, int y, int c)
{
    return picture.constScanLine(y)[3 * x + c];
}

// The filter written out plainly: nine weights, a missing neighbour replaced by the pixel's own
// row or column, ClampByte of sum / kernel sum as a real.
QImage referenceFilter(FilterKind kind, const QImage &source)
{
    static const int kernels[2][3][3] = {{{1, 1, 1}, {1, 2, 1}, {1, 1, 1}},
                                         {{0, -1, 0}, {-1, 10, -1}, {0, -1, 0}}};
    const bool blur = kind == FilterKind::Blur;
    const int(&k)[3][3] = kernels[blur ? 0 : 1];
    const int kernelSum = blur ? 10 : 6;
    QImage result = source.copy();
    for (int y = 0; y < source.height(); ++y)
        for (int x = 0; x < source.width(); ++x)
            for (int c = 0; c < 3; ++c) {
                int sum = 0;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx) {
                        int ny = y + dy, nx = x + dx;
                        if (ny < 0 || ny > source.height() - 1)
                            ny = y;
                        if (nx < 0 || nx > source.width() - 1)
                            nx = x;
                        sum += channel(source, nx, ny, c) * k[dy + 1][dx + 1];
                    }
                result.scanLine(y)[3 * x + c] = ClampByte(double(sum) / double(kernelSum));
            }
    return result;
}

// The first differing pixel, or "" when the pictures are equal in size, format and bytes.
std::string firstDifference(const QImage &actual, const QImage &expected)
{
    if (actual.size() != expected.size() || actual.format() != expected.format())
        return "size or format differs";
    for (int y = 0; y < actual.height(); ++y)
        for (int x = 0; x < 3 * actual.width(); ++x)
            if (actual.constScanLine(y)[x] != expected.constScanLine(y)[x])
                return "byte " + std::to_string(x) + " of row " + std::to_string(y) + ": " +
                       std::to_string(actual.constScanLine(y)[x]) + " instead of " +
                       std::to_string(expected.constScanLine(y)[x]);
    return "";
}

// A picture of two colours: (value, value, value) at (x, y), `around` everywhere else.
QImage spot(int size, int x, int y, int value, int around)
{
    QImage picture = uniform(size, size, qRgb(around, around, around));
    picture.setPixel(x, y, qRgb(value, value, value));
    return picture;
}

TEST(Filter3x3, UniformPicturesAndASinglePixelKeepTheirColour)
{
    for (FilterKind kind : {FilterKind::Blur, FilterKind::Sharpen})
        for (QSize size : {QSize(7, 5), QSize(1, 1), QSize(1, 4), QSize(3, 1)})
            for (QRgb colour : {qRgb(0, 0, 0), qRgb(255, 255, 255), qRgb(13, 128, 254)}) {
                const QImage picture = uniform(size.width(), size.height(), colour);
                EXPECT_EQ(Filter3x3(picture, kind), picture)
                    << "kind " << int(kind) << ", " << size.width() << " x " << size.height();
            }
}

TEST(Filter3x3, FiguresOfBlurAndSharpen)
{
    const QImage hole = Filter3x3(spot(5, 2, 2, 0, 255), FilterKind::Blur);
    EXPECT_EQ(channel(hole, 2, 2, 0), 204); // Trunc(8 * 255 / 10)
    EXPECT_EQ(channel(hole, 1, 1, 1), 229); // Trunc(9 * 255 / 10): the hole is a corner neighbour

    const QImage peak = Filter3x3(spot(5, 2, 2, 200, 100), FilterKind::Sharpen);
    EXPECT_EQ(channel(peak, 2, 2, 0), 255); // (2000 - 400) / 6, clipped
    for (QPoint p : {QPoint(1, 2), QPoint(3, 2), QPoint(2, 1), QPoint(2, 3)})
        EXPECT_EQ(channel(peak, p.x(), p.y(), 2), 83) << p.x() << "," << p.y();
    EXPECT_EQ(channel(peak, 1, 1, 0), 100); // diagonal neighbours have weight 0

    // A dark pixel among bright ones: 10 * 10 - 4 * 255 is negative and clips to 0.
    const QImage pit = Filter3x3(spot(5, 2, 2, 10, 255), FilterKind::Sharpen);
    EXPECT_EQ(channel(pit, 2, 2, 1), 0);
}

TEST(Filter3x3, MatchesThePlainReferenceAtTheBorders)
{
    const QImage picture = randomPicture(23, 17, 7);
    for (FilterKind kind : {FilterKind::Blur, FilterKind::Sharpen})
        EXPECT_EQ(firstDifference(Filter3x3(picture, kind), referenceFilter(kind, picture)), "")
            << "kind " << int(kind);
    // A corner by hand: the missing row is replaced by row 0 and the missing column by column
    // 0, so (0, 0) counts five times (centre doubled), (1, 0) and (0, 1) twice, (1, 1) once.
    const int sum = 5 * channel(picture, 0, 0, 2) + 2 * channel(picture, 1, 0, 2) +
                    2 * channel(picture, 0, 1, 2) + channel(picture, 1, 1, 2);
    EXPECT_EQ(channel(Filter3x3(picture, FilterKind::Blur), 0, 0, 2), sum / 10);
}

TEST(Filter3x3, BandsOverTheCoresGiveTheSingleThreadResult)
{
    // Large enough that the rows are split into bands on a machine of two or more cores; the
    // reference runs on this thread alone, one pixel at a time.
    const QImage picture = randomPicture(640, 480, 5);
    for (FilterKind kind : {FilterKind::Blur, FilterKind::Sharpen}) {
        EXPECT_EQ(firstDifference(Filter3x3(picture, kind), referenceFilter(kind, picture)), "")
            << "kind " << int(kind) << ", cores " << std::thread::hardware_concurrency();
    }
}

TEST(Contrast, Figures)
{
    const struct {
        double factor;
        int value;
        int expected;
    } rows[] = {{0.1, 200, 207},  {0.1, 50, 42},  {1, 200, 255},    {1, 100, 72},
                {0.01, 200, 200}, {0.01, 50, 49}, {0.01, 127, 126}, {0.5, 127, 126},
                {1, 127, 126},    {1, 0, 0},      {1, 255, 255},    {0.01, 1, 0}};
    for (const auto &row : rows) {
        const QImage picture = uniform(2, 2, qRgb(row.value, row.value, row.value));
        const QImage result = Contrast(picture, row.factor);
        for (int c = 0; c < 3; ++c)
            EXPECT_EQ(channel(result, 1, 1, c), row.expected)
                << "factor " << row.factor << ", value " << row.value;
    }
    const QImage values = everyValue(); // every value from 1 to 127 drops, even at 0.01
    const QImage stretched = Contrast(values, 0.01);
    for (int v = 1; v <= 127; ++v)
        EXPECT_LT(channel(stretched, v, 0, 0), v) << v;
}

TEST(Gamma, Figures)
{
    const QImage values = everyValue();
    EXPECT_EQ(Gamma(values, 1), values);

    const QImage bright = Gamma(values, 2);
    EXPECT_EQ(channel(bright, 64, 0, 0), 127);
    EXPECT_EQ(channel(bright, 0, 0, 0), 0);
    EXPECT_EQ(channel(bright, 255, 0, 0), 255);
    const QImage dark = Gamma(values, 0.5);
    EXPECT_EQ(channel(dark, 128, 0, 0), 64);
}

TEST(Gamma, ZeroNegativeOrNaNGammaLeavesThePicture)
{
    const QImage values = everyValue();
    for (const double g : {0.0, -1.0, -0.5, double(NAN)})
        EXPECT_EQ(Gamma(values, g), values) << g;
}

// The curves evaluated for every channel of every pixel, with no table.
TEST(PointOperations, TablesGiveThePerPixelValues)
{
    const QImage values = everyValue();
    for (double factor : {0.01, 0.1, 0.37, 1.0, 2.5, -0.3}) {
        const QImage result = Contrast(values, factor);
        for (int x = 0; x < 256; ++x)
            for (int c = 0; c < 3; ++c) {
                const int v = channel(values, x, 0, c);
                ASSERT_EQ(channel(result, x, 0, c), ClampByte(double(v + (v - 127.5L) * factor)))
                    << "factor " << factor << ", value " << v;
            }
    }
    for (double gamma : {0.01, 0.1, 0.25, 0.5, 0.7, 1.0, 1.3, 2.0, 2.2, 3.0}) {
        const QImage result = Gamma(values, gamma);
        for (int x = 0; x < 256; ++x)
            for (int c = 0; c < 3; ++c) {
                const int v = channel(values, x, 0, c);
                const double b = v / 255.0;
                const long double e = 1.0L / gamma;
                const long double power = v == 0 ? 0.0L : std::pow((long double)b, e);
                ASSERT_EQ(channel(result, x, 0, c), ClampByte(double(255.0L * power)))
                    << "gamma " << gamma << ", value " << v;
            }
    }
}

// A picture of one row holding the given pixels.
QImage levelPicture(std::initializer_list<QRgb> pixels)
{
    QImage picture(int(pixels.size()), 1, kPictureFormat);
    int x = 0;
    for (QRgb p : pixels)
        picture.setPixel(x++, 0, p);
    return picture;
}

QRgb grey(int v)
{
    return qRgb(v, v, v);
}

TEST(LevelCorrect, Figures)
{
    QImage range0to200 = levelPicture({grey(0), grey(200), grey(100)});
    range0to200 = LevelCorrect(range0to200);
    EXPECT_EQ(range0to200.format(), kPictureFormat);
    EXPECT_EQ(channel(range0to200, 2, 0, 0), 127);
    EXPECT_EQ(channel(range0to200, 1, 0, 1), 254); // the factor is just below 1.275
    EXPECT_EQ(channel(range0to200, 0, 0, 2), 0);

    // Luminances 50..200; the last pixel has luminance 100 but channels 20 and 150 and 130.
    QImage range50to200 = levelPicture({grey(50), grey(200), grey(150), qRgb(130, 150, 20)});
    range50to200 = LevelCorrect(range50to200);
    EXPECT_EQ(channel(range50to200, 0, 0, 0), 0);
    EXPECT_EQ(channel(range50to200, 1, 0, 0), 255);
    EXPECT_EQ(channel(range50to200, 2, 0, 1), 170);
    EXPECT_EQ(channel(range50to200, 3, 0, 0), 0);   // blue 20 lies below the darkest luminance
    EXPECT_EQ(channel(range50to200, 3, 0, 1), 170); // green 150
    EXPECT_EQ(channel(range50to200, 3, 0, 2), 136); // red 130: Trunc(80 * 1.7)

    QImage full = randomPicture(40, 30, 9);
    full.setPixel(0, 0, grey(0));
    full.setPixel(1, 0, grey(255));
    const QImage before = full.copy();
    full = LevelCorrect(full);
    EXPECT_EQ(full, before);
}

TEST(LevelCorrect, LuminanceIsTheTruncatedMean)
{
    // (255, 255, 254) has luminance Trunc(764 / 3) = 254, so the range is 0..254 and 254 reaches
    // 255; a rounded luminance of 255 would leave every value as it is.
    QImage picture = levelPicture({grey(0), qRgb(254, 255, 255), grey(254), grey(200)});
    picture = LevelCorrect(picture);
    EXPECT_EQ(channel(picture, 2, 0, 0), 255);
    EXPECT_EQ(channel(picture, 3, 0, 0), 200); // Trunc(200.787...)
    EXPECT_EQ(channel(picture, 1, 0, 2), 255);
}

TEST(LevelCorrect, OneLuminanceLeavesThePicture)
{
    for (QImage picture :
         {uniform(5, 4, qRgb(90, 90, 90)), levelPicture({qRgb(10, 20, 30), qRgb(30, 20, 10)}),
          uniform(1, 1, qRgb(0, 0, 0)), uniform(3, 3, qRgb(255, 255, 255))}) {
        const QImage before = picture.copy();
        picture = LevelCorrect(picture);
        EXPECT_EQ(picture, before);
    }
    QImage empty;
    empty = LevelCorrect(empty);
    EXPECT_TRUE(empty.isNull());
}

TEST(LevelCorrect, BandsOverTheCoresGiveTheSingleThreadResult)
{
    // Darkest pixel in the last rows, brightest in the first: the bands' histograms must meet.
    QImage picture = uniform(800, 600, grey(120));
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 800; x += 37)
            picture.setPixel(x, y, qRgb((x + y) % 61 + 90, 120, 140));
    picture.setPixel(5, 2, grey(180));
    picture.setPixel(700, 590, grey(60));
    const double f = 255.0 / 120;
    QImage expected = picture.copy();
    for (int y = 0; y < 600; ++y)
        for (int i = 0; i < 3 * 800; ++i) {
            uchar &c = expected.scanLine(y)[i];
            c = ClampByte(double((c - 60) * static_cast<long double>(f)));
        }
    picture = LevelCorrect(picture);
    EXPECT_EQ(firstDifference(picture, expected), "");
}

TEST(Filters, APaletteInputWorksAsItsColours)
{
    QImage palette(6, 5, QImage::Format_Indexed8);
    palette.setColorTable({qRgb(0, 0, 0), qRgb(200, 100, 50), qRgb(10, 250, 30)});
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x)
            palette.setPixel(x, y, (x + 2 * y) % 3);
    const QImage as24 = palette.convertToFormat(kPictureFormat);

    const QImage blurred = Filter3x3(palette, FilterKind::Blur);
    EXPECT_EQ(firstDifference(blurred, referenceFilter(FilterKind::Blur, as24)), "");
    EXPECT_EQ(Contrast(palette, 0.3), Contrast(as24, 0.3));
    EXPECT_EQ(Gamma(palette, 1), as24);

    QImage levels = palette;
    levels = LevelCorrect(levels);
    QImage expected = as24;
    expected = LevelCorrect(expected);
    EXPECT_EQ(levels.format(), kPictureFormat);
    EXPECT_EQ(levels, expected);
    EXPECT_NE(levels, as24); // luminance 0..116: the stretch did something
}

} // namespace
