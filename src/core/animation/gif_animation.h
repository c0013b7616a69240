// SPDX-License-Identifier: GPL-3.0-or-later
// Animated GIF: a palette of at most 256 colours per frame chosen by libimagequant (dithered unless
// asked otherwise), coded by giflib, looping forever.
#pragma once

#include "core/animation/animation.h"

#include <vector>

struct GifFileType;
struct liq_attr;

class GifAnimationEncoder : public AnimationEncoder {
  public:
    GifAnimationEncoder(QSize size, const AnimationOptions &options);
    ~GifAnimationEncoder() override;
    GifAnimationEncoder(const GifAnimationEncoder &) = delete;
    GifAnimationEncoder &operator=(const GifAnimationEncoder &) = delete;

    void add(const QImage &frame) override;
    QByteArray finish() override;

  private:
    QSize m_size;
    AnimationOptions m_options;
    QByteArray m_file;
    GifFileType *m_gif = nullptr;
    liq_attr *m_quantizer = nullptr;
    std::vector<unsigned char> m_indices; // one frame's palette indices, kept between frames
};
