// SPDX-License-Identifier: GPL-3.0-or-later
// A run of frames made one at a time on demand: the numbered files, the animations, the sprite
// sheet and the output dialog's preview all take their frames from here, so what the preview shows
// is what is written.
#pragma once

#include <QImage>
#include <QRgb>
#include <QSize>
#include <QString>

#include <memory>

class BmpFrameWriter;

class FrameRun {
  public:
    virtual ~FrameRun() = default;
    virtual int count() const = 0;
    // The frames' size. Frames may differ in size (found sprites, pictures packed): this is then
    // the largest width and the largest height, the one size an animation or a sheet gives every
    // frame, each set in the middle on surround().
    virtual QSize frameSize() const = 0;
    // The colour around a frame set on frameSize(): the background it was found on. Transparent
    // for a run with alpha, else white, unless the run knows better.
    virtual QRgb surround() const;
    // Whether the frames carry alpha: cuts of a picture with transparency. Otherwise the frames are
    // 24-bit.
    virtual bool hasAlpha() const = 0;
    // The places the run left out: tiles of a grid that are a single colour, when asked to.
    virtual int skipped() const { return 0; }
    // Frame k, 1 .. count(), in any order; each costs only its own making, so a run of thousands
    // can be shown as it is made. The picture is valid until the next call on the run.
    virtual const QImage &frame(int k) = 0;
    // Writes frame k as a 24-bit BMP; a run that can make the file's rows directly does so.
    virtual void writeBmp(int k, const QString &path, BmpFrameWriter &writer);
    // How long frame k is shown, in milliseconds, for a run with times of its own (the cut of an
    // animation); 0 when the output's one delay applies.
    virtual int delayMs(int k) const;
    // Frame k as an animation of its own: for the tiles and sprites of an animated picture, that
    // place cut from every frame of the picture, with its delays; for any other run, frame k
    // alone. Valid until the next call on the run.
    virtual std::unique_ptr<FrameRun> animationOf(int k);
};
