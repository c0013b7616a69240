// SPDX-License-Identifier: GPL-3.0-or-later
// What the GIF and WebP animation readers share: the bounds every animation is checked against
// before a pixel is decoded, and the one format its frames come in.
#pragma once

#include "core/image/animation_reading.h"

#include <QByteArray>
#include <QSize>
#include <QString>

// Throws Failure naming `name` (kind the word for the file's kind, "GIF") when an animation of
// `frames` frames on a canvas of `canvas` cannot be read: an empty canvas (a damaged file), one
// beyond the picture limit or beyond what fileBytes could code (ExceedsCodedPixels, as for a
// still picture), more than kMaxAnimationFrames frames, or frames that together take more than
// kMaxPictureBytes at 4 bytes a pixel.
void CheckAnimationBounds(QSize canvas, qint64 frames, qint64 fileBytes, QStringView kind,
                          const QString &name);

// "アニメーションが大きすぎます: W x H のフレームが N 枚".
QString AnimationTooLargeText(QSize canvas, qint64 frames);

// The frames, all 32-bit ARGB, in their final format: kept when any pixel of any frame is not
// opaque, else every frame made kPictureFormat.
void SettleAnimationFormat(DecodedAnimation &animation);

// The readers of each kind, as DecodeAnimation describes; empty for a file of one frame.
DecodedAnimation DecodeGifAnimation(const QByteArray &bytes, const QString &name);
DecodedAnimation DecodeWebpAnimation(const QByteArray &bytes, const QString &name);
