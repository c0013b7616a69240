// SPDX-License-Identifier: GPL-3.0-or-later
// Animated output: the choices of an animated GIF or WebP and the encoders that make one from
// frames given one after another.
#pragma once

#include "core/image/picture.h"

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

enum class AnimationFormat { Gif, Webp };

// A frame is shown this long unless the user chooses otherwise.
inline constexpr int kDefaultFrameDelayMs = 100;
// The longest delay a GIF can hold (65535 hundredths of a second); WebP holds more, but one limit
// for both keeps a choice valid whichever format it goes to.
inline constexpr int kMaxFrameDelayMs = 655350;
inline constexpr int kMinFrameDelayMs = 1;
// WebP's lossy quality, 0 (smallest) to 100 (best); below 0 means lossless.
inline constexpr int kLosslessQuality = -1;
inline constexpr int kMaxQuality = 100;

struct AnimationOptions {
    AnimationFormat format = AnimationFormat::Gif;
    int delayMs = kDefaultFrameDelayMs; // every frame, kMinFrameDelayMs .. kMaxFrameDelayMs
    bool pingPong = false;              // forward, then back (PlayOrder)
    bool dither = true;                 // GIF: error diffusion over the palette
    int quality = kLosslessQuality;     // WebP: kLosslessQuality, or 0 .. kMaxQuality lossy
    // WebP: each frame lossy (at quality, or libwebp's default 75 when lossless was asked) or
    // lossless, whichever is smaller, as libwebp's animation encoder allows (allow_mixed).
    bool mixed = false;
    // GIF: kMaxQuality keeps frames of few colours exact and others as close as a palette of 256
    // colours allows; lower qualities give up detail for a smaller file (FitGifQuality).
    int gifQuality = kMaxQuality;
    qint64 maxBytes = 0; // GIF: the largest file wanted (--max-size), 0 for no limit
    // Frames with times of their own (the cut of an animation) keep them unless replaced by
    // delayMs; speed divides every delay (2 plays twice as fast); reverse plays the frames from
    // the last to the first.
    bool replaceDelays = false;
    double speed = 1.0;
    bool reverse = false;
};

// The fastest and slowest --speed: within them every delay stays a number of milliseconds a
// GIF or a WebP can hold without the animation losing its shape to rounding.
inline constexpr double kMinSpeed = 0.01;
inline constexpr double kMaxSpeed = 100.0;

// The delay a frame is written with: its own, ownDelayMs (0 for none), unless options replace it,
// else options.delayMs; divided by options.speed and rounded, within kMinFrameDelayMs ..
// kMaxFrameDelayMs.
int FrameDelayMs(int ownDelayMs, const AnimationOptions &options);

// The animation format a file name asks for by its extension (.gif, .webp, any letter case).
std::optional<AnimationFormat> AnimationFormatOf(const QString &path);

// The frames in the order an animation shows them, numbered from 1: 1 .. count (count .. 1 when
// reversed), and with pingPong back again without repeating either end (1 2 3 4 3 2), so the
// loop never shows a frame twice in a row.
std::vector<int> PlayOrder(int count, bool pingPong, bool reverse = false);
// The length of PlayOrder(count, pingPong), counted without making it: 2 x count - 2 frames
// forward and back, in 64 bits.
long long PlayedFrames(int count, bool pingPong);

// A GIF delay in hundredths of a second: Round(ms / 10), halves to even, and at least 1, since
// players show a delay of 0 at a rate of their own choosing.
int GifDelay(int delayMs);
// Browsers show a GIF frame of a delay below this as if it were 100 ms long: a delay meant to
// be fast plays ten times slower there.
inline constexpr int kFastestGifDelayMs = 20;

// The most encodes FitGifQuality makes to bring a file under its size.
inline constexpr int kMaxFitEncodes = 6;

// The file of the best quality at most `quality` that holds in maxBytes, as encode(quality)
// makes it, or one within 3 % of maxBytes: that quality first, then the quality where the sizes
// made so far say the file just fits, with quality 0 itself last when nothing has fit by then;
// at most kMaxFitEncodes files. Throws Failure, naming the size at quality 0, when not even that
// fits. Size is taken to fall with quality; where it does not, the file returned still fits, at a
// quality lower than it might be.
QByteArray FitGifQuality(qint64 maxBytes, int quality,
                         const std::function<QByteArray(int quality)> &encode);

// A frame made ready to be added to an animation: what an encoder can do with a frame before
// knowing the frames before it (GIF: the palette and the indices). Each encoder keeps its own kind.
struct PreparedFrame {
    virtual ~PreparedFrame() = default;
    // How long the frame is shown, in milliseconds; 0 for the animation's one delay
    // (AnimationOptions::delayMs). Set by the caller between prepare and addPrepared.
    int delayMs = 0;
};

// Makes one animation file in memory. Frames are added in the order shown, each of the size given
// at the start, in any depth; a frame with alpha keeps it (GIF: a pixel less than half opaque
// becomes the one transparent index). The animation loops forever.
class AnimationEncoder {
  public:
    virtual ~AnimationEncoder() = default;
    // The first part of adding a frame. It changes nothing in the encoder, so several frames may
    // be prepared at once on other threads. Throws Failure when the frame cannot be held.
    virtual std::unique_ptr<PreparedFrame> prepare(const QImage &frame) const = 0;
    // Adds a frame that this encoder prepared, after those added before; the encoder may keep
    // it, so it is shared. Throws Failure.
    virtual void addPrepared(std::shared_ptr<PreparedFrame> frame) = 0;
    // Whether a frame another encoder of the same kind and size prepared can be added here as
    // it is, its preparing depending on nothing that differs between the two encoders' options.
    // A frame is added to one encoder at a time.
    virtual bool canReuse(const PreparedFrame &) const { return false; }
    void add(const QImage &frame, int delayMs = 0)
    {
        std::unique_ptr<PreparedFrame> prepared = prepare(frame);
        prepared->delayMs = delayMs;
        addPrepared(std::move(prepared));
    }
    // The whole file; the encoder takes no more frames after it.
    virtual QByteArray finish() = 0;
};

// An encoder of options.format for frames of size; throws Failure when the size cannot be held
// (a side over 65535 pixels for GIF, 16383 for WebP).
std::unique_ptr<AnimationEncoder> MakeAnimationEncoder(QSize size, const AnimationOptions &options);
