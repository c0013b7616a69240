// SPDX-License-Identifier: GPL-3.0-or-later
// The animated WebP writer on frames of any format and options the bytes choose, up to several of
// its parts: libwebp's own decoder must show, lossless, every frame as given, at its time.
#include "core/animation/webp_animation.h"

#include "fuzz_bytes.h"
#include "fuzz_target.h"

#include <webp/demux.h>

#include <vector>

namespace {

// A frame as the file must show it: non-premultiplied ARGB, the colour of a clear pixel unseen.
QImage shown(const QImage &frame)
{
    QImage argb =
        frame.hasAlphaChannel()
            ? frame.convertToFormat(QImage::Format_ARGB32)
            : frame.convertToFormat(QImage::Format_RGB32).convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < argb.height(); ++y)
        for (int x = 0; x < argb.width(); ++x)
            if (qAlpha(argb.pixel(x, y)) == 0)
                argb.setPixel(x, y, 0);
    return argb;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzBytes bytes(FuzzInput(data, size));
    AnimationOptions options;
    options.format = AnimationFormat::Webp;
    options.delayMs = bytes.take(kMinFrameDelayMs, kMaxFrameDelayMs);
    const bool lossless = bytes.flag();
    options.quality = lossless ? kLosslessQuality : bytes.take(0, kMaxQuality);
    const QSize frameSize(bytes.take(1, 24), bytes.take(1, 24));
    // Now and then, small frames beyond one part of the encoder's (512 frames).
    const bool many = bytes.take(0, 7) == 0 && frameSize.width() * frameSize.height() <= 16;
    const int count = bytes.take(1, many ? 600 : 8);
    const int distinct = bytes.take(1, 8);
    std::vector<QImage> frames;
    for (int k = 0; k < distinct; ++k)
        frames.push_back(bytes.picture(frameSize));
    WebpAnimationEncoder encoder(frameSize, options);
    for (int k = 0; k < count; ++k)
        encoder.add(frames[size_t(k % distinct)]);
    const QByteArray file = encoder.finish();

    WebPData webp{reinterpret_cast<const uint8_t *>(file.constData()), size_t(file.size())};
    WebPAnimDecoderOptions decoding;
    WebPAnimDecoderOptionsInit(&decoding);
    decoding.color_mode = MODE_BGRA;
    WebPAnimDecoder *decoder = WebPAnimDecoderNew(&webp, &decoding);
    Require(decoder != nullptr);
    uint8_t *pixels = nullptr;
    int end = 0;
    while (WebPAnimDecoderGetNext(decoder, &pixels, &end)) {
        // Equal frames in a row may come as one, lasting as long as they do together.
        const int k = end / options.delayMs - 1;
        Require(end % options.delayMs == 0 && k >= 0 && k < count);
        const QImage canvas(pixels, frameSize.width(), frameSize.height(), QImage::Format_ARGB32);
        Require(!lossless || shown(canvas) == shown(frames[size_t(k % distinct)]));
    }
    WebPAnimDecoderDelete(decoder);
    Require(end == count * options.delayMs);
    return 0;
}
