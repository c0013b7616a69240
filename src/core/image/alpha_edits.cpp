// SPDX-License-Identifier: GPL-3.0-or-later
// Edits of pictures with transparency.
#include "core/image/alpha_edits.h"

#include "core/image/alpha.h"
#include "core/image/picture.h"

#include <algorithm>
#include <new>

namespace {

// A neighbourhood edit of a picture with alpha runs twice: on the colours weighted by alpha and
// on the alpha itself. The edits mix pixels with weights that add up to one and fill new area
// (a rotation's corners) with black, which here is no colour and no opacity: a filled corner
// comes out transparent. Afterwards the colour is divided by the alpha again.
struct Split {
    QImage weighted; // c * a / 255 for each colour channel
    QImage opacity;  // a in all three channels
};

Split split(const QImage &argb)
{
    Split parts{QImage(argb.size(), kPictureFormat), QImage(argb.size(), kPictureFormat)};
    if (parts.weighted.isNull() || parts.opacity.isNull())
        throw std::bad_alloc();
    for (int y = 0; y < argb.height(); ++y) {
        const auto *from = reinterpret_cast<const QRgb *>(argb.constScanLine(y));
        uchar *weighted = parts.weighted.scanLine(y);
        uchar *opacity = parts.opacity.scanLine(y);
        for (int x = 0; x < argb.width(); ++x) {
            const QRgb p = from[x];
            const int a = qAlpha(p);
            // Round(c * a / 255): 255 is odd, so the quotient is never a half.
            weighted[3 * x] = uchar((qBlue(p) * a + 127) / 255);
            weighted[3 * x + 1] = uchar((qGreen(p) * a + 127) / 255);
            weighted[3 * x + 2] = uchar((qRed(p) * a + 127) / 255);
            opacity[3 * x] = opacity[3 * x + 1] = opacity[3 * x + 2] = uchar(a);
        }
    }
    return parts;
}

QImage joined(const QImage &weighted, const QImage &opacity)
{
    QImage out(weighted.size(), QImage::Format_ARGB32);
    if (out.isNull())
        throw std::bad_alloc();
    const auto unweighted = [](int c, int a) {
        // Round(c * 255 / a), at most 255: a sharpened colour may overshoot its alpha.
        return std::min(255, (c * 255 + a / 2) / a);
    };
    for (int y = 0; y < out.height(); ++y) {
        const uchar *w = weighted.constScanLine(y);
        const uchar *o = opacity.constScanLine(y);
        auto *to = reinterpret_cast<QRgb *>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            const int a = o[3 * x + 1];
            to[x] = a == 0 ? qRgba(0, 0, 0, 0)
                           : qRgba(unweighted(w[3 * x + 2], a), unweighted(w[3 * x + 1], a),
                                   unweighted(w[3 * x], a), a);
        }
    }
    return out;
}

// The colours of argb with its alpha left out, and argb's alpha put on colours.
QImage colours(const QImage &argb)
{
    QImage out(argb.size(), kPictureFormat);
    if (out.isNull())
        throw std::bad_alloc();
    for (int y = 0; y < argb.height(); ++y) {
        const auto *from = reinterpret_cast<const QRgb *>(argb.constScanLine(y));
        uchar *to = out.scanLine(y);
        for (int x = 0; x < argb.width(); ++x) {
            to[3 * x] = uchar(qBlue(from[x]));
            to[3 * x + 1] = uchar(qGreen(from[x]));
            to[3 * x + 2] = uchar(qRed(from[x]));
        }
    }
    return out;
}

QImage withAlphaOf(const QImage &colours, const QImage &argb)
{
    QImage out(colours.size(), QImage::Format_ARGB32);
    if (out.isNull())
        throw std::bad_alloc();
    for (int y = 0; y < out.height(); ++y) {
        const uchar *c = colours.constScanLine(y);
        const auto *alpha = reinterpret_cast<const QRgb *>(argb.constScanLine(y));
        auto *to = reinterpret_cast<QRgb *>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x)
            to[x] = qRgba(c[3 * x + 2], c[3 * x + 1], c[3 * x], qAlpha(alpha[x]));
    }
    return out;
}

} // namespace

QImage EditKeepingAlpha(const QImage &picture, EditReach reach,
                        const std::function<QImage(const QImage &)> &edit)
{
    if (!HasAlpha(picture))
        return edit(picture);
    const QImage argb = picture.convertToFormat(QImage::Format_ARGB32);
    if (argb.isNull())
        throw std::bad_alloc();
    if (reach == EditReach::Pixelwise)
        return withAlphaOf(edit(colours(argb)), argb);
    const Split parts = split(argb);
    return joined(edit(parts.weighted), edit(parts.opacity));
}
