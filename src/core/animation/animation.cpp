// SPDX-License-Identifier: GPL-3.0-or-later
// Animation choices shared by both formats.
#include "core/animation/animation.h"

#include "core/animation/gif_animation.h"
#include "core/animation/webp_animation.h"
#include "core/base/io_error.h"
#include "core/image/rounding.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>
#include <optional>

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

namespace {

// A file of this share of the size asked or more is close enough: fewer bytes would buy little.
constexpr double kCloseEnough = 0.97;
// Each encode aims a little under the size asked, so that the file it makes tends to fit.
constexpr double kAimedShare = 0.985;
// How size falls with quality until two files tell: by a fifth from quality 100 to 50, as the
// photographic animations of bench/make_gif_corpus.sh do.
constexpr double kAssumedFallPerQuality = -0.223 / 50;

struct FitPoint {
    int quality;
    double logBytes;
};

// The quality where the line through a and b (log size against quality) reaches target.
double qualityAt(const FitPoint &a, const FitPoint &b, double target)
{
    const double slope = (b.logBytes - a.logBytes) / (b.quality - a.quality);
    return slope > 0 ? a.quality + (target - a.logBytes) / slope : double(a.quality);
}

} // namespace

QByteArray FitGifQuality(qint64 maxBytes, int quality,
                         const std::function<QByteArray(int quality)> &encode)
{
    quality = std::clamp(quality, 0, kMaxQuality);
    QByteArray file = encode(quality);
    if (file.size() <= maxBytes)
        return file;
    // Size falls as quality does: each encode goes to the quality where the sizes known so far
    // say the file just fits, between the best that fits and the lowest that does not once one
    // fits, and below the lowest that does not, at most half-way to 0, before; quality 0 itself is
    // tried last when nothing has fit by then. Should size not fall somewhere, the file kept still
    // fits.
    const double target = std::log(double(maxBytes) * kAimedShare);
    FitPoint tooLarge{quality, std::log(double(file.size()))};
    std::optional<FitPoint> fits, tooLargeBefore;
    QByteArray fitting;
    for (int encodes = 1; encodes < kMaxFitEncodes; ++encodes) {
        if (fits && (tooLarge.quality - fits->quality <= 1 ||
                     fitting.size() >= double(maxBytes) * kCloseEnough))
            break;
        if (tooLarge.quality == 0)
            break; // quality 0 is too large already
        double next = 0;
        if (fits) {
            next = std::clamp(qualityAt(*fits, tooLarge, target), fits->quality + 1.0,
                              tooLarge.quality - 1.0);
        } else if (encodes < kMaxFitEncodes - 1) {
            const FitPoint assumed{tooLarge.quality + 1,
                                   tooLarge.logBytes - kAssumedFallPerQuality};
            next = std::clamp(qualityAt(tooLarge, tooLargeBefore.value_or(assumed), target),
                              tooLarge.quality / 2.0, tooLarge.quality - 1.0);
        }
        const int asked = int(std::floor(next));
        file = encode(asked);
        const FitPoint made{asked, std::log(double(std::max<qsizetype>(file.size(), 1)))};
        if (file.size() <= maxBytes) {
            fits = made;
            fitting = std::move(file);
        } else {
            tooLargeBefore = tooLarge;
            tooLarge = made;
        }
    }
    if (!fits)
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
