// SPDX-License-Identifier: GPL-3.0-or-later
// The pixel conventions every picture operation shares.
#include "core/image/picture.h"

#include "core/base/io_error.h"
#include "core/image/alpha.h"

#include <QCoreApplication>

#include <cstring>
#include <malloc.h>

QImage To24Bit(const QImage &image)
{
    if (image.format() == kPictureFormat || image.isNull())
        return image;
    // Transparent parts are seen over white, as the program treats every missing part; a plain
    // conversion would show whatever colour a transparent pixel happens to hold.
    if (HasAlpha(image))
        return OverWhite(image);
    return image.convertToFormat(kPictureFormat);
}

QImage WithoutUnusedAlpha(QImage picture)
{
    if (!picture.hasAlphaChannel())
        return picture;
    picture.convertTo(QImage::Format_ARGB32);
    for (int y = 0; y < picture.height(); ++y) {
        const auto *row = reinterpret_cast<const QRgb *>(picture.constScanLine(y));
        for (int x = 0; x < picture.width(); ++x) {
            if (qAlpha(row[x]) != 255)
                return picture;
        }
    }
    return picture.convertToFormat(kPictureFormat);
}

QImage WhitePicture(int width, int height)
{
    QImage picture(width, height, kPictureFormat);
    picture.fill(Qt::white);
    return picture;
}

void CheckResultSize(long long width, long long height)
{
    if (width < 1 || height < 1)
        throw Failure(QCoreApplication::translate("Picture", "画像がありません (%1 x %2)")
                          .arg(width)
                          .arg(height));
    if (ExceedsPictureLimit(width, height))
        throw Failure(QCoreApplication::translate("Picture", "画像が大きすぎます (%1 x %2)")
                          .arg(width)
                          .arg(height));
}

void KeepPictureMemoryForReuse()
{
    // Above the mmap threshold every free returns the pages to the kernel and the next picture
    // faults them in again, zeroed. Served from the heap and not trimmed below this, they stay.
    constexpr int kKeptBytes = 512 << 20;
    mallopt(M_MMAP_THRESHOLD, kKeptBytes);
    mallopt(M_TRIM_THRESHOLD, kKeptBytes);
}
