// SPDX-License-Identifier: GPL-3.0-or-later
// Animated WebP through libwebp's WebPAnimEncoder.
#include "core/animation/webp_animation.h"

#include "core/base/io_error.h"
#include "core/image/picture.h"

#include <QCoreApplication>
#include <webp/encode.h>
#include <webp/mux.h>

#include <algorithm>
#include <new>
#include <utility>

namespace {

constexpr int kMaxWebpSide = WEBP_MAX_DIMENSION;

Failure webpFailure(const char *what)
{
    return Failure(QCoreApplication::translate("WebpAnimation", "WebP を作れません (%1)")
                       .arg(QString::fromUtf8(what)));
}

struct Picture : PreparedFrame {
    WebPPicture picture;
    Picture() { WebPPictureInit(&picture); }
    ~Picture() { WebPPictureFree(&picture); }
    Picture(const Picture &) = delete;
    Picture &operator=(const Picture &) = delete;
};

} // namespace

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
        throw webpFailure("version");
    if (options.quality < 0) {
        m_config->lossless = 1;
    } else {
        m_config->lossless = 0;
        m_config->quality = float(std::min(options.quality, kMaxQuality));
    }
    WebPAnimEncoderOptions animation;
    if (!WebPAnimEncoderOptionsInit(&animation))
        throw webpFailure("version");
    animation.anim_params.loop_count = 0; // forever
    m_encoder = WebPAnimEncoderNew(size.width(), size.height(), &animation);
    if (!m_encoder)
        throw std::bad_alloc();
}

WebpAnimationEncoder::~WebpAnimationEncoder()
{
    if (m_encoder)
        WebPAnimEncoderDelete(m_encoder);
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

void WebpAnimationEncoder::addPrepared(std::unique_ptr<PreparedFrame> frame)
{
    if (!m_encoder)
        throw Failure(
            QCoreApplication::translate("WebpAnimation", "WebP のフレームの大きさが違います"));
    // Only this encoder's prepare makes the frames it is given.
    auto &p = static_cast<Picture &>(*frame);
    if (!WebPAnimEncoderAdd(m_encoder, &p.picture, m_timestamp, m_config.get()))
        throw webpFailure(WebPAnimEncoderGetError(m_encoder));
    m_timestamp += m_options.delayMs;
}

QByteArray WebpAnimationEncoder::finish()
{
    WebPAnimEncoder *encoder = std::exchange(m_encoder, nullptr);
    if (!encoder)
        throw webpFailure("finished");
    WebPData data;
    WebPDataInit(&data);
    // The end of the last frame: its duration is the time up to this stamp.
    const bool done = WebPAnimEncoderAdd(encoder, nullptr, m_timestamp, nullptr) &&
                      WebPAnimEncoderAssemble(encoder, &data);
    const QString error = done ? QString() : QString::fromUtf8(WebPAnimEncoderGetError(encoder));
    WebPAnimEncoderDelete(encoder);
    if (!done) {
        WebPDataClear(&data);
        throw webpFailure(error.toUtf8().constData());
    }
    QByteArray file(reinterpret_cast<const char *>(data.bytes), qsizetype(data.size));
    WebPDataClear(&data);
    return file;
}
