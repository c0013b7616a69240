// SPDX-License-Identifier: GPL-3.0-or-later
// Animated WebP through libwebp's animation encoder: lossless unless a quality is given, looping
// forever, made in time that grows with the number of frames alone.
#pragma once

#include "core/animation/animation.h"

#include <QtGlobal>

#include <climits>

struct WebPAnimEncoder;
struct WebPConfig;
struct WebPPicture;

// The longest WebP animation: libwebp's decoders add the frames' times up in an int.
inline constexpr qint64 kMaxWebpAnimationMs = INT_MAX;

// Throws Failure, with the numbers, when `frames` frames of delayMs each would last longer than a
// WebP animation can ("WebP アニメーションが長すぎます ..."). A run can ask before any work.
void CheckWebpAnimationLength(qint64 frames, int delayMs);

class WebpAnimationEncoder : public AnimationEncoder {
  public:
    WebpAnimationEncoder(QSize size, const AnimationOptions &options);
    ~WebpAnimationEncoder() override;
    WebpAnimationEncoder(const WebpAnimationEncoder &) = delete;
    WebpAnimationEncoder &operator=(const WebpAnimationEncoder &) = delete;

    // The frame in libwebp's own picture.
    std::unique_ptr<PreparedFrame> prepare(const QImage &frame) const override;
    // Throws Failure when the animation would grow longer than kMaxWebpAnimationMs.
    void addPrepared(std::shared_ptr<PreparedFrame> frame) override;
    QByteArray finish() override;

  private:
    void startPart();
    void endPart();

    QSize m_size;
    AnimationOptions m_options;
    std::unique_ptr<WebPConfig> m_config;
    // libwebp's encoder keeps its frames in a list it walks from the start for each one, so a
    // long animation is made in parts of kPartFrames frames, joined frame by frame at the end.
    WebPAnimEncoder *m_part = nullptr;
    int m_framesInPart = 0;
    int m_parts = 0;
    std::shared_ptr<PreparedFrame> m_firstOfPart; // re-encoded whole when the part trims it
    qint64 m_partStart = 0; // the animation's time where the part begins, in milliseconds
    qint64 m_timestamp = 0; // where the next frame starts, in milliseconds
    qint64 m_added = 0;     // frames added
    QByteArray m_frames;    // the ANMF chunks of the parts ended
    bool m_alpha = false;
    quint32 m_background = 0xFFFFFFFF;
    bool m_finished = false;
};
