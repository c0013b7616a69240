// SPDX-License-Identifier: GPL-3.0-or-later
// The frames of an animated WebP through libwebp's animation decoder, which composes them itself.
#include "core/base/files.h"
#include "core/image/animation_frames.h"

#include <QColorSpace>

#include <webp/demux.h>

#include <cstring>
#include <memory>
#include <new>

static_assert(Q_BYTE_ORDER == Q_LITTLE_ENDIAN,
              "libwebp's BGRA bytes are the 32-bit pixels of QImage::Format_ARGB32");

namespace {

constexpr QStringView kWebp = u"WebP";

// The VP8X chunk's animation flag: a WebP without it is a still picture.
bool isAnimated(QByteArrayView bytes)
{
    return bytes.size() > 20 && bytes.sliced(12, 4) == "VP8X" &&
           (uchar(bytes[20]) & ANIMATION_FLAG);
}

struct DemuxDeleter {
    void operator()(WebPDemuxer *demux) const { WebPDemuxDelete(demux); }
};
struct DecoderDeleter {
    void operator()(WebPAnimDecoder *decoder) const { WebPAnimDecoderDelete(decoder); }
};

// The ICC profile the file carries as its colour space; invalid when it carries none, as the
// still reader sees it.
QColorSpace colourSpaceOf(WebPDemuxer *demux)
{
    if (!(WebPDemuxGetI(demux, WEBP_FF_FORMAT_FLAGS) & ICCP_FLAG))
        return {};
    WebPChunkIterator chunk;
    if (!WebPDemuxGetChunk(demux, "ICCP", 1, &chunk))
        return {};
    const QByteArray profile(reinterpret_cast<const char *>(chunk.chunk.bytes),
                             qsizetype(chunk.chunk.size));
    WebPDemuxReleaseChunkIterator(&chunk);
    return QColorSpace::fromIccProfile(profile);
}

// The frames of an animation the demuxer found whole and within bounds.
DecodedAnimation decodeFrames(const WebPData &data, QSize canvas, const QColorSpace &colours,
                              const QString &name)
{
    WebPAnimDecoderOptions options;
    if (!WebPAnimDecoderOptionsInit(&options))
        throw ReadFailure(name, DamagedFileText(kWebp));
    options.color_mode = MODE_BGRA; // non-premultiplied, as the program keeps alpha
    options.use_threads = 0;        // a batch reads its files on threads of its own
    const std::unique_ptr<WebPAnimDecoder, DecoderDeleter> decoder(
        WebPAnimDecoderNew(&data, &options));
    if (!decoder)
        throw ReadFailure(name, DamagedFileText(kWebp));
    DecodedAnimation animation;
    int shownUntil = 0;
    while (WebPAnimDecoderHasMoreFrames(decoder.get())) {
        uint8_t *pixels = nullptr;
        int timestamp = 0;
        if (!WebPAnimDecoderGetNext(decoder.get(), &pixels, &timestamp))
            throw ReadFailure(name, DamagedFileText(kWebp));
        QImage frame(canvas, QImage::Format_ARGB32);
        if (frame.isNull())
            throw std::bad_alloc();
        const size_t rowBytes = size_t(canvas.width()) * 4;
        for (int y = 0; y < canvas.height(); ++y)
            std::memcpy(frame.scanLine(y), pixels + rowBytes * size_t(y), rowBytes);
        frame.setColorSpace(colours); // while the frame is unshared: no copy is made for it
        animation.frames.push_back(std::move(frame));
        // The timestamp is when the frame ends: each frame's duration is the difference.
        animation.delaysMs.push_back(timestamp - shownUntil);
        shownUntil = timestamp;
    }
    return animation;
}

} // namespace

DecodedAnimation DecodeWebpAnimation(const QByteArray &bytes, const QString &name)
{
    if (!isAnimated(bytes))
        return {};
    const WebPData data{reinterpret_cast<const uint8_t *>(bytes.constData()), size_t(bytes.size())};
    // The demuxer reads the chunks alone; the animation decoder would take two canvases at once,
    // before the bounds could be checked.
    WebPDemuxState state = WEBP_DEMUX_PARSE_ERROR;
    const std::unique_ptr<WebPDemuxer, DemuxDeleter> demux(WebPDemuxPartial(&data, &state));
    if (!demux || state == WEBP_DEMUX_PARSE_ERROR)
        throw ReadFailure(name, DamagedFileText(kWebp));
    if (state != WEBP_DEMUX_DONE)
        throw ReadFailure(name, CutShortFileText(kWebp));
    const qint64 frames = WebPDemuxGetI(demux.get(), WEBP_FF_FRAME_COUNT);
    if (frames <= 1)
        return {}; // one frame: the still reader's
    const QSize canvas(int(WebPDemuxGetI(demux.get(), WEBP_FF_CANVAS_WIDTH)),
                       int(WebPDemuxGetI(demux.get(), WEBP_FF_CANVAS_HEIGHT)));
    CheckAnimationBounds(canvas, frames, bytes.size(), kWebp, name);
    DecodedAnimation animation = decodeFrames(data, canvas, colourSpaceOf(demux.get()), name);
    if (qint64(animation.frames.size()) != frames)
        throw ReadFailure(name, DamagedFileText(kWebp));
    SettleAnimationFormat(animation);
    return animation;
}
