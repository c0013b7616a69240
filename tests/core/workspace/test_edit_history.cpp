// SPDX-License-Identifier: GPL-3.0-or-later
// The edit history: what a step puts back, and the memory it may keep.
#include "core/image/picture.h"
#include "core/workspace/edit_history.h"

#include <gtest/gtest.h>

namespace {

// A picture of its own pixels (no two calls share a buffer), width x height.
QImage picture(int width, int height, int shade)
{
    QImage made(width, height, kPictureFormat);
    made.fill(QColor(shade, 255 - shade, 128));
    return made;
}

struct Editing {
    Workspace ws;
    EditHistory history;
    Editing(const QImage &loaded, QSize cut, qint64 limit = kHistoryByteLimit) : history(limit)
    {
        SetWorkPicture(ws, loaded);
        ws.CutWidth = cut.width();
        ws.CutHeight = cut.height();
    }
    // As the window applies an edit of any kind: the size may change and the cut is lowered.
    void edit(const QString &name, const QImage &result)
    {
        const EditState before = CurrentEditState(ws);
        PlaceEditResult(ws, result, EditResultKind::ChangesSize);
        history.record(name, before, ws);
    }
    QSize canvas() const { return {ws.CanvasWidth, ws.CanvasHeight}; }
    QSize cut() const { return {ws.CutWidth, ws.CutHeight}; }
    QPoint frame() const { return {ws.FrameX, ws.FrameY}; }
};

} // namespace

// Mistakes: the cut left lowered after taking back a shrink; a cut size chosen after the edit
// thrown away; the frame left outside a smaller picture; the picture put back as a copy.
TEST(EditHistory, StepsPutBackPictureCanvasAndCutAndKeepTheFrameInside)
{
    const QImage loaded = picture(400, 300, 10);
    Editing e(loaded, {300, 200});
    e.ws.FrameX = 90;
    e.ws.FrameY = 80;
    e.edit(QStringLiteral("拡大縮小"), picture(100, 75, 20));
    ASSERT_EQ(e.cut(), QSize(100, 75));

    e.history.undo(e.ws);
    EXPECT_EQ(e.ws.WorkImage.constBits(), loaded.constBits());
    EXPECT_EQ(e.canvas(), QSize(400, 300));
    EXPECT_EQ(e.cut(), QSize(300, 200)); // as it was with that picture
    EXPECT_EQ(e.frame(), QPoint(90, 80));
    EXPECT_EQ(e.history.redoName(), QStringLiteral("拡大縮小"));

    e.history.redo(e.ws);
    EXPECT_EQ(e.canvas(), QSize(100, 75));
    EXPECT_EQ(e.cut(), QSize(100, 75));
    EXPECT_EQ(e.frame(), QPoint(0, 0));

    e.ws.CutWidth = 40; // chosen in the cut-size dialog after the edit
    e.ws.CutHeight = 30;
    e.history.undo(e.ws);
    EXPECT_EQ(e.cut(), QSize(40, 30));
    e.ws.CutWidth = 350; // chosen on the large picture, then the small one comes back
    e.ws.CutHeight = 250;
    e.history.redo(e.ws);
    EXPECT_EQ(e.cut(), QSize(100, 75));
}

// Mistakes: pixels shared by two steps counted twice (steps dropped too early); the limit
// checked only when an edit is recorded, not when going back to a smaller picture leaves a larger
// one behind. (The window's test sees the oldest step go first.)
TEST(EditHistory, CountsSharedPixelsOnceAndHoldsTheLimitBothWays)
{
    const QImage loaded = picture(64, 64, 0);
    const qint64 one = loaded.sizeInBytes();
    Editing shared(loaded, {10, 10}, 2 * one);
    shared.edit(QStringLiteral("e1"), picture(64, 64, 1));
    shared.edit(QStringLiteral("e2"), shared.ws.WorkImage); // changed nothing: shares e1's result
    shared.edit(QStringLiteral("e3"), shared.ws.WorkImage);
    EXPECT_EQ(shared.history.undoCount(), 3);
    EXPECT_EQ(shared.history.byteCount(), 2 * one);

    // 2 + 1 units held; going back to the 1-unit picture leaves 2 + 2 behind with a limit of 3.
    Editing s(picture(64, 128, 1), {10, 10}, 3 * one);
    s.edit(QStringLiteral("shrink"), picture(64, 64, 2));
    s.edit(QStringLiteral("enlarge"), picture(64, 128, 3));
    s.history.undo(s.ws);
    EXPECT_LE(s.history.byteCount(), 3 * one);
    EXPECT_FALSE(s.history.canUndo()); // the oldest went
    EXPECT_EQ(s.history.redoName(), QStringLiteral("enlarge"));
}
