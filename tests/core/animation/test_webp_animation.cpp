// SPDX-License-Identifier: GPL-3.0-or-later
// Animated WebP made in parts: every frame as given, however many, and the length bounded.
#include "core/animation/webp_animation.h"
#include "core/base/io_error.h"

#include "test_files.h"

#include <gtest/gtest.h>

#include <webp/demux.h>

#include <vector>

namespace {

// Frames with transparent borders of changing width, so that libwebp trims them to their
// visible part, and a colour that changes with each frame.
QImage frame(int k)
{
    QImage picture(12, 10, QImage::Format_ARGB32);
    picture.fill(qRgba(0, 0, 0, 0));
    const int border = k % 5;
    for (int y = border; y < 10 - border; ++y)
        for (int x = border; x < 12 - border; ++x)
            picture.setPixel(x, y, qRgba(k % 251, (k * 7 + x) % 256, y * 20, k % 3 ? 255 : 128));
    return picture;
}

// The frames libwebp's own animation decoder shows, with the time each ends at.
std::vector<std::pair<QImage, int>> decodedFrames(const QByteArray &file)
{
    WebPData data{reinterpret_cast<const uint8_t *>(file.constData()), size_t(file.size())};
    WebPAnimDecoderOptions options;
    WebPAnimDecoderOptionsInit(&options);
    options.color_mode = MODE_BGRA;
    WebPAnimDecoder *decoder = WebPAnimDecoderNew(&data, &options);
    std::vector<std::pair<QImage, int>> frames;
    if (!decoder)
        return frames;
    WebPAnimInfo info;
    WebPAnimDecoderGetInfo(decoder, &info);
    uint8_t *pixels = nullptr;
    int end = 0;
    while (WebPAnimDecoderGetNext(decoder, &pixels, &end)) {
        const QImage canvas(pixels, int(info.canvas_width), int(info.canvas_height),
                            QImage::Format_ARGB32);
        frames.emplace_back(canvas.copy(), end);
    }
    WebPAnimDecoderDelete(decoder);
    return frames;
}

QImage comparable(QImage picture)
{
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            if (qAlpha(picture.pixel(x, y)) == 0)
                picture.setPixel(x, y, 0);
    return picture;
}

// Mistakes in joining the parts: a part's first frame drawn over the last one's leftovers where
// libwebp trimmed it to its visible part (it assumed an empty canvas), frames lost or doubled at
// a part's edge, times restarting with each part.
TEST(WebpAnimation, EveryFrameAsGivenAcrossTheParts)
{
    AnimationOptions options;
    options.format = AnimationFormat::Webp;
    options.delayMs = 40;
    const int count = 1100; // three parts
    WebpAnimationEncoder encoder(QSize(12, 10), options);
    for (int k = 0; k < count; ++k)
        encoder.add(frame(k));
    const auto frames = decodedFrames(encoder.finish());
    ASSERT_EQ(int(frames.size()), count);
    for (int k = 0; k < count; ++k) {
        ASSERT_EQ(comparable(frames[size_t(k)].first), comparable(frame(k))) << "frame " << k;
        ASSERT_EQ(frames[size_t(k)].second, 40 * (k + 1)) << "frame " << k;
    }
}

// Mistake: the time added up in 32 bits, which overflows (undefined behaviour) past 2^31 ms; a
// longer animation is refused with the numbers, before the run (CheckWebpAnimationLength) and at
// the frame that would pass the limit.
TEST(WebpAnimation, AnAnimationLongerThanWebpHoldsIsRefused)
{
    AnimationOptions options;
    options.format = AnimationFormat::Webp;
    options.delayMs = kMaxFrameDelayMs;
    const qint64 most = kMaxWebpAnimationMs / kMaxFrameDelayMs; // 3276 frames
    EXPECT_TRUE(FailureOf([&] { CheckWebpAnimationLength(most, kMaxFrameDelayMs); }).isEmpty());
    EXPECT_TRUE(FailureOf([&] {
                    CheckWebpAnimationLength(most + 1, kMaxFrameDelayMs);
                }).contains(QStringLiteral("%1 フレーム").arg(most + 1)));
    WebpAnimationEncoder encoder(QSize(1, 1), options);
    QImage pixel(1, 1, QImage::Format_BGR888);
    for (qint64 k = 0; k < most; ++k) {
        pixel.fill(QColor(int(k % 256), 0, 0));
        encoder.add(pixel);
    }
    EXPECT_TRUE(FailureOf([&] { encoder.add(pixel); }).contains(QStringLiteral("長すぎます")));
}

} // namespace
