// SPDX-License-Identifier: GPL-3.0-or-later
// Rotate: turning a picture about its centre, sampled bilinearly; quarter turns are moved pixel
// by pixel.
#include "core/image/rotate.h"
#include "core/image/parallel.h"
#include "core/image/picture.h"
#include "core/image/rounding.h"
#include "core/image/sampling.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// pi/180 as an 80-bit constant: the angle is turned into radians in extended precision.
constexpr long double kRadiansPerDegree = 0.017453292519943295769L;

// Everything about one rotation that does not depend on the pixel.
struct Turn {
    double c = 1.0; // cosine and sine, computed in extended precision and stored as doubles
    double s = 0.0;
    int width = 0; // the source
    int height = 0;
    long long newWidth = 0;
    long long newHeight = 0;
    long long cx = 0, cy = 0;   // the source's centre
    long long ncx = 0, ncy = 0; // the result's centre
};

Turn turnFor(int32_t angle, int width, int height)
{
    Turn t;
    const long double a = angle * kRadiansPerDegree;
    t.c = double(std::cos(a));
    t.s = double(std::sin(a));
    t.width = width;
    t.height = height;
    // Extended precision: at multiples of 90 degrees the tiny leftover of the cosine or sine
    // decides whether a sum such as 480.5 lies on the half or just above it (640 x 480 by 90
    // degrees becomes 481 x 640).
    const long double w = width, h = height, c = t.c, s = t.s;
    t.newWidth = Round(std::fabs(w * c) + std::fabs(h * s) + 0.5L);
    t.newHeight = Round(std::fabs(w * s) + std::fabs(h * c) + 0.5L);
    // Centres by Round, halves to even: a width of 5 has its centre at 2, a width of 7 at 4.
    t.cx = Round(w / 2);
    t.cy = Round(h / 2);
    t.ncx = Round((long double)t.newWidth / 2);
    t.ncy = Round((long double)t.newHeight / 2);
    return t;
}

// One result row. dxc[x] and dxs[x] hold (x - ncx) * c and (x - ncx) * s in extended precision;
// the source position is formed in extended precision and then stored as a double, and x0, y0
// are its truncations toward zero, so a position between -1 and 0 still samples pixel 0 with a
// negative weight.
void rotateRow(const QImage &src, const Turn &t, int y, const std::vector<long double> &dxc,
               const std::vector<long double> &dxs, uint8_t *out)
{
    const long double dy = y - t.ncy;
    const long double dys = dy * t.s;
    const long double dyc = dy * t.c;
    const uint8_t *const srcBits = src.constBits();
    const qsizetype srcStride = src.bytesPerLine();
    for (size_t x = 0; x < dxc.size(); ++x, out += 3) {
        const long double u = dxc[x] - dys;
        const long double v = dxs[x] + dyc;
        const double px = double(u + t.cx);
        const double py = double(v + t.cy);
        // Trunc(px) lies in 0 .. W - 1 exactly when px lies in (-1, W); NaN lies nowhere.
        if (!(px > -1.0 && px < t.width && py > -1.0 && py < t.height)) {
            out[0] = out[1] = out[2] = 0;
            continue;
        }
        const int x0 = int(px); // Trunc
        const int y0 = int(py);
        const int x1 = std::min(x0 + 1, t.width - 1); // the edge pixel is repeated
        const int y1 = std::min(y0 + 1, t.height - 1);
        const uint8_t *row0 = srcBits + y0 * srcStride;
        const uint8_t *row1 = srcBits + y1 * srcStride;
        BilinearPixel(px - x0, py - y0, row0 + 3 * x0, row0 + 3 * x1, row1 + 3 * x0, row1 + 3 * x1,
                      out);
    }
}

// Where a quarter turn reads its pixels: destination pixel (x, y) is the source pixel at byte
// origin + y * rowStep + x * columnStep.
struct QuarterTurnWalk {
    qsizetype origin = 0;
    qsizetype rowStep = 0;
    qsizetype columnStep = 0;
};

// quarters counter-clockwise on screen, 0 .. 3, on a W x H source with rows of stride bytes:
// one quarter puts the source's right column on the top row (the direction the formula turns),
// two put the picture upside down, three put the left column on the top row.
QuarterTurnWalk quarterTurnWalk(int quarters, int width, int height, qsizetype stride)
{
    const qsizetype lastColumn = 3 * qsizetype(width - 1);
    const qsizetype lastRow = stride * (height - 1);
    switch (quarters) {
    case 1: return {lastColumn, -3, stride};
    case 2: return {lastRow + lastColumn, -stride, -3};
    case 3: return {lastRow, 3, -stride};
    default: return {0, stride, 3};
    }
}

// A whole number of quarter turns moves every pixel to its turned place: W x H becomes H x W
// (W x H after a half turn), nothing is sampled and nothing is black.
QImage turnByQuarters(int32_t angle, const QImage &source)
{
    const int quarters = (angle / 90 % 4 + 4) % 4; // -90 turns as 270 does, 450 as 90
    const bool across = quarters % 2 == 1;
    const QImage src = To24Bit(source);
    const int width = across ? src.height() : src.width();
    const int height = across ? src.width() : src.height();
    QImage result = NewResultPicture(width, height);
    const QuarterTurnWalk walk =
        quarterTurnWalk(quarters, src.width(), src.height(), src.bytesPerLine());
    const uint8_t *const from = src.constBits();
    uint8_t *const bits = result.bits();
    const qsizetype stride = result.bytesPerLine();
    ParallelRows(height, width, [&](int first, int last) {
        for (int y = first; y < last; ++y) {
            // An offset rather than a pointer: after a row's last pixel it may point outside.
            qsizetype at = walk.origin + y * walk.rowStep;
            uint8_t *out = bits + y * stride;
            for (int x = 0; x < width; ++x, at += walk.columnStep, out += 3) {
                out[0] = from[at];
                out[1] = from[at + 1];
                out[2] = from[at + 2];
            }
        }
    });
    return result;
}

} // namespace

QImage Rotate(const QImage &source, int32_t angle)
{
    // A turn by a multiple of 90 degrees has an exact answer; the formula below, with cosine and
    // sine a hair away from 0 and 1, would add a black line and shift the picture by a pixel.
    if (angle != 0 && angle % 90 == 0)
        return turnByQuarters(angle, source);
    const Turn t = turnFor(angle, source.width(), source.height());
    QImage result = NewResultPicture(t.newWidth, t.newHeight);
    const QImage src = To24Bit(source);

    // The column terms of the source position, once per call rather than once per pixel.
    std::vector<long double> dxc(size_t(t.newWidth));
    std::vector<long double> dxs(size_t(t.newWidth));
    for (long long x = 0; x < t.newWidth; ++x) {
        const long double dx = x - t.ncx;
        dxc[size_t(x)] = dx * t.c;
        dxs[size_t(x)] = dx * t.s;
    }
    // Row addresses from one bits() call: scanLine() on the result would count a detach from
    // every thread at once.
    uint8_t *const bits = result.bits();
    const qsizetype stride = result.bytesPerLine();
    constexpr long long kWorkPerPixel = 8; // a bilinear pixel costs several plain pixel steps
    ParallelRows(int(t.newHeight), t.newWidth * kWorkPerPixel, [&](int first, int last) {
        for (int y = first; y < last; ++y)
            rotateRow(src, t, y, dxc, dxs, bits + y * stride);
    });
    return result;
}
