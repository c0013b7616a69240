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

std::vector<int> PlayOrder(int count, bool pingPong, bool reverse)
{
    std::vector<int> order;
    for (int k = 1; k <= count; ++k)
        order.push_back(k);
    if (reverse)
        std::reverse(order.begin(), order.end());
    if (pingPong) {
        for (int i = count - 2; i >= 1; --i)
            order.push_back(order[size_t(i)]);
    }
    return order;
}

int FrameDelayMs(int ownDelayMs, const AnimationOptions &options)
{
    const int delay = ownDelayMs > 0 && !options.replaceDelays ? ownDelayMs : options.delayMs;
    const double speed = std::clamp(options.speed, kMinSpeed, kMaxSpeed);
    return int(std::clamp<int64_t>(Round(delay / static_cast<long double>(speed)), kMinFrameDelayMs,
                                   kMaxFrameDelayMs));
}

long long PlayedFrames(int count, bool pingPong)
{
    return pingPong && count > 2 ? 2LL * count - 2 : std::max(count, 0);
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
    // Size falls as quality does, so each encode halves the qualities left between the best that
    // fits (0 until one does) and the lowest that does not; quality 0 itself is tried last, when
    // nothing has fit by then, so that a size close to the first file's is found in finer steps.
    // Should size not fall somewhere, the file kept still fits.
    QByteArray fitting;
    int fits = -1, tooLarge = quality;
    for (int encodes = 1; encodes < kMaxFitEncodes; ++encodes) {
        int next = 0;
        if (fits >= 0) {
            if (tooLarge - fits <= 1)
                break;
            next = (fits + tooLarge) / 2;
        } else if (encodes < kMaxFitEncodes - 1 && tooLarge > 1) {
            next = tooLarge / 2;
        }
        if (tooLarge == 0)
            break; // quality 0 is too large already
        file = encode(next);
        if (file.size() <= maxBytes) {
            fits = next;
            fitting = std::move(file);
        } else {
            tooLarge = next;
        }
    }
    if (fits < 0)
        throw Failure(
            QCoreApplication::translate(
                "GifAnimation", "GIF は最も低い画質でも %1 バイトになり、%2 バイトに収まりません")
                .arg(file.size())
                .arg(maxBytes));
    return fitting;
}

std::unique_ptr<AnimationEncoder> MakeAnimationEncoder(QSize size, const AnimationOptions &options)
{
    if (options.format == AnimationFormat::Gif)
        return std::make_unique<GifAnimationEncoder>(size, options);
    return std::make_unique<WebpAnimationEncoder>(size, options);
}
