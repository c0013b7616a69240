// SPDX-License-Identifier: GPL-3.0-or-later
// Pictures with transparency over white, over the canvas's checkerboard, and cut with their alpha.
#include "core/image/alpha.h"

#include "core/image/picture.h"

#include <algorithm>
#include <cstring>

namespace {

// The non-premultiplied 32-bit form, whose pixels are read as qRed/qGreen/qBlue/qAlpha.
QImage asArgb32(const QImage &picture)
{
    return picture.format() == QImage::Format_ARGB32
               ? picture
               : picture.convertToFormat(QImage::Format_ARGB32);
}

// c over b with alpha a: Round((c * a + b * (255 - a)) / 255). The numerator is an integer and 255
// is odd, so the quotient never lies exactly on a half: adding 127 and truncating is Round.
inline uchar over(int c, int a, int b)
{
    return uchar((c * a + b * (255 - a) + 127) / 255);
}

// Composes argb (Format_ARGB32) over a background given per pixel as a grey level.
template <typename Background> QImage composed(const QImage &argb, Background background)
{
    QImage out(argb.size(), kPictureFormat);
    if (out.isNull())
        return out;
    for (int y = 0; y < argb.height(); ++y) {
        const auto *from = reinterpret_cast<const QRgb *>(argb.constScanLine(y));
        uchar *to = out.scanLine(y);
        for (int x = 0; x < argb.width(); ++x, to += 3) {
            const QRgb p = from[x];
            const int a = qAlpha(p);
            const int b = background(x, y);
            to[0] = over(qBlue(p), a, b);
            to[1] = over(qGreen(p), a, b);
            to[2] = over(qRed(p), a, b);
        }
    }
    return out;
}

} // namespace

QImage OverWhite(const QImage &picture)
{
    if (!HasAlpha(picture))
        return picture.format() == kPictureFormat ? picture
                                                  : picture.convertToFormat(kPictureFormat);
    return composed(asArgb32(picture), [](int, int) { return 255; });
}

QImage OverCheckerboard(const QImage &picture, const QRect &area)
{
    const QImage part = picture.copy(area);
    if (!HasAlpha(part))
        return To24Bit(part);
    // Light grey and white squares: transparency reads as a pattern no picture pixel is likely to
    // form, and a picture's own white stays visible against the grey squares.
    constexpr int kGrey = 204;
    const QPoint origin = area.topLeft();
    return composed(asArgb32(part), [origin](int x, int y) {
        const int column = (origin.x() + x) / kCheckerSquare;
        const int row = (origin.y() + y) / kCheckerSquare;
        return (column + row) % 2 == 0 ? 255 : kGrey;
    });
}

void CopyOverWhite(const QImage &picture, const QRect &area, QImage &into)
{
    if (area.isEmpty() || ExceedsPictureLimit(area.width(), area.height())) {
        into = QImage();
        return;
    }
    if (into.size() != area.size() || into.format() != kPictureFormat)
        into = QImage(area.size(), kPictureFormat);
    if (into.isNull())
        return; // no memory for it
    const QRect inside = area.intersected(picture.rect());
    if (inside != area)
        into.fill(Qt::white);
    if (inside.isEmpty())
        return;
    const bool direct = picture.format() == kPictureFormat;
    const QImage source = direct ? picture : To24Bit(picture.copy(inside));
    const QPoint from = direct ? inside.topLeft() : QPoint();
    for (int row = 0; row < inside.height(); ++row)
        std::memcpy(into.scanLine(inside.y() - area.y() + row) + 3 * (inside.x() - area.x()),
                    source.constScanLine(from.y() + row) + 3 * from.x(),
                    size_t(inside.width()) * 3);
}

void CopyWithAlpha(const QImage &picture, const QRect &area, QImage &into)
{
    if (into.size() != area.size() || into.format() != QImage::Format_ARGB32)
        into = QImage(area.size(), QImage::Format_ARGB32);
    if (into.isNull())
        return;
    const QRect inside = area.intersected(picture.rect());
    if (inside != area)
        into.fill(qRgba(255, 255, 255, 255));
    if (inside.isEmpty())
        return;
    // Only the area is converted: the cost follows the cut, not the picture.
    const QImage source =
        asArgb32(picture.format() == QImage::Format_ARGB32 ? picture : picture.copy(inside));
    const QPoint from = picture.format() == QImage::Format_ARGB32 ? inside.topLeft() : QPoint();
    for (int row = 0; row < inside.height(); ++row)
        std::memcpy(into.scanLine(inside.y() - area.y() + row) + 4 * (inside.x() - area.x()),
                    source.constScanLine(from.y() + row) + 4 * from.x(),
                    size_t(inside.width()) * 4);
}
