// SPDX-License-Identifier: GPL-3.0-or-later
// Animated WebP through libwebp's animation encoder: lossless unless a quality is given, looping
// forever.
#pragma once

#include "core/animation/animation.h"

struct WebPAnimEncoder;
struct WebPConfig;

class WebpAnimationEncoder : public AnimationEncoder {
  public:
    WebpAnimationEncoder(QSize size, const AnimationOptions &options);
    ~WebpAnimationEncoder() override;
    WebpAnimationEncoder(const WebpAnimationEncoder &) = delete;
    WebpAnimationEncoder &operator=(const WebpAnimationEncoder &) = delete;

    // The frame in libwebp's own picture.
    std::unique_ptr<PreparedFrame> prepare(const QImage &frame) const override;
    void addPrepared(std::unique_ptr<PreparedFrame> frame) override;
    QByteArray finish() override;

  private:
    QSize m_size;
    AnimationOptions m_options;
    WebPAnimEncoder *m_encoder = nullptr;
    std::unique_ptr<WebPConfig> m_config;
    int m_timestamp = 0; // where the next frame starts, in milliseconds
};
