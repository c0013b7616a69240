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
// messages only. A GIF is composed on its logical screen, widened to the first image where that
// reaches beyond it (as the still reader decodes it, so that frame 1 is the still picture), every
// later image clipped to it; the screen starts transparent. Its Graphic Control Extensions say
// how (disposal none and "keep" leave the frame; "background" clears its rectangle to
// transparent, not to the background colour; "previous", and the value 4 some writers use for
// it, restores what was under it); a transparent index, and an index beyond the colour table,
// show what lies beneath. A WebP is composed by libwebp as its ANMF chunks say (alpha-blended or
// not, disposed to transparent or not), and its ICC profile is every frame's colorSpace(). Throws
// Failure naming `name` when any frame is damaged or cut short, or a GIF lacks its trailer
// (nothing is returned half), when the animation has more than kMaxAnimationFrames (picture.h)
// frames, when its frames together would take more than kMaxPictureBytes at 4 bytes a pixel (or a
// GIF's images, before clipping, hold more than kMaxPictureBytes pixels), or when its canvas is
// larger than kPixelsDecodedFreely and declares more pixels than its bytes could code (as
// DecodePicture does): all before any pixel is decoded. A byte that starts no GIF block ends the
// file, as browsers read it. Colours are as stored: the caller converts them.
DecodedAnimation DecodeAnimation(const QByteArray &bytes, ContentKind kind, const QString &name);
