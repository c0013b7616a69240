// SPDX-License-Identifier: GPL-3.0-or-later
// The animated GIF writer on frames of any format and options the bytes choose: the file must
// read back with a frame for every one shown, at the size given.
#include "core/animation/gif_animation.h"
#include "core/base/io_error.h"
#include "core/image/plugin_reading.h"

#include "fuzz_bytes.h"
#include "fuzz_target.h"

#include <QBuffer>
#include <QImageReader>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzBytes bytes(FuzzInput(data, size));
    AnimationOptions options;
    options.format = AnimationFormat::Gif;
    options.delayMs = bytes.take(kMinFrameDelayMs, kMaxFrameDelayMs);
    options.pingPong = bytes.flag();
    options.dither = bytes.flag();
    const QSize frameSize(bytes.take(1, 48), bytes.take(1, 48));
    const int count = bytes.take(1, 6);
    GifAnimationEncoder encoder(frameSize, options);
    std::vector<QImage> frames;
    for (int k = 0; k < count; ++k)
        frames.push_back(bytes.picture(frameSize));
    for (const int k : PlayOrder(count, options.pingPong))
        encoder.add(frames[size_t(k - 1)]);
    QByteArray file = encoder.finish();
    QBuffer buffer(&file);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "gif");
    Require(reader.imageCount() == int(PlayOrder(count, options.pingPong).size()));
    const QImage first = DecodePicture(file, ContentKind::Gif, QStringLiteral("fuzz.gif"));
    Require(first.size() == frameSize);
    return 0;
}
