// SPDX-License-Identifier: GPL-3.0-or-later
// Animation choices shared by both formats.
#include "core/animation/animation.h"

#include "core/animation/gif_animation.h"
#include "core/animation/webp_animation.h"
#include "core/base/io_error.h"
#include "core/image/rounding.h"

#include <QCoreApplication>

#include <algorithm>

std::optional<AnimationFormat> AnimationFormatOf(const QString &path)
{
    if (path.endsWith(QLatin1String(".gif"), Qt::CaseInsensitive))
        return AnimationFormat::Gif;
    if (path.endsWith(QLatin1String(".webp"), Qt::CaseInsensitive))
        return AnimationFormat::Webp;
    return std::nullopt;
}

std::vector<int> PlayOrder(int count, bool pingPong)
{
    std::vector<int> order;
    for (int k = 1; k <= count; ++k)
        order.push_back(k);
    if (pingPong) {
        for (int k = count - 1; k >= 2; --k)
            order.push_back(k);
    }
    return order;
}

int GifDelay(int delayMs)
{
    return std::clamp(int(Round(delayMs / 10.0L)), 1, 65535);
}

QByteArray FitGifQuality(qint64 maxBytes, int quality,
                         const std::function<QByteArray(int quality)> &encode)
{
    quality = std::clamp(quality, 0, kMaxQuality);
    QByteArray file = encode(quality);
    if (file.size() <= maxBytes)
        return file;
    QByteArray fitting = quality == 0 ? std::move(file) : encode(0);
    if (fitting.size() > maxBytes)
        throw Failure(
            QCoreApplication::translate(
                "GifAnimation", "GIF は最も低い画質でも %1 バイトになり、%2 バイトに収まりません")
                .arg(fitting.size())
                .arg(maxBytes));
    // Size falls as quality does, so the search halves the range between a quality that fits
    // and one that does not; should it not fall somewhere, the file kept still fits.
    int fits = 0, tooLarge = quality;
    for (int encodes = 2; encodes < kMaxFitEncodes && tooLarge - fits > 1; ++encodes) {
        const int middle = (fits + tooLarge) / 2;
        file = encode(middle);
        if (file.size() <= maxBytes) {
            fits = middle;
            fitting = std::move(file);
        } else {
            tooLarge = middle;
        }
    }
    return fitting;
}

std::unique_ptr<AnimationEncoder> MakeAnimationEncoder(QSize size, const AnimationOptions &options)
{
    if (options.format == AnimationFormat::Gif)
        return std::make_unique<GifAnimationEncoder>(size, options);
    return std::make_unique<WebpAnimationEncoder>(size, options);
}
