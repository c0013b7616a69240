// SPDX-License-Identifier: GPL-3.0-or-later
// The workspace routines that need no window.
#include "core/workspace/workspace.h"

#include "core/image/picture.h"

#include <algorithm>
#include <cstring>
#include <limits>

void SetPresets(Workspace &ws, const std::vector<Preset> &presets)
{
    ws.PresetCount = int32_t(std::min<size_t>(presets.size(), kMaxPresets));
    for (int i = 0; i < ws.PresetCount; ++i) {
        ws.PresetNames[i] = presets[i].name;
        ws.PresetWidths[i] = presets[i].width;
        ws.PresetHeights[i] = presets[i].height;
    }
}

void SetWorkPicture(Workspace &ws, const QImage &picture)
{
    ws.WorkImage = picture;
    ws.UndoImage = picture; // shared until one of them changes; edits never touch UndoImage
    ws.CanvasWidth = picture.width();
    ws.CanvasHeight = picture.height();
}

void ResetCanvasImages(Workspace &ws, int width, int height)
{
    ws.WorkImage = WhitePicture(width, height);
    ws.CutImage = WhitePicture(width, height);
    ws.FrameImage = WhitePicture(width, height);
    ws.ViewImage = WhitePicture(width, height);
    ws.BlendImage = WhitePicture(width, height);
    ws.UndoImage = QImage();
    ws.CanvasWidth = width;
    ws.CanvasHeight = height;
}

void LowerCutToCanvas(Workspace &ws)
{
    ws.CutWidth = std::min(ws.CutWidth, ws.CanvasWidth);
    ws.CutHeight = std::min(ws.CutHeight, ws.CanvasHeight);
}

namespace {

// One axis of the frame clamp. The last position is worked out in 64 bits: a cut size read from
// set.ini can be any 32-bit value, negative ones included, and the difference need not fit in 32
// bits; a last position beyond them leaves every valid position alone.
int32_t clampedPosition(int32_t position, int32_t canvas, int32_t cut)
{
    const int64_t last = int64_t(canvas) - cut;
    if (position < 0)
        return 0;
    return position > last ? int32_t(std::max<int64_t>(last, std::numeric_limits<int32_t>::min()))
                           : position;
}

} // namespace

void ClampFrame(Workspace &ws)
{
    // The order of the tests matters when the cut is larger than the canvas (possible before the
    // first picture): the right-edge rule wins and the position goes negative. The first picture
    // lowers the cut to fit, and the next clamp brings the frame back inside.
    ws.FrameX = clampedPosition(ws.FrameX, ws.CanvasWidth, ws.CutWidth);
    ws.FrameY = clampedPosition(ws.FrameY, ws.CanvasHeight, ws.CutHeight);
}

void NudgeFrame(Workspace &ws, int dx, int dy, NudgeSize size)
{
    const auto stepOf = [size](int32_t cutSide) {
        switch (size) {
        case NudgeSize::Pixel: return 1;
        case NudgeSize::TenPixels: return 10;
        case NudgeSize::Tile: return int(cutSide);
        }
        return 1;
    };
    // 64-bit, then clamped: a step past the edge must stop there, not wrap around.
    const auto moved = [](int32_t at, int direction, int step) {
        return int32_t(
            std::clamp<int64_t>(int64_t(at) + int64_t(direction) * step, INT32_MIN, INT32_MAX));
    };
    ws.FrameX = moved(ws.FrameX, dx, stepOf(ws.CutWidth));
    ws.FrameY = moved(ws.FrameY, dy, stepOf(ws.CutHeight));
    ClampFrame(ws);
}

void FillCutImage(Workspace &ws)
{
    // A cut size read from set.ini can be anything until the first picture lowers it to the
    // canvas: a side below 1, or a size beyond any picture, gives no cut at all.
    if (ws.CutWidth < 1 || ws.CutHeight < 1 || ExceedsPictureLimit(ws.CutWidth, ws.CutHeight)) {
        ws.CutImage = QImage();
        return;
    }
    if (ws.CutImage.size() != QSize(ws.CutWidth, ws.CutHeight) ||
        ws.CutImage.format() != kPictureFormat)
        ws.CutImage = WhitePicture(ws.CutWidth, ws.CutHeight);
    if (ws.CutImage.isNull())
        return; // no memory for it

    // The frame's overlap with the picture, in 64 bits: the frame's far edges need not fit in 32.
    const int64_t left = std::max<int64_t>(ws.FrameX, 0);
    const int64_t top = std::max<int64_t>(ws.FrameY, 0);
    const int64_t right = std::min<int64_t>(int64_t(ws.FrameX) + ws.CutWidth, ws.WorkImage.width());
    const int64_t bottom =
        std::min<int64_t>(int64_t(ws.FrameY) + ws.CutHeight, ws.WorkImage.height());
    if (left >= right || top >= bottom)
        return;
    const QRect inside(int(left), int(top), int(right - left), int(bottom - top));
    // A picture of another depth is converted only where the frame lies.
    const QImage source =
        ws.WorkImage.format() == kPictureFormat ? ws.WorkImage : To24Bit(ws.WorkImage.copy(inside));
    const QPoint origin = ws.WorkImage.format() == kPictureFormat ? inside.topLeft() : QPoint();
    const size_t rowBytes = size_t(inside.width()) * 3;
    for (int row = 0; row < inside.height(); ++row) {
        const uchar *from = source.constScanLine(origin.y() + row) + 3 * origin.x();
        uchar *to = ws.CutImage.scanLine(int(qsizetype(inside.y()) - ws.FrameY + row)) +
                    3 * (qsizetype(inside.x()) - ws.FrameX);
        std::memcpy(to, from, rowBytes);
    }
}

void PlaceEditResult(Workspace &ws, const QImage &result, EditResultKind kind)
{
    ws.WorkImage = To24Bit(result);
    if (kind != EditResultKind::ChangesSize)
        return;
    ws.CanvasWidth = ws.WorkImage.width();
    ws.CanvasHeight = ws.WorkImage.height();
    LowerCutToCanvas(ws);
}
