// SPDX-License-Identifier: GPL-3.0-or-later
// set.ini on any bytes: read it, write a record into it, and read back exactly that record; then
// start a cut frame from it as the window does before the first picture (the stored cut size,
// whatever it is), put it on a picture and move it anywhere: it must stay inside.
#include "core/image/alpha.h"
#include "core/workspace/cut_frame.h"
#include "core/workspace/picture_document.h"
#include "core/workspace/settings.h"

#include "fuzz_target.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray text = FuzzInput(data, size);
    SettingsRecord record = ParseSettings(text);

    CutFrame frame(QSize(record.cutWidth, record.cutHeight));
    frame.moveTo({record.windowTop, record.windowLeft}); // any position: nothing to keep it in yet
    Require(frame.size().width() >= 1 && frame.size().height() >= 1);
    frame.setPictureSize(kStartPictureSize);
    frame.moveTo({record.windowWidth, record.windowHeight});
    frame.nudge(1, -1, NudgeSize::Tile);
    Require(QRect(QPoint(0, 0), kStartPictureSize).contains(frame.rect()));
    QImage cut;
    CopyOverWhite(QImage(kStartPictureSize, QImage::Format_BGR888), frame.rect(), cut);
    Require(cut.size() == frame.size());

    record.windowTop ^= 0x5a5a;
    record.cutHeight = ~record.cutHeight; // -h - 1, without overflow at the lowest value
    const QByteArray written = UpdateSettings(text, record);
    Require(ParseSettings(written) == record);
    Require(UpdateSettings(written, record) == written);
    return 0;
}
