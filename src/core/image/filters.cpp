// SPDX-License-Identifier: GPL-3.0-or-later
// The same-size edits: blur and sharpen, contrast, gamma and the automatic level stretch.
#include "core/image/filters.h"
#include "core/image/parallel.h"
#include "core/image/picture.h"

#include <array>
#include <climits>
#include <cmath>
#include <cstring>
#include <mutex>
#include <vector>

namespace {

// One output byte per input byte value: the point operations depend on nothing but the value.
using ByteTable = std::array<uint8_t, 256>;

// Computes every row of the picture into a new 24-bit one, the rows split over the cores.
// computeRow reads only src24 and writes only its own row of the result, so the bands cannot see
// each other's output and the result is the same as one pass.
template <typename ComputeRow>
QImage computeRows(const QImage &source, long long workPerPixel, ComputeRow computeRow)
{
    const QImage src24 = To24Bit(source);
    QImage result(src24.size(), kPictureFormat);
    if (src24.isNull())
        return result;
    // Rows are addressed from one pointer taken here: scanLine() on the shared result would
    // update its detach counter from every worker at once.
    uchar *bits = result.bits();
    const qsizetype stride = result.bytesPerLine();
    const int lastX = src24.width() - 1;
    ParallelRows(src24.height(), src24.width() * workPerPixel, [&](int first, int last) {
        for (int y = first; y < last; ++y)
            computeRow(src24, y, 0, lastX, bits + y * stride);
    });
    return result;
}

// The channel value of every possible kernel sum, ClampByte(sum / kernelSum as a real). Looked up
// rather than computed: the clip then costs no branch, and on a noisy picture the sign of a
// sharpen sum is a coin toss.
class SumBytes {
  public:
    SumBytes(int minSum, int maxSum, int kernelSum) : m_minSum(minSum), m_bytes(maxSum - minSum + 1)
    {
        for (int sum = minSum; sum <= maxSum; ++sum)
            m_bytes[sum - minSum] = ClampByte(double(sum) / double(kernelSum));
    }
    uint8_t operator()(int sum) const { return m_bytes[sum - m_minSum]; }

  private:
    int m_minSum;
    std::vector<uint8_t> m_bytes;
};

// The three source rows around y; a row beyond the picture is replaced by row y itself.
struct RowTriple {
    const uchar *above;
    const uchar *centre;
    const uchar *below;
};

RowTriple rowsAround(const QImage &src24, int y)
{
    return {src24.constScanLine(y > 0 ? y - 1 : y), src24.constScanLine(y),
            src24.constScanLine(y < src24.height() - 1 ? y + 1 : y)};
}

// Blur, kernel 1 1 1 / 1 2 1 / 1 1 1 (sum 10), for byte i whose left and right neighbours in the
// row are bytes il and ir: the three column sums around it plus the centre once more. The column
// sums of the row are formed once, so each byte adds four values instead of nine.
class BlurSum {
  public:
    static constexpr int kMin = 0, kMax = 10 * 255, kKernelSum = 10;
    BlurSum(const RowTriple &rows, int firstByte, int endByte) : m_centre(rows.centre)
    {
        thread_local std::vector<int> columns; // kept between rows: no allocation per row
        if (columns.size() < size_t(endByte))
            columns.resize(size_t(endByte));
        for (int i = firstByte; i < endByte; ++i)
            columns[i] = rows.above[i] + rows.centre[i] + rows.below[i];
        m_columns = columns.data();
    }
    int operator()(int il, int i, int ir) const
    {
        return m_columns[il] + m_columns[i] + m_columns[ir] + m_centre[i];
    }

  private:
    const uchar *m_centre;
    const int *m_columns;
};

// Sharpen, kernel 0 -1 0 / -1 10 -1 / 0 -1 0 (sum 6); the diagonal weights are 0.
class SharpenSum {
  public:
    static constexpr int kMin = -4 * 255, kMax = 10 * 255, kKernelSum = 6;
    SharpenSum(const RowTriple &rows, int, int) : m_rows(rows) {}
    int operator()(int il, int i, int ir) const
    {
        return 10 * m_rows.centre[i] - m_rows.above[i] - m_rows.below[i] - m_rows.centre[il] -
               m_rows.centre[ir];
    }

  private:
    RowTriple m_rows;
};

// Pixels x0..x1 of row y through the kernel. A missing neighbour row or column is replaced by
// the pixel's own, so only the first and last columns need a test; the loop between them has none.
template <typename KernelSum> void filterRow(const QImage &src24, int y, int x0, int x1, uchar *out)
{
    static const SumBytes kToByte(KernelSum::kMin, KernelSum::kMax, KernelSum::kKernelSum);
    const int lastX = src24.width() - 1;
    // The bytes the row reads: its own and one pixel either side, within the picture.
    const KernelSum sum(rowsAround(src24, y), 3 * std::max(x0 - 1, 0),
                        3 * std::min(x1 + 1, lastX) + 3);
    out -= 3 * x0; // from here on indexed like the source row
    const int innerEnd = 3 * std::min(x1, lastX - 1) + 3;
    for (int i = 3 * std::max(x0, 1); i < innerEnd; ++i)
        out[i] = kToByte(sum(i - 3, i, i + 3));
    for (int x : {0, lastX}) {
        if (x < x0 || x > x1)
            continue; // (a picture one pixel wide writes its only column twice, alike)
        for (int i = 3 * x; i < 3 * x + 3; ++i)
            out[i] = kToByte(sum(x > 0 ? i - 3 : i, i, x < lastX ? i + 3 : i));
    }
}

// Maps every byte of the picture through table. Two bytes per lookup: a table of every byte pair
// (128 KiB) halves the lookups.
QImage mapBytes(const QImage &source, const ByteTable &table)
{
    std::vector<uint16_t> pairs(65536);
    for (int pair = 0; pair < 65536; ++pair) {
        const uchar bytes[2] = {table[pair & 0xff], table[pair >> 8]};
        std::memcpy(&pairs[size_t(pair)], bytes, 2); // in memory order, whatever the endianness
    }
    return computeRows(source, 1, [&](const QImage &src24, int y, int x0, int x1, uchar *out) {
        const uchar *in = src24.constScanLine(y) + 3 * x0;
        const int bytes = 3 * (x1 - x0 + 1);
        int i = 0;
        for (; i + 2 <= bytes; i += 2) {
            uint16_t two;
            std::memcpy(&two, in + i, 2);
            std::memcpy(out + i, &pairs[two], 2);
        }
        if (i < bytes)
            out[i] = table[in[i]];
    });
}

// base ^ n for a whole n >= 0 by repeated squaring and multiplying, in extended precision: exact
// for n = 1 and n = 2, and quick however large a whole exponent a tiny gamma gives.
long double wholePower(long double base, long long n)
{
    long double result = 1.0L;
    for (; n > 0; n >>= 1, base *= base)
        if (n & 1)
            result *= base;
    return result;
}

// The general real power for an exponent of 0 or more (1 / gamma, and an infinite gamma gives 0):
// x^0 is 1, 0 to a positive power is 0, a whole exponent multiplies, any other goes through pow.
long double realPower(long double base, long double exponent)
{
    if (exponent == 0.0L)
        return 1.0L;
    if (base == 0.0L)
        return 0.0L;
    if (exponent == std::trunc(exponent) && exponent <= LLONG_MAX / 2)
        return wholePower(base, static_cast<long long>(exponent));
    return std::pow(base, exponent);
}

// Gamma curve of one channel, for a gamma above 0: 255 * (v / 255) ^ (1 / gamma), with
// v / 255 held as a double and the curve value handed to ClampByte as a double. With gamma 1
// that double is v itself, so the picture comes back exactly.
ByteTable gammaTable(double gamma)
{
    const long double exponent = 1.0L / gamma;
    ByteTable table;
    for (int v = 0; v < 256; ++v) {
        const double b = v / 255.0;
        table[v] = ClampByte(double(255.0L * realPower(b, exponent)));
    }
    return table;
}

} // namespace

QImage Filter3x3(const QImage &picture, FilterKind kind)
{
    // Both kernels are symmetric, so laying them over the neighbourhood either way round is the
    // same; a sum costs about nine reads per pixel.
    if (kind == FilterKind::Blur)
        return computeRows(picture, 9, filterRow<BlurSum>);
    return computeRows(picture, 9, filterRow<SharpenSum>);
}

QImage Contrast(const QImage &picture, double factor)
{
    ByteTable table;
    for (int v = 0; v < 256; ++v) // extended precision, handed over as a double, truncated
        table[v] = ClampByte(double(v + (v - 127.5L) * factor));
    return mapBytes(picture, table);
}

QImage Gamma(const QImage &picture, double gamma)
{
    // Written as "not above 0" so that a NaN gamma also leaves the picture alone.
    if (!(gamma > 0.0))
        return To24Bit(picture);
    return mapBytes(picture, gammaTable(gamma));
}

namespace {

// The darkest and brightest luminance of the picture, L = Trunc((blue + green + red) / 3); the
// integer division truncates exactly as the division in extended precision would, since a third
// of a whole number is never within rounding distance of the next one. False for no pixels.
bool luminanceRange(const QImage &picture24, int &low, int &high)
{
    std::array<long long, 256> histogram{};
    std::mutex merging;
    const int width = picture24.width();
    ParallelRows(picture24.height(), width, [&](int first, int last) {
        std::array<long long, 256> band{};
        for (int y = first; y < last; ++y) {
            const uchar *p = picture24.constScanLine(y);
            for (int x = 0; x < width; ++x, p += 3)
                ++band[(p[0] + p[1] + p[2]) / 3];
        }
        const std::lock_guard<std::mutex> lock(merging);
        for (int l = 0; l < 256; ++l)
            histogram[l] += band[l];
    });
    low = 0;
    while (low < 256 && histogram[low] == 0)
        ++low;
    if (low == 256)
        return false;
    high = 255;
    while (histogram[high] == 0)
        --high;
    return true;
}

} // namespace

QImage LevelCorrect(const QImage &source)
{
    QImage picture = To24Bit(source);
    int low = 0;
    int high = 0;
    // One luminance (a picture of one colour, say) has no range to stretch: the factor would be
    // 255 / 0. The picture is left as it is rather than filled with garbage.
    if (!luminanceRange(picture, low, high) || high == low)
        return picture;
    // Rounded to a double before use: the table's bytes depend on that rounding.
    const double factor = double(255.0L / (high - low));
    ByteTable table;
    for (int c = 0; c < 256;
         ++c) // (c - low) * factor in extended precision, handed over as a double
        table[c] = ClampByte(double((c - low) * static_cast<long double>(factor)));

    uchar *bits = picture.bits(); // detach once, before the workers share the picture
    const qsizetype stride = picture.bytesPerLine();
    const int rowBytes = 3 * picture.width();
    ParallelRows(picture.height(), picture.width(), [&](int first, int last) {
        for (int y = first; y < last; ++y) {
            uchar *p = bits + y * stride;
            for (int i = 0; i < rowBytes; ++i)
                p[i] = table[p[i]];
        }
    });
    return picture;
}
