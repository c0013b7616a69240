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

} // namespace
