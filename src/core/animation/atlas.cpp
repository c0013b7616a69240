// SPDX-License-Identifier: GPL-3.0-or-later
// Packed atlases: trimming, identical frames, the layout and the picture.
#include "core/animation/atlas.h"

#include "core/animation/rect_packing.h"
#include "core/base/files.h"
#include "core/base/io_error.h"
#include "core/image/picture.h"

#include <QHash>

#include <algorithm>
#include <cstring>
#include <new>
#include <unordered_map>

namespace {

size_t rowBytes(const QImage &picture, const QRect &part)
{
    return size_t(part.width()) * size_t(picture.depth() / 8);
}

const uchar *rowOf(const QImage &picture, const QRect &part, int y)
{
    return picture.constScanLine(part.y() + y) + size_t(part.x()) * size_t(picture.depth() / 8);
}

// A hash of the pixels of picture under part: equal pixels give equal hashes.
size_t pixelHash(const QImage &picture, const QRect &part)
{
    size_t hash = qHash(part.width()) ^ qHash(part.height());
    for (int y = 0; y < part.height(); ++y)
        hash = qHashBits(rowOf(picture, part, y), rowBytes(picture, part), hash);
    return hash;
}

// Whether the pixels of a (all of it) equal those of b under part, in a's format.
bool samePixels(const QImage &a, const QImage &b, const QRect &part)
{
    if (a.size() != part.size())
        return false;
    const QImage other = b.format() == a.format() ? b : b.copy(part).convertToFormat(a.format());
    const QRect at = b.format() == a.format() ? part : other.rect();
    for (int y = 0; y < a.height(); ++y)
        if (std::memcmp(a.constScanLine(y), rowOf(other, at, y), rowBytes(a, a.rect())) != 0)
            return false;
    return true;
}

// Looks each frame over: its kept part, and the earlier frame with the same pixels, if any.
std::vector<AtlasFrame> surveyFrames(int count, const AtlasFrameSource &frame,
                                     const AtlasOptions &options,
                                     const std::function<void(int k)> &looked)
{
    std::vector<AtlasFrame> frames;
    std::unordered_multimap<size_t, int> stored; // a stored frame's hash and number
    for (int k = 1; k <= count; ++k) {
        const QImage &picture = frame(k);
        const QRect kept = options.trim ? OpaqueBounds(picture) : picture.rect();
        frames.push_back({{}, kept, picture.size(), k - 1});
        if (options.keepDuplicates) {
            if (looked)
                looked(k);
            continue;
        }
        const size_t hash = pixelHash(picture, kept);
        const auto [first, last] = stored.equal_range(hash);
        if (first != last) {
            // The earlier frame is made again to compare: the run keeps one frame at a time.
            const QImage mine = picture.copy(kept);
            for (auto it = first; it != last && frames.back().storedAs == k - 1; ++it)
                if (samePixels(mine, frame(it->second + 1), frames[size_t(it->second)].kept))
                    frames.back().storedAs = it->second;
        }
        if (frames.back().storedAs == k - 1)
            stored.emplace(hash, k - 1);
        if (looked)
            looked(k);
    }
    return frames;
}

// Repeats the edge of the pixels at rect `extrude` pixels outward on every side.
void extrudeEdges(QImage &atlas, const QRect &rect, int extrude)
{
    if (extrude <= 0)
        return;
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        auto *row = reinterpret_cast<QRgb *>(atlas.scanLine(y));
        std::fill(row + rect.left() - extrude, row + rect.left(), row[rect.left()]);
        std::fill(row + rect.right() + 1, row + rect.right() + 1 + extrude, row[rect.right()]);
    }
    const size_t bytes = size_t(rect.width() + 2 * extrude) * 4;
    const size_t from = size_t(rect.left() - extrude) * 4;
    for (int i = 1; i <= extrude; ++i) {
        std::memcpy(atlas.scanLine(rect.top() - i) + from, atlas.constScanLine(rect.top()) + from,
                    bytes);
        std::memcpy(atlas.scanLine(rect.bottom() + i) + from,
                    atlas.constScanLine(rect.bottom()) + from, bytes);
    }
}

} // namespace

QRect OpaqueBounds(const QImage &frame)
{
    if (!frame.hasAlphaChannel())
        return frame.rect();
    const QImage pixels = frame.format() == QImage::Format_ARGB32
                              ? frame
                              : frame.convertToFormat(QImage::Format_ARGB32);
    int left = pixels.width(), right = -1, top = -1, bottom = -1;
    for (int y = 0; y < pixels.height(); ++y) {
        const auto *row = reinterpret_cast<const QRgb *>(pixels.constScanLine(y));
        int x = 0;
        while (x < pixels.width() && qAlpha(row[x]) == 0)
            ++x;
        if (x == pixels.width())
            continue;
        int last = pixels.width() - 1;
        while (qAlpha(row[last]) == 0)
            --last;
        left = std::min(left, x);
        right = std::max(right, last);
        top = top < 0 ? y : top;
        bottom = y;
    }
    if (right < 0)
        return QRect(0, 0, 1, 1).intersected(frame.rect());
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

AtlasLayout LayOutAtlas(int count, const AtlasFrameSource &frame, const AtlasOptions &options,
                        const std::function<void(int k)> &looked)
{
    AtlasLayout layout;
    layout.frames = surveyFrames(count, frame, options, looked);
    const int extrude = std::clamp(options.extrude, 0, kMaxAtlasSpacing);
    std::vector<QSize> sizes;
    std::vector<size_t> storedFrames;
    for (size_t i = 0; i < layout.frames.size(); ++i)
        if (layout.frames[i].storedAs == int(i)) {
            sizes.push_back(layout.frames[i].kept.size() + QSize(2 * extrude, 2 * extrude));
            storedFrames.push_back(i);
        }
    const PackingRules rules{std::clamp(options.padding, 0, kMaxAtlasSpacing),
                             std::clamp(options.border, 0, kMaxAtlasSpacing), options.powerOfTwo,
                             std::clamp(options.maxSize, 1, kMaxAtlasSize)};
    const Packing packing = PackRectangles(sizes, rules);
    // The atlas is as large as the frames together: the same limit as any picture.
    if (ExceedsPictureLimit(packing.size.width(), packing.size.height()))
        throw Failure(PictureTooLargeText(packing.size.width(), packing.size.height()));
    layout.size = packing.size;
    for (size_t i = 0; i < storedFrames.size(); ++i) {
        AtlasFrame &stored = layout.frames[storedFrames[i]];
        stored.rect = QRect(packing.places[i] + QPoint(extrude, extrude), stored.kept.size());
    }
    for (AtlasFrame &each : layout.frames)
        each.rect = layout.frames[size_t(each.storedAs)].rect;
    return layout;
}

QImage DrawAtlas(const AtlasLayout &layout, const AtlasFrameSource &frame,
                 const AtlasOptions &options, const std::function<void(int k)> &placed)
{
    QImage atlas(layout.size, QImage::Format_ARGB32);
    if (atlas.isNull())
        throw std::bad_alloc();
    atlas.fill(qRgba(0, 0, 0, 0));
    const int extrude = std::clamp(options.extrude, 0, kMaxAtlasSpacing);
    for (int k = 1; k <= int(layout.frames.size()); ++k) {
        const AtlasFrame &each = layout.frames[size_t(k - 1)];
        if (each.storedAs == k - 1) {
            const QImage pixels = frame(k).copy(each.kept).convertToFormat(QImage::Format_ARGB32);
            for (int y = 0; y < pixels.height(); ++y)
                std::memcpy(atlas.scanLine(each.rect.y() + y) + size_t(each.rect.x()) * 4,
                            pixels.constScanLine(y), size_t(pixels.width()) * 4);
            extrudeEdges(atlas, each.rect, extrude);
        }
        if (placed)
            placed(k);
    }
    return atlas;
}
