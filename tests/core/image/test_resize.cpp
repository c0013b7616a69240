// SPDX-License-Identifier: GPL-3.0-or-later
// SizeWithLongerSide, box averaging and enlarging: exact figures and plain reference versions.
#include "core/base/io_error.h"
#include "core/image/pattern.h"
#include "core/image/picture.h"
#include "core/image/resize.h"
#include "core/image/rounding.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// Box averaging written out plainly, one pixel at a time (for shrinking, where no box is empty).
QImage referenceAverage(int newWidth, int newHeight, const QImage &src)
{
    const double sx = double((long double)src.width() / newWidth);
    const double sy = double((long double)src.height() / newHeight);
    QImage out(newWidth, newHeight, kPictureFormat);
    for (int y = 0; y < newHeight; ++y) {
        for (int x = 0; x < newWidth; ++x) {
            int32_t r = 0, g = 0, b = 0, count = 0;
            for (int64_t j = Round(y * (long double)sy); j <= Round(y * (long double)sy + sy - 1);
                 ++j)
                for (int64_t i = Round(x * (long double)sx);
                     i <= Round(x * (long double)sx + sx - 1); ++i)
                    if (j <= src.height() - 1 && i <= src.width() - 1) {
                        const QRgb p = src.pixel(int(i), int(j));
                        r += qRed(p), g += qGreen(p), b += qBlue(p), ++count;
                    }
            count = std::max(count, 1);
            out.setPixel(x, y,
                         qRgb(int(Trunc((long double)r / count)),
                              int(Trunc((long double)g / count)),
                              int(Trunc((long double)b / count))));
        }
    }
    return out;
}

// Mistakes: a ratio rounded below its value taking a pixel off (300 x 300 to 200 gave 200 x 199,
// 1800 x 1200 to 300 gave 300 x 199), a portrait picture enlarged to the target, the truncation
// turned into rounding.
TEST(SizeWithLongerSide, TheLongerSideBecomesTheTargetWithoutEnlarging)
{
    const struct {
        int t, w, h, newWidth, newHeight;
    } rows[] = {
        {200, 300, 300, 200, 200},   {300, 1800, 1200, 300, 200}, {800, 1600, 1200, 800, 600},
        {800, 1200, 1600, 600, 800}, {800, 640, 480, 640, 480},   {320, 1024, 768, 320, 240},
        {320, 1000, 333, 320, 106},  {200, 1600, 1200, 200, 150}, {640, 640, 480, 640, 480},
        {300, 300, 400, 225, 300},   {600, 300, 450, 300, 450}, // a smaller portrait keeps its size
        {99999, 300, 450, 300, 450}, {60, 10, 40, 10, 40},
    };
    for (const auto &row : rows)
        EXPECT_EQ(SizeWithLongerSide(QSize(row.w, row.h), row.t),
                  QSize(row.newWidth, row.newHeight))
            << row.t << " " << row.w << "x" << row.h;

    // Every target on photos of both orientations and odd proportions: the shorter side is the
    // largest whole number that keeps the proportion (a pixel short or over breaks one bound).
    for (const QSize photo : {QSize(6000, 4000), QSize(4000, 6000), QSize(4032, 3024),
                              QSize(1000, 333), QSize(2147483647, 3)}) {
        const bool wide = photo.width() >= photo.height();
        const int64_t longer = wide ? photo.width() : photo.height();
        const int64_t shorter = wide ? photo.height() : photo.width();
        for (int64_t t = 1; t < std::min<int64_t>(longer, 6000); t += 7) {
            const QSize size = SizeWithLongerSide(photo, int32_t(t));
            const int64_t got = wide ? size.height() : size.width();
            ASSERT_EQ(wide ? size.width() : size.height(), t);
            ASSERT_LE(got * longer, shorter * t)
                << photo.width() << "x" << photo.height() << " " << t;
            ASSERT_GT((got + 1) * longer, shorter * t)
                << photo.width() << "x" << photo.height() << " " << t;
        }
    }
}

TEST(ResizeAverage, TheSameSizeCopiesExactly)
{
    const QImage source = Pattern(37, 23);
    EXPECT_EQ(ResizeAverage(37, 23, source), source);
    // A source of another depth is read through its 24-bit form.
    EXPECT_EQ(ResizeAverage(37, 23, source.convertToFormat(QImage::Format_RGB32)), source);
}

// Column i (or row i) has blue i * i, so each box's truncated mean tells which pixels it took.
TEST(ResizeAverage, BoxesFollowTheRoundedBounds)
{
    const struct {
        int from, to;
        std::vector<int> means;
    } rows[] = {
        // ratio 2.5: boxes 0..2, 2..4, 5..6, 8..9, 10..12, 12..14 (overlapping, uneven)
        {15, 6, {5 / 3, 29 / 3, 61 / 2, 145 / 2, 365 / 3, 509 / 3}},
        {3, 2, {0, 4}},          // ratio 1.5: column 0 alone, then column 2 alone
        {4, 2, {1 / 2, 13 / 2}}, // pairs 0-1 and 2-3
    };
    for (const auto &row : rows) {
        QImage line(row.from, 1, kPictureFormat);
        for (int i = 0; i < row.from; ++i)
            line.setPixel(i, 0, qRgb(7, 7, i * i));
        const QImage across = ResizeAverage(row.to, 1, line);
        const QImage down =
            ResizeAverage(1, row.to, line.transformed(QTransform(0, 1, 1, 0, 0, 0)));
        for (int i = 0; i < row.to; ++i) {
            EXPECT_EQ(across.pixel(i, 0), qRgb(7, 7, row.means[size_t(i)])) << row.from << " " << i;
            EXPECT_EQ(down.pixel(0, i), qRgb(7, 7, row.means[size_t(i)])) << row.from << " " << i;
        }
    }
}

TEST(ResizeAverage, ShrinkingMatchesThePlainReference)
{
    const struct {
        int w, h, newWidth, newHeight;
    } rows[] = {{1024, 768, 320, 240}, {97, 61, 13, 7}, {50, 40, 49, 39}, {2000, 1500, 333, 250}};
    for (const auto &row : rows) {
        const QImage source = Pattern(row.w, row.h);
        EXPECT_EQ(ResizeAverage(row.newWidth, row.newHeight, source),
                  referenceAverage(row.newWidth, row.newHeight, source))
            << row.w << "x" << row.h << " to " << row.newWidth << "x" << row.newHeight;
    }
}

TEST(ResizeAverage, AHugeBoxKeepsItsTrueMean)
{
    // 9 million white pixels in one box: their sum is beyond a signed 32-bit integer.
    QImage white(3000, 3000, kPictureFormat);
    white.fill(Qt::white);
    EXPECT_EQ(ResizeAverage(1, 1, white).pixel(0, 0), qRgb(255, 255, 255));
}

TEST(ResizeAverage, AGrowingSideTakesTheNearestSourcePixel)
{
    // Every source pixel carries its own position, so each result pixel tells where it came from.
    const struct {
        int w, h, newWidth, newHeight;
    } rows[] = {{10, 40, 15, 60}, {3, 1, 7, 1}, {5, 6, 12, 3}, {4, 4, 9, 9}};
    for (const auto &row : rows) {
        QImage source(row.w, row.h, kPictureFormat);
        for (int y = 0; y < row.h; ++y)
            for (int x = 0; x < row.w; ++x)
                source.setPixel(x, y, qRgb(9, 1 + y, 1 + x));
        const QImage result = ResizeAverage(row.newWidth, row.newHeight, source);
        const double sx = double(row.w) / row.newWidth, sy = double(row.h) / row.newHeight;
        for (int y = 0; y < row.newHeight; ++y)
            for (int x = 0; x < row.newWidth; ++x) {
                const QRgb p = result.pixel(x, y);
                ASSERT_EQ(qRed(p), 9) << "black or blended at " << x << "," << y;
                if (sx < 1) { // a growing side takes one source column near the centre
                    EXPECT_LE(std::fabs(qBlue(p) - 1 - ((x + 0.5) * sx - 0.5)), 1.0) << x;
                }
                if (sy < 1) {
                    EXPECT_LE(std::fabs(qGreen(p) - 1 - ((y + 0.5) * sy - 0.5)), 1.0) << y;
                }
            }
    }
}

TEST(Enlarge, GivesTheWidthAskedForWithoutBlackEdges)
{
    const QImage source = Pattern(640, 480);
    const QImage result = Enlarge(source, 800);
    ASSERT_EQ(result.size(), QSize(800, 600));
    for (int y = 0; y < result.height(); ++y)
        for (int x = 0; x < result.width(); ++x)
            ASSERT_NE(result.pixel(x, y) & 0xffffff, 0u) << x << "," << y;
    EXPECT_EQ(result.pixel(0, 0), source.pixel(0, 0));
    EXPECT_EQ(result.pixel(799, 0), source.pixel(639, 0));
    EXPECT_EQ(result.pixel(0, 599), source.pixel(0, 479));
    EXPECT_EQ(result.pixel(799, 599), source.pixel(639, 479));
}

TEST(Enlarge, RampsStayInOrderAcrossTheRowBands)
{
    // Blue grows to the right and green downwards: a tap or a row band out of place breaks the
    // order somewhere in the result.
    QImage ramp(900, 700, kPictureFormat);
    for (int y = 0; y < 700; ++y)
        for (int x = 0; x < 900; ++x)
            ramp.setPixel(x, y, qRgb(0, y * 255 / 699, x * 255 / 899));
    const QImage result = Enlarge(ramp, 1700);
    ASSERT_EQ(result.size(), QSize(1700, 1322));
    for (int y = 0; y < result.height(); ++y)
        for (int x = 1; x < result.width(); ++x) {
            ASSERT_LE(qBlue(result.pixel(x - 1, y)), qBlue(result.pixel(x, y))) << x << "," << y;
            if (y > 0) {
                ASSERT_LE(qGreen(result.pixel(x, y - 1)), qGreen(result.pixel(x, y)))
                    << x << "," << y;
            }
        }
    EXPECT_EQ(result.pixel(1699, 1321), qRgb(0, 255, 255));
}

TEST(Enlarge, HeightKeepsTheProportionAndValuesBlend)
{
    const struct {
        int w, h, t, newHeight;
    } rows[] = {
        {4, 3, 6, 4} /* 4.5 halves to even */, {4, 1, 2, 1} /* at least a row */, {3, 7, 5, 12}};
    for (const auto &row : rows)
        EXPECT_EQ(Enlarge(Pattern(row.w, row.h), row.t).size(), QSize(row.t, row.newHeight))
            << row.w << "x" << row.h;
    QImage pair(2, 1, kPictureFormat); // positions -0.25 (clamped), 0.25, 0.75, 1.25 (clamped)
    pair.setPixel(0, 0, qRgb(100, 0, 100));
    pair.setPixel(1, 0, qRgb(200, 0, 200));
    const QImage wide = Enlarge(pair, 4);
    const int expected[] = {100, 125, 175, 200};
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(wide.pixel(x, 1), qRgb(expected[x], 0, expected[x])) << x;
}

TEST(ResultSize, ATooLargeResultIsRefused)
{
    const QImage source = Pattern(8, 6);
    EXPECT_THROW(ResizeAverage(100000, 10000, source), Failure);
    EXPECT_THROW(ResizeAverage(0, 5, source), Failure);
    EXPECT_THROW(Enlarge(source, 1 << 20), Failure);
    EXPECT_THROW(Enlarge(QImage(), 100), Failure);
}

} // namespace
