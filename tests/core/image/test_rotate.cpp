// SPDX-License-Identifier: GPL-3.0-or-later
// Rotation: exact sizes and figures, and a plain reference version of the arithmetic.
#include "core/base/io_error.h"
#include "core/image/pattern.h"
#include "core/image/picture.h"
#include "core/image/rotate.h"
#include "core/image/rounding.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

int channel(QRgb p, int c)
{
    return int(p >> (16 - 8 * c) & 0xff);
}

// The rotation written out plainly, one pixel at a time, every step in extended precision and
// the kept reals stored as doubles.
QImage referenceRotate(int angle, const QImage &src)
{
    const long double a = angle * 0.017453292519943295769L;
    const double c = double(std::cos(a)), s = double(std::sin(a));
    const long double w = src.width(), h = src.height();
    const int newWidth = int(Round(std::fabs(w * c) + std::fabs(h * s) + 0.5L));
    const int newHeight = int(Round(std::fabs(w * s) + std::fabs(h * c) + 0.5L));
    const int64_t cx = Round(w / 2), cy = Round(h / 2);
    const int64_t ncx = Round(newWidth / 2.0L), ncy = Round(newHeight / 2.0L);
    QImage out(newWidth, newHeight, kPictureFormat);
    for (int y = 0; y < newHeight; ++y)
        for (int x = 0; x < newWidth; ++x) {
            const long double dx = x - ncx, dy = y - ncy;
            const double px = dx * c - dy * s + cx, py = dx * s + dy * c + cy;
            const int64_t x0 = Trunc(px), y0 = Trunc(py);
            const long double fx = px - x0, fy = py - y0;
            if (x0 < 0 || x0 >= w || y0 < 0 || y0 >= h) {
                out.setPixel(x, y, qRgb(0, 0, 0));
                continue;
            }
            const int x1 = int(std::min<int64_t>(x0 + 1, src.width() - 1));
            const int y1 = int(std::min<int64_t>(y0 + 1, src.height() - 1));
            int v[3];
            for (int k = 0; k < 3; ++k) {
                const int p00 = channel(src.pixel(int(x0), int(y0)), k);
                const int p10 = channel(src.pixel(x1, int(y0)), k);
                const int p01 = channel(src.pixel(int(x0), y1), k);
                const int p11 = channel(src.pixel(x1, y1), k);
                v[k] = ClampByte(double(((1 - fx) * p00 + fx * p10) * (1 - fy) +
                                        ((1 - fx) * p01 + fx * p11) * fy + 0.5L));
            }
            out.setPixel(x, y, qRgb(v[0], v[1], v[2]));
        }
    return out;
}

TEST(Rotate, ZeroDegreesCopiesAndAnOddSideGrowsByABlackLine)
{
    const struct {
        int w, h, newWidth, blackColumn, shift;
    } rows[] = {{5, 4, 6, 0, 1}, {7, 4, 8, 7, 0}, {6, 4, 6, -1, 0}};
    for (const auto &row : rows) {
        const QImage source = Pattern(row.w, row.h);
        const QImage result = Rotate(source, 0);
        ASSERT_EQ(result.size(), QSize(row.newWidth, row.h)) << row.w;
        for (int y = 0; y < row.h; ++y)
            for (int x = 0; x < row.newWidth; ++x)
                EXPECT_EQ(result.pixel(x, y),
                          x == row.blackColumn ? qRgb(0, 0, 0) : source.pixel(x - row.shift, y))
                    << row.w << ": " << x << "," << y;
    }
}

TEST(Rotate, FortyFiveDegreesGivesASquareWithBlackCorners)
{
    const QImage result = Rotate(Pattern(640, 480), 45);
    ASSERT_EQ(result.size(), QSize(792, 792));
    for (QPoint corner : {QPoint(0, 0), QPoint(791, 0), QPoint(0, 791), QPoint(791, 791)})
        EXPECT_EQ(result.pixel(corner), qRgb(0, 0, 0)) << corner.x() << "," << corner.y();
    EXPECT_NE(result.pixel(396, 396), qRgb(0, 0, 0));
}

TEST(Rotate, MatchesThePlainReference)
{
    const struct {
        int angle, w, h;
    } rows[] = {{5, 64, 48},     {30, 33, 17},  {45, 64, 48}, {135, 20, 31},
                {359, 40, 30},   {-30, 25, 25}, {17, 30, 20}, {45, 1200, 900},
                {200, 700, 500}, {89, 33, 17},  {271, 20, 31}};
    for (const auto &row : rows) {
        const QImage source = Pattern(row.w, row.h);
        EXPECT_EQ(Rotate(source, row.angle), referenceRotate(row.angle, source))
            << row.angle << " " << row.w << "x" << row.h;
    }
}

// source turned counter-clockwise by quarters quarter turns, one pixel at a time.
QImage referenceQuarterTurns(const QImage &source, int quarters)
{
    const int w = source.width(), h = source.height();
    const bool across = quarters % 2 == 1;
    QImage out(across ? h : w, across ? w : h, kPictureFormat);
    for (int y = 0; y < out.height(); ++y)
        for (int x = 0; x < out.width(); ++x) {
            const QPoint from[] = {{x, y}, {w - 1 - y, x}, {w - 1 - x, h - 1 - y}, {y, h - 1 - x}};
            out.setPixel(x, y, source.pixel(from[quarters]));
        }
    return out;
}

// Catches the formula applied to quarter turns (640 x 480 by 90 gave 481 x 640 with a black
// line and a lost column), an angle given as -90 or 450 not recognised, and pixels misplaced.
TEST(Rotate, QuarterTurnsMoveEveryPixelToItsTurnedPlace)
{
    const struct {
        int angle, w, h, quarters;
    } rows[] = {{90, 640, 480, 1}, {180, 640, 480, 2}, {270, 640, 480, 3}, {90, 5, 3, 1},
                {180, 5, 3, 2},    {270, 5, 3, 3},     {-90, 5, 3, 3},     {450, 6, 4, 1},
                {-180, 7, 2, 2},   {-270, 1, 4, 1},    {360, 5, 3, 0},     {-720, 5, 4, 0}};
    for (const auto &row : rows) {
        const QImage source = Pattern(row.w, row.h);
        const QImage result = Rotate(source, row.angle);
        EXPECT_EQ(result, referenceQuarterTurns(source, row.quarters))
            << row.angle << " on " << row.w << "x" << row.h << " gives " << result.width() << "x"
            << result.height();
    }
}

// Four flat quarters: a point well inside one keeps its colour through bilinear sampling.
QImage quarters(int w, int h)
{
    QImage picture(w, h, kPictureFormat);
    const QRgb colours[] = {qRgb(200, 0, 0), qRgb(0, 200, 0), qRgb(0, 0, 200), qRgb(200, 200, 0)};
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            picture.setPixel(x, y, colours[(y < h / 2 ? 0 : 2) + (x < w / 2 ? 0 : 1)]);
    return picture;
}

QRgb offCentre(const QImage &picture, int dx, int dy)
{
    return picture.pixel(int(Round(picture.width() / 2.0L)) + dx,
                         int(Round(picture.height() / 2.0L)) + dy);
}

// The exact turn must go the way the formula goes one degree either side of it. Catches a turn
// the wrong way round (90 swapped with 270) and a mirror taken for a turn.
TEST(Rotate, QuarterTurnsTurnTheWayTheNeighbouringAnglesDo)
{
    const QImage source = quarters(64, 48);
    for (int angle : {90, 180, 270}) {
        const QImage exact = Rotate(source, angle);
        const int dx = exact.width() / 4, dy = exact.height() / 4;
        for (int near : {angle - 1, angle + 1}) {
            const QImage sampled = Rotate(source, near);
            for (const QPoint at :
                 {QPoint(-dx, -dy), QPoint(dx, -dy), QPoint(-dx, dy), QPoint(dx, dy)})
                EXPECT_EQ(offCentre(exact, at.x(), at.y()), offCentre(sampled, at.x(), at.y()))
                    << angle << " against " << near << " at " << at.x() << "," << at.y();
        }
    }
}

TEST(Rotate, OnePixelKeepsItsColour)
{
    QImage dot(1, 1, kPictureFormat);
    dot.setPixel(0, 0, qRgb(200, 17, 99));
    for (int angle : {0, 30, 45, 90, 181}) {
        const QImage result = Rotate(dot, angle);
        int coloured = 0;
        for (int y = 0; y < result.height(); ++y)
            for (int x = 0; x < result.width(); ++x) {
                const QRgb p = result.pixel(x, y);
                ASSERT_TRUE(p == qRgb(200, 17, 99) || p == qRgb(0, 0, 0)) << angle;
                coloured += p != qRgb(0, 0, 0);
            }
        EXPECT_GE(coloured, 1) << angle;
    }
}

TEST(Rotate, AnEmptyPictureIsRefused)
{
    EXPECT_THROW(Rotate(QImage(), 0), Failure);
    EXPECT_THROW(Rotate(QImage(), 30), Failure);
}

} // namespace
