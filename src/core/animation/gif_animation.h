// SPDX-License-Identifier: GPL-3.0-or-later
// Animated GIF: a palette of at most 256 colours per frame chosen by libimagequant (dithered unless
// asked otherwise), coded by giflib, looping forever.
#pragma once

#include "core/animation/animation.h"

struct GifFileType;

class GifAnimationEncoder : public AnimationEncoder {
  public:
    GifAnimationEncoder(QSize size, const AnimationOptions &options);
    ~GifAnimationEncoder() override;
    GifAnimationEncoder(const GifAnimationEncoder &) = delete;
    GifAnimationEncoder &operator=(const GifAnimationEncoder &) = delete;

    // The palette and indices of the frame; each call quantizes with a quantizer of its own.
    std::unique_ptr<PreparedFrame> prepare(const QImage &frame) const override;
    void addPrepared(std::unique_ptr<PreparedFrame> frame) override;
    QByteArray finish() override;

  private:
    QSize m_size;
    AnimationOptions m_options;
    QByteArray m_file;
    GifFileType *m_gif = nullptr;
};
