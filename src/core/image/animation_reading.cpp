// SPDX-License-Identifier: GPL-3.0-or-later
// Animated GIF and WebP: the bounds and the format their frames share, and the reader of each kind.
#include "core/image/animation_reading.h"

#include "core/base/files.h"
#include "core/image/animation_frames.h"
#include "core/image/picture.h"

#include <QCoreApplication>

namespace {

bool isOpaque(const QImage &frame)
{
    for (int y = 0; y < frame.height(); ++y) {
        const auto *row = reinterpret_cast<const QRgb *>(frame.constScanLine(y));
        for (int x = 0; x < frame.width(); ++x) {
            if (qAlpha(row[x]) != 255)
                return false;
        }
    }
    return true;
}

} // namespace

void CheckAnimationBounds(QSize canvas, qint64 frames, qint64 fileBytes, QStringView kind,
                          const QString &name)
{
    if (canvas.isEmpty())
        throw ReadFailure(name, DamagedFileText(kind));
    const qint64 w = canvas.width(), h = canvas.height();
    if (ExceedsPictureLimit(w, h))
        throw ReadFailure(name, PictureTooLargeText(w, h));
    if (ExceedsCodedPixels(w, h, fileBytes))
        throw ReadFailure(name, TooLittleDataText(kind, w, h));
    if (frames > kMaxAnimationFrames)
        throw ReadFailure(
            name, QCoreApplication::translate("AnimationReading",
                                              "アニメーションのフレームが多すぎます: %1 (上限 %2)")
                      .arg(frames)
                      .arg(kMaxAnimationFrames));
    // Every frame is kept whole at 4 bytes a pixel until the last is read. w x h is within the
    // picture limit and frames within kMaxAnimationFrames, so the product fits 64 bits.
    if (frames * w * h * 4 > kMaxPictureBytes)
        throw ReadFailure(name, AnimationTooLargeText(canvas, frames));
}

QString AnimationTooLargeText(QSize canvas, qint64 frames)
{
    return QCoreApplication::translate("AnimationReading",
                                       "アニメーションが大きすぎます: %1 x %2 のフレームが %3 枚")
        .arg(canvas.width())
        .arg(canvas.height())
        .arg(frames);
}

void SettleAnimationFormat(DecodedAnimation &animation)
{
    std::vector<QImage> &frames = animation.frames;
    for (size_t k = 0; k < frames.size(); ++k) {
        // A frame that repeats the one before shares its pixels: looked at once.
        if (k > 0 && frames[k].cacheKey() == frames[k - 1].cacheKey())
            continue;
        if (!isOpaque(frames[k]))
            return;
    }
    qint64 previousKey = 0;
    for (size_t k = 0; k < frames.size(); ++k) {
        const qint64 key = frames[k].cacheKey();
        // Every pixel is opaque: a plain conversion keeps each colour exactly. Frames that shared
        // their pixels still do, and each 32-bit frame goes once converted.
        if (k > 0 && key == previousKey)
            frames[k] = frames[k - 1];
        else
            frames[k] = frames[k].convertToFormat(kPictureFormat);
        previousKey = key;
    }
}

DecodedAnimation DecodeAnimation(const QByteArray &bytes, ContentKind kind, const QString &name)
{
    PreparePictureReading();
    if (kind == ContentKind::Gif)
        return DecodeGifAnimation(bytes, name);
    if (kind == ContentKind::Webp)
        return DecodeWebpAnimation(bytes, name);
    return {};
}
