// SPDX-License-Identifier: GPL-3.0-or-later
// set.ini on any bytes: read it, write a record into it, and read back exactly that record; then
// start a workspace from it as the window does before the first picture (the stored cut size,
// whatever it is, against the starting canvas).
#include "core/workspace/settings.h"
#include "core/workspace/workspace.h"

#include "fuzz_target.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray text = FuzzInput(data, size);
    SettingsRecord record = ParseSettings(text);

    Workspace ws;
    ws.WindowSettings = record;
    ws.CutWidth = record.cutWidth;
    ws.CutHeight = record.cutHeight;
    ws.FrameX = record.windowTop; // any position, as a drag before the first picture could leave it
    ws.FrameY = record.windowLeft;
    ResetCanvasImages(ws, kStartCanvasWidth, kStartCanvasHeight);
    ClampFrame(ws);
    FillCutImage(ws);
    Require(ws.CutImage.isNull() || ws.CutImage.size() == QSize(ws.CutWidth, ws.CutHeight));
    LowerCutToCanvas(ws);
    ClampFrame(ws);
    Require(ws.CutWidth > 0 ? ws.FrameX >= 0 && ws.FrameX + ws.CutWidth <= ws.CanvasWidth : true);
    FillCutImage(ws);

    record.windowTop ^= 0x5a5a;
    record.cutHeight = ~record.cutHeight; // -h - 1, without overflow at the lowest value
    const QByteArray written = UpdateSettings(text, record);
    Require(ParseSettings(written) == record);
    Require(UpdateSettings(written, record) == written);
    return 0;
}
