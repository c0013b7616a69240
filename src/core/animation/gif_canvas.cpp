// SPDX-License-Identifier: GPL-3.0-or-later
// The GIF player's canvas between frames.
#include "core/animation/gif_canvas.h"

#include <algorithm>
#include <new>

namespace {

// A pixel at least this opaque is drawn; one less opaque is transparent. GIF has no partial
// transparency, and half-way is where the error of either choice is smallest.
constexpr int kOpaqueFrom = 128;

// The bounding rectangle of the pixels where differs(x, y) holds, rows scanned from both ends so
// that a frame changed in a band costs little more than the band.
template <typename Differs> QRect boundingRect(QSize size, Differs differs)
{
    const int w = size.width(), h = size.height();
    int top = 0;
    auto rowDiffers = [&](int y, int &first, int &last) {
        first = -1;
        for (int x = 0; x < w; ++x) {
            if (differs(x, y)) {
                if (first < 0)
                    first = x;
                last = x;
            }
        }
        return first >= 0;
    };
    int left = w, right = -1, first = 0, last = 0;
    while (top < h && !rowDiffers(top, first, last))
        ++top;
    if (top == h)
        return {};
    left = first;
    right = last;
    int bottom = h - 1;
    while (!rowDiffers(bottom, first, last))
        --bottom;
    left = std::min(left, first);
    right = std::max(right, last);
    for (int y = top + 1; y < bottom; ++y) {
        // Only the columns outside the rectangle so far can widen it.
        for (int x = 0; x < left; ++x) {
            if (differs(x, y)) {
                left = x;
                break;
            }
        }
        for (int x = w - 1; x > right; --x) {
            if (differs(x, y)) {
                right = x;
                break;
            }
        }
    }
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

} // namespace

GifCanvas EmptyGifCanvas(QSize size)
{
    QImage empty(size, QImage::Format_ARGB32);
    if (empty.isNull())
        throw std::bad_alloc();
    empty.fill(0);
    return {empty, empty};
}

QImage BinaryAlpha(const QImage &frame, bool &transparent)
{
    QImage argb = frame.convertToFormat(QImage::Format_ARGB32);
    if (argb.isNull())
        throw std::bad_alloc();
    transparent = false;
    if (!frame.hasAlphaChannel())
        return argb;
    for (int y = 0; y < argb.height(); ++y) {
        auto *p = reinterpret_cast<QRgb *>(argb.scanLine(y));
        for (int x = 0; x < argb.width(); ++x) {
            if (qAlpha(p[x]) < kOpaqueFrom) {
                p[x] = 0;
                transparent = true;
            } else {
                p[x] |= 0xff000000u;
            }
        }
    }
    return argb;
}

QRect ChangedRect(const GifCanvas &canvas, const QImage &frame, int tolerance, bool exact)
{
    return boundingRect(frame.size(), [&](int x, int y) {
        return !Keeps(GifRow(canvas.shown, y)[x], GifRow(canvas.source, y)[x], GifRow(frame, y)[x],
                      tolerance, exact);
    });
}

QRect ClearedRect(const QImage &frame, const QImage &next)
{
    return boundingRect(frame.size(), [&](int x, int y) {
        return qAlpha(GifRow(frame, y)[x]) != 0 && qAlpha(GifRow(next, y)[x]) == 0;
    });
}

void ClearOnCanvas(GifCanvas &canvas, const QRect &rect)
{
    for (QImage *image : {&canvas.shown, &canvas.source}) {
        for (int y = rect.top(); y <= rect.bottom(); ++y) {
            auto *p = reinterpret_cast<QRgb *>(image->scanLine(y));
            std::fill(p + rect.left(), p + rect.right() + 1, QRgb(0));
        }
    }
}
