// SPDX-License-Identifier: GPL-3.0-or-later
// Animation choices shared by both formats.
#include "core/animation/animation.h"

#include "core/animation/gif_animation.h"
#include "core/animation/webp_animation.h"
#include "core/image/rounding.h"

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

long long PlayedFrames(int count, bool pingPong)
{
    return pingPong && count > 2 ? 2LL * count - 2 : std::max(count, 0);
}

int GifDelay(int delayMs)
{
    return std::clamp(int(Round(delayMs / 10.0L)), 1, 65535);
}

std::unique_ptr<AnimationEncoder> MakeAnimationEncoder(QSize size, const AnimationOptions &options)
{
    if (options.format == AnimationFormat::Gif)
        return std::make_unique<GifAnimationEncoder>(size, options);
    return std::make_unique<WebpAnimationEncoder>(size, options);
}
