// SPDX-License-Identifier: GPL-3.0-or-later
// Packed atlases: frames trimmed of their transparent borders if asked, identical frames stored
// once, packed by PackRectangles into one picture with alpha, padding between them, a border
// round the edge and each frame's edge pixels repeated outward against seams.
#pragma once

#include <QImage>
#include <QRect>
#include <QSize>

#include <functional>
#include <vector>

// Engines and graphics cards take 4096 x 4096 textures nearly everywhere; larger is the user's
// choice.
inline constexpr int kDefaultAtlasMaxSize = 4096;
inline constexpr int kMaxAtlasSize = 32768;
// Spacing beyond this is no spacing any engine needs, only a way to make a huge picture.
inline constexpr int kMaxAtlasSpacing = 1024;

struct AtlasOptions {
    bool trim = false; // frames lose their fully transparent borders
    int padding = 0;   // pixels between two frames (their extruded edges included)
    int border = 0;    // pixels between the frames and the atlas's edge
    int extrude = 0;   // pixels of each frame's edge repeated outward
    bool powerOfTwo = false;
    int maxSize = kDefaultAtlasMaxSize;
    bool keepDuplicates = false; // identical frames each stored, not once
};

// Where one frame's pixels are in the atlas.
struct AtlasFrame {
    QRect rect;      // in the atlas, without the extruded edge
    QRect kept;      // the same pixels within the frame: all of it unless trimmed
    QSize frameSize; // the frame's own size
    int storedAs; // the frame (from 0) whose pixels these are: itself, or an identical one before
};

struct AtlasLayout {
    QSize size;
    std::vector<AtlasFrame> frames; // frame k at [k - 1]
};

// Frame k (from 1) of the frames an atlas holds, valid until the next call.
using AtlasFrameSource = std::function<const QImage &(int k)>;

// The smallest part of frame holding every pixel that is not fully transparent: the whole of a
// frame without alpha. A frame with no such pixel keeps its top-left pixel, since a frame of no
// pixels is no texture to an engine.
QRect OpaqueBounds(const QImage &frame);

// Where count frames go: each frame looked at once (and an earlier frame made again where their
// pixels may be equal), packed by PackRectangles with options. looked(k) is told after frame k.
// Throws Failure when they do not fit in options.maxSize, or when the atlas would exceed the
// picture limit.
AtlasLayout LayOutAtlas(int count, const AtlasFrameSource &frame, const AtlasOptions &options,
                        const std::function<void(int k)> &looked = {});

// The atlas picture: 32-bit with alpha, transparent between the frames, each stored frame's kept
// pixels at its rect and its edge repeated options.extrude pixels outward (the corners taking the
// corner pixel). placed(k) is told after frame k is placed.
QImage DrawAtlas(const AtlasLayout &layout, const AtlasFrameSource &frame,
                 const AtlasOptions &options, const std::function<void(int k)> &placed = {});
