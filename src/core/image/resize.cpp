// SPDX-License-Identifier: GPL-3.0-or-later
// SizeWithLongerSide, ResizeAverage and Enlarge: the target size of a shrink, box averaging, and
// enlarging.
#include "core/image/resize.h"
#include "core/image/parallel.h"
#include "core/image/picture.h"
#include "core/image/rounding.h"
#include "core/image/sampling.h"

#include <algorithm>
#include <vector>

namespace {

// A ratio of two sizes: divided in extended precision, then kept as a double.
double storedRatio(long long numerator, long long denominator)
{
    return double((long double)numerator / denominator);
}

// One destination pixel's box along one axis: source indices lo..hi, both inclusive.
struct Span {
    int lo;
    int hi;
};

// The boxes of one axis, `source` pixels resized to `target`. lo = Round(i * ratio) and
// hi = Round(i * ratio + ratio - 1), the sums in extended precision, Round halving to even; hi is
// clipped to the source. Only a growing axis (ratio below 1) can leave a box empty; such a box
// becomes the one source pixel under the destination pixel's centre, Round((i + 0.5) * ratio -
// 0.5) clamped into the source, so an enlarged picture gets no black pixels.
std::vector<Span> boxSpans(int source, int target)
{
    const double ratio = storedRatio(source, target);
    std::vector<Span> spans(static_cast<size_t>(target));
    for (int i = 0; i < target; ++i) {
        const long double start = (long double)i * ratio;
        int64_t lo = Round(start);
        int64_t hi = std::min<int64_t>(Round(start + ratio - 1), source - 1);
        if (hi < lo) {
            lo = std::clamp<int64_t>(Round((i + 0.5L) * ratio - 0.5L), 0, source - 1);
            hi = lo;
        }
        spans[size_t(i)] = {int(lo), int(hi)};
    }
    return spans;
}

// One destination row of the box average. colSum receives, per source byte of the row, the sum
// over the box's rows; the sums are 64-bit so that no box is too large for them. The mean is
// Trunc(sum / count) taken in whole numbers: the quotient of two integers below 2^64 with a value
// below 256 is never within an extended ulp of a whole number it does not reach, so the integer
// division gives exactly what truncating the extended-precision quotient gives.
void averageRow(const QImage &src, Span rows, const std::vector<Span> &cols,
                std::vector<uint64_t> &colSum, uint8_t *out)
{
    std::fill(colSum.begin(), colSum.end(), 0);
    for (int j = rows.lo; j <= rows.hi; ++j) {
        const uint8_t *line = src.constScanLine(j);
        for (size_t k = 0; k < colSum.size(); ++k)
            colSum[k] += line[k];
    }
    const uint64_t rowCount = uint64_t(rows.hi - rows.lo + 1);
    for (const Span &box : cols) {
        uint64_t blue = 0, green = 0, red = 0;
        for (int i = box.lo; i <= box.hi; ++i) {
            blue += colSum[3 * size_t(i)];
            green += colSum[3 * size_t(i) + 1];
            red += colSum[3 * size_t(i) + 2];
        }
        const uint64_t count = rowCount * uint64_t(box.hi - box.lo + 1);
        *out++ = uint8_t(blue / count);
        *out++ = uint8_t(green / count);
        *out++ = uint8_t(red / count);
    }
}

// One axis of Enlarge: the two neighbours and the weight of the second, per destination pixel.
struct Tap {
    int i0;
    int i1;
    double f;
};

// The source position under each destination pixel's centre, (i + 0.5) * source / target - 0.5,
// clamped into the picture so that the edge pixels are repeated rather than blended with black.
std::vector<Tap> bilinearTaps(int source, int target)
{
    std::vector<Tap> taps(static_cast<size_t>(target));
    for (int i = 0; i < target; ++i) {
        const long double exact = (i + 0.5L) * source / target - 0.5L;
        const double pos = double(std::clamp<long double>(exact, 0, source - 1));
        const int i0 = int(pos); // Trunc; pos is never negative
        taps[size_t(i)] = {i0, std::min(i0 + 1, source - 1), pos - i0};
    }
    return taps;
}

// Addresses of the result's rows from one bits() call: scanLine() on the result from several
// threads at once would count a detach in each.
struct RowWriter {
    uint8_t *bits;
    qsizetype stride;
    uint8_t *row(int y) const { return bits + y * stride; }
};

} // namespace

QSize SizeWithLongerSide(QSize picture, int32_t longerSide)
{
    const int64_t w = picture.width(), h = picture.height();
    if (w < 1 || h < 1 || std::max(w, h) <= longerSide)
        return picture;
    // Both products stay below 2^62: every factor is a 32-bit int. Integer division truncates.
    if (w >= h)
        return QSize(longerSide, int(h * longerSide / w));
    return QSize(int(w * longerSide / h), longerSide);
}

QImage ResizeAverage(int32_t newWidth, int32_t newHeight, const QImage &source)
{
    QImage result = NewResultPicture(newWidth, newHeight);
    const QImage src = To24Bit(source);
    if (src.width() < 1 || src.height() < 1) { // no source pixel to take: every box counts 0
        result.fill(Qt::black);
        return result;
    }
    const std::vector<Span> cols = boxSpans(src.width(), newWidth);
    const std::vector<Span> rows = boxSpans(src.height(), newHeight);
    const RowWriter out{result.bits(), result.bytesPerLine()};
    const long long workPerRow =
        (long long)src.width() * std::max(1, src.height() / newHeight) + newWidth;
    ParallelRows(newHeight, workPerRow, [&](int first, int last) {
        std::vector<uint64_t> colSum(3 * size_t(src.width()));
        for (int y = first; y < last; ++y)
            averageRow(src, rows[size_t(y)], cols, colSum, out.row(y));
    });
    return result;
}

QImage Enlarge(const QImage &source, int32_t targetWidth)
{
    const int width = source.width();
    const int height = source.height();
    // The height keeps the proportion, Round halving to even, and is at least one row. A picture
    // without pixels gets height 0, which CheckResultSize refuses.
    int64_t newHeight = 0;
    if (width >= 1 && height >= 1 && targetWidth >= 1)
        newHeight = std::max<int64_t>(1, Round((long double)height * targetWidth / width));
    QImage result = NewResultPicture(targetWidth, newHeight);
    const QImage src = To24Bit(source);

    const std::vector<Tap> xs = bilinearTaps(width, targetWidth);
    const std::vector<Tap> ys = bilinearTaps(height, int(newHeight));
    const RowWriter out{result.bits(), result.bytesPerLine()};
    constexpr long long kWorkPerPixel = 6; // a bilinear pixel costs several plain pixel steps
    ParallelRows(int(newHeight), targetWidth * kWorkPerPixel, [&](int first, int last) {
        for (int y = first; y < last; ++y) {
            const Tap ty = ys[size_t(y)];
            const uint8_t *row0 = src.constScanLine(ty.i0);
            const uint8_t *row1 = src.constScanLine(ty.i1);
            uint8_t *o = out.row(y);
            for (const Tap &tx : xs) {
                BilinearPixel(tx.f, ty.f, row0 + 3 * tx.i0, row0 + 3 * tx.i1, row1 + 3 * tx.i0,
                              row1 + 3 * tx.i1, o);
                o += 3;
            }
        }
    });
    return result;
}
