// SPDX-License-Identifier: GPL-3.0-or-later
// Animated WebP through libwebp's WebPAnimEncoder, a part at a time, the parts' frames joined.
#include "core/animation/webp_animation.h"

#include "core/animation/webp_container.h"
#include "core/base/io_error.h"
#include "core/image/picture.h"

#include <QCoreApplication>
#include <webp/demux.h>
#include <webp/encode.h>
#include <webp/mux.h>

#include <algorithm>
#include <new>
#include <utility>

namespace {

constexpr int kMaxWebpSide = WEBP_MAX_DIMENSION;
// Frames in one part: libwebp walks its list of a part's frames for each frame it adds, so the
// time grows with the square of this, and each part starts with a whole frame; 512 keeps both
// small (40,000 frames took 11.7 s in one part, 2 s in parts of 512).
constexpr int kPartFrames = 512;
// A RIFF file says its size in 32 bits.
constexpr qint64 kMaxRiffBytes = 0xFFFFFFF0;

Failure webpFailure(const QString &what)
{
    return Failure(
        QCoreApplication::translate("WebpAnimation", "WebP を作れません (%1)").arg(what));
}

struct Picture : PreparedFrame {
    WebPPicture picture;
    Picture() { WebPPictureInit(&picture); }
    ~Picture() override { WebPPictureFree(&picture); }
    Picture(const Picture &) = delete;
    Picture &operator=(const Picture &) = delete;
};

struct EncoderDeleter {
    void operator()(WebPAnimEncoder *encoder) const { WebPAnimEncoderDelete(encoder); }
};
struct DemuxDeleter {
    void operator()(WebPDemuxer *demux) const { WebPDemuxDelete(demux); }
};

// The picture encoded alone. A lossy encode turns the picture's pixels into YUV in place: each
// encode works on a copy, so that the picture stays as it was for another.
QByteArray encodedAlone(const WebPPicture &picture, const WebPConfig &config)
{
    Picture copy;
    if (!WebPPictureCopy(&picture, &copy.picture))
        throw std::bad_alloc();
    WebPMemoryWriter writer;
    WebPMemoryWriterInit(&writer);
    copy.picture.writer = WebPMemoryWrite;
    copy.picture.custom_ptr = &writer;
    const bool encoded = WebPEncode(&config, &copy.picture);
    const QByteArray file(reinterpret_cast<const char *>(writer.mem), qsizetype(writer.size));
    WebPMemoryWriterClear(&writer);
    if (!encoded)
        throw std::bad_alloc(); // with a valid configuration only memory can fail
    return file;
}

// The picture encoded alone, as the image chunks of a frame that covers the canvas; when mixed,
// lossy or lossless, whichever is smaller, as the animation encoder chooses for its frames.
QByteArray wholeFrame(const WebPPicture &picture, const WebPConfig &config, bool mixed)
{
    QByteArray file = encodedAlone(picture, config);
    if (mixed) {
        WebPConfig lossless = config;
        lossless.lossless = 1;
        QByteArray other = encodedAlone(picture, lossless);
        if (other.size() < file.size())
            file = std::move(other);
    }
    return ImageChunks(file).toByteArray();
}

bool coversCanvas(const WebpFrame &frame, QSize canvas)
{
    return frame.x == 0 && frame.y == 0 && frame.width == canvas.width() &&
           frame.height == canvas.height() && !frame.blend;
}

WebpFrame frameOf(const WebPIterator &it)
{
    return {it.x_offset,
            it.y_offset,
            it.width,
            it.height,
            it.duration,
            it.dispose_method == WEBP_MUX_DISPOSE_BACKGROUND,
            it.blend_method == WEBP_MUX_BLEND,
            QByteArrayView(reinterpret_cast<const char *>(it.fragment.bytes),
                           qsizetype(it.fragment.size))};
}

QString tooLongText(qint64 frames, int delayMs)
{
    return QCoreApplication::translate(
               "WebpAnimation",
               "WebP アニメーションが長すぎます (%1 フレーム x %2 ミリ秒、上限 %3 ミリ秒)")
        .arg(frames)
        .arg(delayMs)
        .arg(kMaxWebpAnimationMs);
}

} // namespace

void CheckWebpAnimationLength(qint64 frames, int delayMs)
{
    if (frames > 0 && delayMs > 0 && frames > kMaxWebpAnimationMs / delayMs)
        throw Failure(tooLongText(frames, delayMs));
}

WebpAnimationEncoder::WebpAnimationEncoder(QSize size, const AnimationOptions &options)
    : m_size(size), m_options(options), m_config(std::make_unique<WebPConfig>())
{
    if (size.width() < 1 || size.height() < 1 || size.width() > kMaxWebpSide ||
        size.height() > kMaxWebpSide)
        throw Failure(
            QCoreApplication::translate("WebpAnimation", "WebP にできない大きさです (%1 x %2)")
                .arg(size.width())
                .arg(size.height()));
    // The library's own defaults, as its command-line tools use them: effort 75 and method 4,
    // key frames where the encoder sees fit; only the mode and the loop are chosen here.
    if (!WebPConfigInit(m_config.get()))
        throw webpFailure(QStringLiteral("version"));
    if (options.mixed) {
        // As gif2webp -mixed and img2webp -mixed: a lossy configuration, the animation encoder
        // trying each frame lossless as well.
        m_config->lossless = 0;
        if (options.quality >= 0)
            m_config->quality = float(std::min(options.quality, kMaxQuality));
    } else if (options.quality < 0) {
        m_config->lossless = 1;
    } else {
        m_config->lossless = 0;
        m_config->quality = float(std::min(options.quality, kMaxQuality));
    }
    startPart();
}

WebpAnimationEncoder::~WebpAnimationEncoder()
{
    if (m_part)
        WebPAnimEncoderDelete(m_part);
}

std::unique_ptr<PreparedFrame> WebpAnimationEncoder::prepare(const QImage &frame) const
{
    if (frame.size() != m_size)
        throw Failure(
            QCoreApplication::translate("WebpAnimation", "WebP のフレームの大きさが違います"));
    auto p = std::make_unique<Picture>();
    p->picture.use_argb = 1;
    p->picture.width = m_size.width();
    p->picture.height = m_size.height();
    int imported = 0;
    if (frame.hasAlphaChannel()) {
        const QImage rgba = frame.convertToFormat(QImage::Format_RGBA8888);
        imported = WebPPictureImportRGBA(&p->picture, rgba.constBits(), int(rgba.bytesPerLine()));
    } else {
        const QImage bgr = To24Bit(frame);
        imported = WebPPictureImportBGR(&p->picture, bgr.constBits(), int(bgr.bytesPerLine()));
    }
    if (!imported)
        throw std::bad_alloc();
    return p;
}

void WebpAnimationEncoder::startPart()
{
    WebPAnimEncoderOptions animation;
    if (!WebPAnimEncoderOptionsInit(&animation))
        throw webpFailure(QStringLiteral("version"));
    animation.anim_params.loop_count = 0; // forever
    animation.allow_mixed = m_options.mixed ? 1 : 0;
    m_part = WebPAnimEncoderNew(m_size.width(), m_size.height(), &animation);
    if (!m_part)
        throw std::bad_alloc();
    m_framesInPart = 0;
    m_partStart = m_timestamp;
    ++m_parts;
}

void WebpAnimationEncoder::addPrepared(std::shared_ptr<PreparedFrame> frame)
{
    if (m_finished)
        throw webpFailure(QStringLiteral("finished"));
    const int delayMs = frame->delayMs > 0 ? frame->delayMs : m_options.delayMs;
    if (m_timestamp + delayMs > kMaxWebpAnimationMs)
        throw Failure(tooLongText(++m_added, delayMs));
    if (m_framesInPart == kPartFrames) {
        endPart();
        startPart();
    }
    // Only this encoder's prepare makes the frames it is given.
    auto &p = static_cast<Picture &>(*frame);
    if (!WebPAnimEncoderAdd(m_part, &p.picture, int(m_timestamp - m_partStart), m_config.get()))
        throw webpFailure(QString::fromUtf8(WebPAnimEncoderGetError(m_part)));
    if (m_framesInPart++ == 0)
        m_firstOfPart = std::move(frame);
    m_timestamp += delayMs;
    ++m_added;
}

// The part's frames as ANMF chunks after those of the parts before. A part after the first starts
// on the canvas the frames before it left, where libwebp assumed an empty one: its first frame,
// when libwebp trimmed it to its visible part or blends it, is encoded again to cover the canvas.
void WebpAnimationEncoder::endPart()
{
    const std::unique_ptr<WebPAnimEncoder, EncoderDeleter> part(std::exchange(m_part, nullptr));
    WebPData data;
    WebPDataInit(&data);
    const bool done =
        WebPAnimEncoderAdd(part.get(), nullptr, int(m_timestamp - m_partStart), nullptr) &&
        WebPAnimEncoderAssemble(part.get(), &data);
    const std::unique_ptr<uint8_t, decltype(&WebPFree)> bytes(const_cast<uint8_t *>(data.bytes),
                                                              WebPFree);
    if (!done)
        throw webpFailure(QString::fromUtf8(WebPAnimEncoderGetError(part.get())));
    const std::unique_ptr<WebPDemuxer, DemuxDeleter> demux(WebPDemux(&data));
    WebPIterator it;
    if (!demux || !WebPDemuxGetFrame(demux.get(), 1, &it))
        throw webpFailure(QStringLiteral("demux"));
    if (m_parts == 1)
        m_background = WebPDemuxGetI(demux.get(), WEBP_FF_BACKGROUND_COLOR);
    QByteArray whole;
    do {
        WebpFrame frame = frameOf(it);
        if (frame.durationMs == 0) // a part of one frame comes as a still picture
            frame.durationMs = int(m_timestamp - m_partStart);
        if (it.frame_num == 1 && m_parts > 1 && !coversCanvas(frame, m_size)) {
            whole = wholeFrame(static_cast<Picture &>(*m_firstOfPart).picture, *m_config,
                               m_options.mixed);
            frame = {0,
                     0,
                     m_size.width(),
                     m_size.height(),
                     frame.durationMs,
                     frame.disposeToBackground,
                     false,
                     whole};
        }
        m_alpha = m_alpha || it.has_alpha;
        m_frames += AnmfChunk(frame);
    } while (WebPDemuxNextFrame(&it));
    WebPDemuxReleaseIterator(&it);
    m_firstOfPart.reset();
}

QByteArray WebpAnimationEncoder::finish()
{
    if (m_finished || m_framesInPart == 0)
        throw webpFailure(QStringLiteral("finished"));
    m_finished = true;
    endPart();
    if (qint64(m_frames.size()) > kMaxRiffBytes)
        throw webpFailure(QStringLiteral("4 GB"));
    return AnimatedWebpFile(m_size, m_alpha, m_background, std::exchange(m_frames, {}));
}
