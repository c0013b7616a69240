// SPDX-License-Identifier: GPL-3.0-or-later
// The pixel conventions: the two roundings, ClampByte, 24-bit conversion, copy-compute-draw-back.
#include "core/image/pattern.h"
#include "core/image/picture.h"
#include "core/image/rounding.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <limits>

namespace {

TEST(Rounding, RoundHalvesGoToTheEvenNeighbour)
{
    const struct {
        long double x;
        int64_t expected;
    } rows[] = {{2.5L, 2},     {3.5L, 4},
                {0.5L, 0},     {1.5L, 2},
                {-2.5L, -2},   {-3.5L, -4},
                {2.4L, 2},     {2.6L, 3},
                {-0.4L, 0},    {199.5L, 200},
                {198.5L, 198}, {0.0L, 0},
                {-0.5L, 0},    {4503599627370497.5L, 4503599627370498}};
    for (const auto &row : rows)
        EXPECT_EQ(Round(row.x), row.expected) << "Round(" << double(row.x) << ")";
}

TEST(Rounding, TruncGoesTowardZero)
{
    EXPECT_EQ(Trunc(-0.7L), 0);
    EXPECT_EQ(Trunc(-0.5L), 0);
    EXPECT_EQ(Trunc(3.9L), 3);
    EXPECT_EQ(Trunc(-3.9L), -3);
    EXPECT_EQ(Trunc(255.999L), 255);
}

TEST(Rounding, RoundIgnoresTheRoundingModeInForce)
{
    // Code elsewhere may change the mode; the picture arithmetic must not follow it.
    const int saved = std::fegetround();
    std::fesetround(FE_UPWARD);
    EXPECT_EQ(Round(2.5L), 2);
    EXPECT_EQ(Round(2.2L), 2);
    std::fesetround(FE_DOWNWARD);
    EXPECT_EQ(Round(3.5L), 4);
    EXPECT_EQ(Round(2.7L), 3);
    std::fesetround(saved);
}

TEST(ClampByte, ClipsThenTruncates)
{
    const struct {
        double x;
        int expected;
    } rows[] = {{255.0, 255}, {255.5, 255}, {254.999, 254}, {0.7, 0}, {-0.3, 0},
                {1e300, 255}, {-1e300, 0},  {127.5, 127},   {0.0, 0}, {std::nan(""), 0}};
    for (const auto &row : rows)
        EXPECT_EQ(ClampByte(row.x), row.expected) << "ClampByte(" << row.x << ")";
}

TEST(To24Bit, KeepsTheColoursOfEveryDepth)
{
    QImage palette(3, 2, QImage::Format_Indexed8);
    palette.setColorTable({qRgb(255, 0, 0), qRgb(0, 128, 255), qRgb(17, 34, 51)});
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            palette.setPixel(x, y, uint((x + y) % 3));
    const QImage picture = To24Bit(palette);
    ASSERT_EQ(picture.format(), kPictureFormat);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(picture.pixel(x, y), palette.pixel(x, y)) << x << "," << y;
    // Byte order in a row is blue, green, red.
    const uchar *first = picture.constScanLine(0);
    EXPECT_EQ(first[0], 0);
    EXPECT_EQ(first[1], 0);
    EXPECT_EQ(first[2], 255);
}

// A 3x3 box sum over src: a computation whose result would change if it read the result being
// written instead of src, or if it read outside the rectangle's source pixels wrongly.
void boxRow(const QImage &src, int y, int x0, int x1, uchar *out)
{
    for (int x = x0; x <= x1; ++x, out += 3) {
        for (int c = 0; c < 3; ++c) {
            int sum = 0;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) {
                    const int sx = std::clamp(x + dx, 0, src.width() - 1);
                    const int sy = std::clamp(y + dy, 0, src.height() - 1);
                    sum += src.constScanLine(sy)[3 * sx + c];
                }
            out[c] = uchar(sum / 9);
        }
    }
}

TEST(CopyComputeDrawBack, ReadsOnlyTheSourceEvenInPlace)
{
    const QImage original = Pattern(9, 7);
    QImage separate;
    CopyComputeDrawBack(original, separate, {0, 0, 8, 6}, boxRow);
    QImage inPlace = original.copy();
    CopyComputeDrawBack(inPlace, inPlace, {0, 0, 8, 6}, boxRow);
    EXPECT_EQ(inPlace, separate);
    EXPECT_NE(inPlace, original);
}

TEST(CopyComputeDrawBack, PixelsOutsideTheRectangleKeepTheirValues)
{
    const QImage original = Pattern(9, 7);
    QImage result;
    CopyComputeDrawBack(original, result, {2, 1, 5, 3}, boxRow);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 9; ++x) {
            const bool inside = x >= 2 && x <= 5 && y >= 1 && y <= 3;
            if (!inside) {
                EXPECT_EQ(result.pixel(x, y), original.pixel(x, y)) << x << "," << y;
            }
        }
    EXPECT_NE(result.copy(2, 1, 4, 3), original.copy(2, 1, 4, 3));
}

TEST(CopyComputeDrawBack, AnEmptyOrOutsideRectangleLeavesTheSource)
{
    const QImage original = Pattern(5, 4);
    for (PixelRect rect : {PixelRect{3, 0, 2, 3}, PixelRect{0, 3, 4, 2}, PixelRect{10, 10, 20, 20},
                           PixelRect{-5, -5, -1, -1}}) {
        QImage result = Pattern(5, 4);
        result.fill(Qt::black);
        CopyComputeDrawBack(original, result, rect, boxRow);
        EXPECT_EQ(result, original);
    }
}

TEST(CopyComputeDrawBack, AnEightBitSourceIsReadAs24Bit)
{
    QImage palette(4, 4, QImage::Format_Indexed8);
    palette.setColorTable({qRgb(90, 90, 90)});
    palette.fill(0);
    QImage result;
    CopyComputeDrawBack(palette, result, {0, 0, 3, 3}, boxRow);
    ASSERT_EQ(result.format(), kPictureFormat);
    EXPECT_EQ(result.pixel(2, 2), qRgb(90, 90, 90));
}

TEST(DrawAt, KeepsTheDestinationsSizeAndClips)
{
    QImage dst = WhitePicture(4, 3);
    DrawAt(dst, Pattern(6, 2));
    EXPECT_EQ(dst.size(), QSize(4, 3));
    EXPECT_EQ(dst.pixel(3, 1), Pattern(6, 2).pixel(3, 1));
    EXPECT_EQ(dst.pixel(3, 2), qRgb(255, 255, 255));
}

} // namespace
