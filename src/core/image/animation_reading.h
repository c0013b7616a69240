// SPDX-License-Identifier: GPL-3.0-or-later
// Animated GIF and WebP read as a player shows them: every frame whole, composed over the ones
// before as the file's disposal and blending say, with the time each is shown.
#pragma once

#include "core/image/plugin_reading.h"

#include <QByteArray>
#include <QImage>
#include <QString>

#include <vector>

// The frames of an animation a file holds, frame 1 first; empty for a file of one frame, which
// the still decoder reads (DecodePicture).
struct DecodedAnimation {
    // Each the whole canvas (a GIF's logical screen, a WebP's canvas), all of one size and one
    // format: 32-bit ARGB (non-premultiplied) when any pixel of any frame is not opaque, else
    // kPictureFormat. Shared pixels where a frame repeats the one before are fine.
    std::vector<QImage> frames;
    // Frame k is shown delaysMs[k - 1] milliseconds, as the file says it (a GIF's hundredths
    // times 10; 0 stays 0, which players show at a rate of their own).
    std::vector<int> delaysMs;
    bool empty() const { return frames.empty(); }
};

// The frames of GIF or WebP bytes (kind Gif or Webp; any other kind gives none), name used in
// messages only. A GIF is composed as its Graphic Control Extensions say (disposal none and
// "keep" leave the frame; "background" clears its rectangle to transparent; "previous" restores
// what was under it; a transparent index shows what lies beneath). A WebP is composed as its ANMF
// chunks say (alpha-blended or not, disposed to transparent or not). Throws Failure naming `name`
// when any frame is damaged or cut short (nothing is returned half), when the animation has more
// than kMaxAnimationFrames (picture.h) frames, or when its frames together would take more than
// kMaxPictureBytes at 4 bytes a pixel. Colours are as stored: the caller converts them.
DecodedAnimation DecodeAnimation(const QByteArray &bytes, ContentKind kind, const QString &name);
