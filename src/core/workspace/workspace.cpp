// SPDX-License-Identifier: GPL-3.0-or-later
// The workspace routines that need no window.
#include "core/workspace/workspace.h"

#include "core/image/picture.h"

#include <algorithm>
#include <cstring>

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

void ClampFrame(Workspace &ws)
{
    // The order of the tests matters when the cut is larger than the canvas (possible before the
    // first picture): the right-edge rule wins and the position goes negative. The first picture
    // lowers the cut to fit, and the next clamp brings the frame back inside.
    if (ws.FrameX < 0)
        ws.FrameX = 0;
    else if (ws.FrameX > ws.CanvasWidth - ws.CutWidth)
        ws.FrameX = ws.CanvasWidth - ws.CutWidth;
    if (ws.FrameY < 0)
        ws.FrameY = 0;
    else if (ws.FrameY > ws.CanvasHeight - ws.CutHeight)
        ws.FrameY = ws.CanvasHeight - ws.CutHeight;
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
    if (ws.CutImage.size() != QSize(ws.CutWidth, ws.CutHeight) ||
        ws.CutImage.format() != kPictureFormat)
        ws.CutImage = WhitePicture(ws.CutWidth, ws.CutHeight);

    const QRect cut(ws.FrameX, ws.FrameY, ws.CutWidth, ws.CutHeight);
    const QRect inside = cut.intersected(ws.WorkImage.rect());
    if (inside.isEmpty())
        return;
    // A picture of another depth is converted only where the frame lies.
    const QImage source =
        ws.WorkImage.format() == kPictureFormat ? ws.WorkImage : To24Bit(ws.WorkImage.copy(inside));
    const QPoint origin = ws.WorkImage.format() == kPictureFormat ? inside.topLeft() : QPoint();
    const size_t rowBytes = size_t(inside.width()) * 3;
    for (int row = 0; row < inside.height(); ++row) {
        const uchar *from = source.constScanLine(origin.y() + row) + 3 * origin.x();
        uchar *to = ws.CutImage.scanLine(inside.y() - cut.y() + row) + 3 * (inside.x() - cut.x());
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
