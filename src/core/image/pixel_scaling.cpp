// SPDX-License-Identifier: GPL-3.0-or-later
// Enlarging pixel art pixel for pixel.
#include "core/image/pixel_scaling.h"

#include "core/image/picture.h"

#include <cstring>
#include <unordered_set>

int WholeEnlargement(int width, int newWidth)
{
    if (width <= 0 || newWidth < 2 * width || newWidth % width != 0)
        return 0;
    return newWidth / width;
}

bool HasFewColours(const QImage &picture)
{
    const QImage argb = picture.format() == QImage::Format_ARGB32
                            ? picture
                            : picture.convertToFormat(QImage::Format_ARGB32);
    std::unordered_set<QRgb> seen;
    for (int y = 0; y < argb.height(); ++y) {
        const auto *row = reinterpret_cast<const QRgb *>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x) {
            if (seen.insert(row[x]).second && seen.size() > 256)
                return false;
        }
    }
    return true;
}

QImage EnlargeByRepeating(const QImage &picture, int factor)
{
    if (picture.depth() < 8) // pixels smaller than a byte: repeated in a byte-wide form
        return EnlargeByRepeating(picture.convertToFormat(QImage::Format_ARGB32), factor);
    CheckResultSize((long long)picture.width() * factor, (long long)picture.height() * factor);
    QImage out(picture.width() * factor, picture.height() * factor, picture.format());
    if (out.isNull())
        return out;
    out.setColorTable(picture.colorTable());
    const int bytes = picture.depth() / 8;
    for (int y = 0; y < picture.height(); ++y) {
        const uchar *from = picture.constScanLine(y);
        uchar *first = out.scanLine(y * factor);
        for (int x = 0; x < picture.width(); ++x)
            for (int k = 0; k < factor; ++k)
                std::memcpy(first + (size_t(x) * factor + k) * bytes, from + size_t(x) * bytes,
                            size_t(bytes));
        const size_t rowBytes = size_t(out.width()) * bytes;
        for (int k = 1; k < factor; ++k)
            std::memcpy(out.scanLine(y * factor + k), first, rowBytes);
    }
    return out;
}
