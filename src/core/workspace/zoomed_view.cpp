// SPDX-License-Identifier: GPL-3.0-or-later
// The canvas view at zoom: sampled from 100 % up, box-averaged below.
#include "core/workspace/zoomed_view.h"

#include "core/image/alpha.h"
#include "core/image/parallel.h"
#include "core/image/picture.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// Reduced tiles are this many view pixels each way: small enough that a drag's repaint of the
// frame's lines computes little beyond them, large enough that a screenful is a few dozen.
constexpr int kTileSize = 256;
// At most this many tiles are kept (about 75 MB): scrolling over a huge picture at 67 % would
// otherwise keep nearly half its pixels again. When full, the tiles start afresh.
constexpr qsizetype kMostTiles = 400;

// The pixels of picture rectangle from in the view's format (ViewFormatOf), with where from's
// corner lies in it: the picture itself when it has that format, otherwise a converted copy of
// from alone.
struct Source {
    QImage image;
    QPoint origin;
    int channels = 3; // bytes per pixel
    // Picture row y, from picture column origin.x() on.
    const uchar *row(int y) const { return image.constScanLine(y - origin.y()); }
};

Source sourceOf(const QImage &work, const QRect &from)
{
    const QImage::Format format = ViewFormatOf(work);
    const int channels = format == kPictureFormat ? 3 : 4;
    if (work.format() == format)
        return {work, QPoint(0, 0), channels};
    return {work.copy(from).convertToFormat(format), from.topLeft(), channels};
}

QRect clippedToView(const QImage &work, Zoom zoom, const QRect &rect)
{
    return rect & QRect(QPoint(0, 0), ViewSize(work.size(), zoom));
}

quint64 tileKey(QPoint index)
{
    return (quint64(quint32(index.x())) << 32) | quint32(index.y());
}

} // namespace

QImage SampledViewPart(const QImage &work, Zoom zoom, const QRect &rect)
{
    const QRect r = clippedToView(work, zoom, rect);
    if (r.isEmpty())
        return {};
    const QRect from(QPoint(PictureAt(r.left(), zoom), PictureAt(r.top(), zoom)),
                     QPoint(PictureAt(r.right(), zoom), PictureAt(r.bottom(), zoom)));
    const Source source = sourceOf(work, from);
    const int n = source.channels;
    std::vector<int> offsets(size_t(r.width())); // each view column's picture pixel in a row
    for (int i = 0; i < r.width(); ++i)
        offsets[size_t(i)] = n * (PictureAt(r.left() + i, zoom) - source.origin.x());

    QImage out(r.size(), source.image.format());
    const size_t rowBytes = size_t(r.width()) * n;
    int previous = -1;
    for (int y = 0; y < r.height(); ++y) {
        uchar *to = out.scanLine(y);
        const int row = PictureAt(r.top() + y, zoom);
        if (row == previous) { // the next view row of the same picture row
            std::memcpy(to, out.constScanLine(y - 1), rowBytes);
            continue;
        }
        const uchar *line = source.row(row);
        if (zoom == Zoom{1, 1}) { // the part's own pixels, in one run
            std::memcpy(to, line + offsets[0], rowBytes);
        } else {
            for (int i = 0; i < r.width(); ++i)
                std::memcpy(to + n * i, line + offsets[size_t(i)], size_t(n));
        }
        previous = row;
    }
    return out;
}

namespace {

// Adds a row of bytes to a row of sums. The fixed inner count lets the compiler add 16 bytes at a
// time; this addition is most of a reduction's work, as it reads every picture byte once.
template <typename Sum> void addRow(Sum *__restrict sums, const uchar *__restrict row, size_t n)
{
    constexpr size_t kChunk = 16;
    size_t j = 0;
    for (; j + kChunk <= n; j += kChunk)
        for (size_t k = 0; k < kChunk; ++k)
            sums[j + k] += row[j + k];
    for (; j < n; ++j)
        sums[j] += row[j];
}

// The box averages of view rows [first, last) of a part; AveragedViewPart gives the meaning of
// its arguments. Sum holds a column of a box: 16 bits take up to 257 rows of 255.
template <typename Sum>
void reduceRows(const Source &source, Zoom zoom, const QRect &r, int pictureHeight,
                const std::vector<int> &bounds, uchar *outBits, qsizetype outStride, int first,
                int last)
{
    // Each view row first adds up its box's picture rows byte by byte, then each view pixel adds
    // up its box's columns.
    const int n = source.channels;
    const int left = bounds.front();
    const size_t rowBytes = size_t(bounds.back() - left) * n;
    std::vector<Sum> columns(rowBytes);
    for (int y = first; y < last; ++y) {
        const int y0 = PictureAt(r.top() + y, zoom);
        const int y1 = std::min(PictureAt(r.top() + y + 1, zoom), pictureHeight);
        std::fill(columns.begin(), columns.end(), Sum(0));
        for (int row = y0; row < y1; ++row)
            addRow(columns.data(), source.row(row) + n * left, rowBytes);
        uchar *to = outBits + y * outStride;
        for (int i = 0; i < r.width(); ++i) {
            uint32_t sum[4] = {0, 0, 0, 0};
            for (int x = bounds[size_t(i)]; x < bounds[size_t(i) + 1]; ++x)
                for (int c = 0; c < n; ++c)
                    sum[c] += columns[size_t(x - left) * n + size_t(c)];
            const uint32_t count =
                uint32_t(y1 - y0) * uint32_t(bounds[size_t(i) + 1] - bounds[size_t(i)]);
            // The mean, halves up. Premultiplied channels average to a premultiplied pixel: each
            // colour stays at most its alpha.
            for (int c = 0; c < n; ++c)
                to[n * i + c] = uchar((sum[c] + count / 2) / count);
        }
    }
}

} // namespace

QImage::Format ViewFormatOf(const QImage &work)
{
    return HasAlpha(work) ? QImage::Format_ARGB32_Premultiplied : kPictureFormat;
}

QImage AveragedViewPart(const QImage &work, Zoom zoom, const QRect &rect)
{
    const QRect r = clippedToView(work, zoom, rect);
    if (r.isEmpty())
        return {};
    // Box bounds: view column i covers picture columns [bounds[i], bounds[i + 1]). The last box
    // of the view may reach past the picture; it is cut at the edge.
    std::vector<int> bounds(size_t(r.width()) + 1);
    for (int i = 0; i <= r.width(); ++i)
        bounds[size_t(i)] = std::min(PictureAt(r.left() + i, zoom), work.width());
    const int top = PictureAt(r.top(), zoom);
    const int bottom = std::min(PictureAt(r.bottom() + 1, zoom), work.height());
    const QRect from(bounds.front(), top, bounds.back() - bounds.front(), bottom - top);
    const Source source = sourceOf(work, from);
    for (int &bound : bounds) // from here on counted from the source's first column
        bound -= source.origin.x();

    QImage out(r.size(), source.image.format());
    uchar *const outBits = out.bits();
    const qsizetype outStride = out.bytesPerLine();
    // A box is at most ceil(den / num) rows high.
    const bool narrowSums = int64_t(zoom.den) <= 257 * int64_t(zoom.num);
    const auto rows = [&](int first, int last) {
        if (narrowSums)
            reduceRows<uint16_t>(source, zoom, r, work.height(), bounds, outBits, outStride, first,
                                 last);
        else
            reduceRows<uint32_t>(source, zoom, r, work.height(), bounds, outBits, outStride, first,
                                 last);
    };
    ParallelRows(r.height(), (long long)from.width() * from.height() / std::max(1, r.height()),
                 rows);
    return out;
}

void ZoomedView::invalidate()
{
    m_sourceKey = 0;
    m_tiles.clear();
}

const QImage &ZoomedView::tile(const QImage &work, Zoom zoom, QPoint index)
{
    const quint64 key = tileKey(index);
    auto found = m_tiles.find(key);
    if (found == m_tiles.end() && m_tiles.size() >= kMostTiles) {
        m_tiles.clear();
        found = m_tiles.end();
    }
    if (found == m_tiles.end())
        found = m_tiles.insert(
            key,
            AveragedViewPart(work, zoom, QRect(index * kTileSize, QSize(kTileSize, kTileSize))));
    return *found;
}

QImage ZoomedView::part(const QImage &work, Zoom zoom, const QRect &rect)
{
    const QRect r = clippedToView(work, zoom, rect);
    if (r.isEmpty())
        return {};
    if (!zoom.reduces())
        return SampledViewPart(work, zoom, r);
    if (m_sourceKey != work.cacheKey() || !(m_zoom == zoom)) {
        m_tiles.clear();
        m_sourceKey = work.cacheKey();
        m_zoom = zoom;
    }
    QImage out(r.size(), ViewFormatOf(work));
    const int n = out.depth() / 8;
    for (int ty = r.top() / kTileSize; ty <= r.bottom() / kTileSize; ++ty)
        for (int tx = r.left() / kTileSize; tx <= r.right() / kTileSize; ++tx) {
            const QImage &t = tile(work, zoom, {tx, ty});
            const QRect placed(QPoint(tx, ty) * kTileSize, t.size());
            const QRect common = r & placed;
            for (int row = common.top(); row <= common.bottom(); ++row)
                std::memcpy(out.scanLine(row - r.top()) + n * (common.left() - r.left()),
                            t.constScanLine(row - placed.top()) +
                                n * (common.left() - placed.left()),
                            size_t(common.width()) * n);
        }
    return out;
}
