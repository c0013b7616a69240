// SPDX-License-Identifier: GPL-3.0-or-later
// The picture document and its history: what an edit and a step put back, and the memory the
// history may keep.
#include "core/image/picture.h"
#include "core/workspace/picture_document.h"

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
    PictureDocument document;
    CutFrame frame;
    EditHistory &history;
    Editing(const QImage &loaded, QSize cut, qint64 limit = kHistoryByteLimit)
        : frame(cut), history(document.history())
    {
        document.load(loaded, frame);
        history.setByteLimit(limit);
    }
    void edit(const QString &name, const QImage &result)
    {
        document.applyEdit(name, result, frame);
    }
    void chooseCut(QSize cut) { frame.setSize(cut); }
    QSize canvas() const { return document.size(); }
    QSize cut() const { return frame.size(); }
};

} // namespace

// Mistakes: the cut left lowered after taking back a shrink; a cut size chosen after the edit
// thrown away; the frame left outside a smaller picture; the picture put back as a copy.
TEST(EditHistory, StepsPutBackPictureCanvasAndCutAndKeepTheFrameInside)
{
    const QImage loaded = picture(400, 300, 10);
    Editing e(loaded, {300, 200});
    e.frame.moveTo({90, 80});
    e.edit(QStringLiteral("拡大縮小"), picture(100, 75, 20));
    ASSERT_EQ(e.cut(), QSize(100, 75));
    EXPECT_EQ(e.frame.position(), QPoint(0, 0)); // inside the smaller picture

    EXPECT_TRUE(e.document.undo(e.frame));
    EXPECT_EQ(e.document.picture().constBits(), loaded.constBits());
    EXPECT_EQ(e.canvas(), QSize(400, 300));
    EXPECT_EQ(e.cut(), QSize(300, 200)); // as it was with that picture
    EXPECT_EQ(e.history.redoName(), QStringLiteral("拡大縮小"));

    EXPECT_TRUE(e.document.redo(e.frame));
    EXPECT_EQ(e.canvas(), QSize(100, 75));
    EXPECT_EQ(e.cut(), QSize(100, 75));
    EXPECT_EQ(e.frame.position(), QPoint(0, 0));

    e.chooseCut({40, 30}); // chosen in the cut-size dialog after the edit
    e.document.undo(e.frame);
    EXPECT_EQ(e.cut(), QSize(40, 30));
    e.chooseCut({350, 250}); // chosen on the large picture, then the small one comes back
    e.document.redo(e.frame);
    EXPECT_EQ(e.cut(), QSize(100, 75));
    EXPECT_EQ(e.document.loadedPicture().constBits(), loaded.constBits()); // edits never touch it
}

// Mistakes: 元に戻す recorded when the picture is already the one loaded; the capture's shrink not
// becoming the picture 元に戻す returns to; a new picture keeping the old steps.
TEST(PictureDocument, RevertLoadAndKeepAsLoaded)
{
    const QImage loaded = picture(40, 30, 10);
    Editing e(loaded, {20, 20});
    e.document.revertToLoaded(QStringLiteral("元に戻す"), e.frame);
    EXPECT_FALSE(e.history.canUndo());
    e.edit(QStringLiteral("ぼかし"), picture(40, 30, 20));
    e.document.revertToLoaded(QStringLiteral("元に戻す"), e.frame);
    EXPECT_EQ(e.document.picture().constBits(), loaded.constBits());
    EXPECT_EQ(e.history.undoName(), QStringLiteral("元に戻す"));

    e.edit(QStringLiteral("縮小"), picture(20, 15, 30));
    e.document.keepAsLoaded();
    EXPECT_EQ(e.document.loadedPicture().size(), QSize(20, 15));
    e.document.load(picture(8, 8, 40), e.frame);
    EXPECT_FALSE(e.history.canUndo());
    EXPECT_EQ(e.cut(), QSize(8, 8));
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
    shared.edit(QStringLiteral("e2"), shared.document.picture()); // shares e1's result
    shared.edit(QStringLiteral("e3"), shared.document.picture());
    EXPECT_EQ(shared.history.undoCount(), 3);
    EXPECT_EQ(shared.history.byteCount(), 2 * one);

    // 2 + 1 units held; going back to the 1-unit picture leaves 2 + 2 behind with a limit of 3.
    Editing s(picture(64, 128, 1), {10, 10}, 3 * one);
    s.edit(QStringLiteral("shrink"), picture(64, 64, 2));
    s.edit(QStringLiteral("enlarge"), picture(64, 128, 3));
    s.document.undo(s.frame);
    EXPECT_LE(s.history.byteCount(), 3 * one);
    EXPECT_FALSE(s.history.canUndo()); // the oldest went
    EXPECT_EQ(s.history.redoName(), QStringLiteral("enlarge"));
}

// Mistakes: an edit of an animation applied to the frame shown alone; an undo that puts back one
// frame; a failing edit of a later frame leaving the earlier ones changed; the frames' memory not
// counted.
TEST(PictureDocument, AnEditOfAnAnimationChangesEveryFrameAndUndoPutsThemAllBack)
{
    const Frames loaded{picture(40, 30, 10), picture(40, 30, 20), picture(40, 30, 30)};
    PictureDocument document;
    CutFrame frame(QSize(20, 20));
    document.loadAnimation(loaded, {50, 60, 70}, frame);
    document.showFrame(2);
    document.applyEdit(
        QStringLiteral("縮小"), [](const QImage &each) { return each.scaled(20, 15); }, frame);
    ASSERT_EQ(document.frames().size(), 3u);
    for (const QImage &each : document.frames())
        EXPECT_EQ(each.size(), QSize(20, 15));
    EXPECT_EQ(document.shownFrame(), 2);
    EXPECT_EQ(document.history().byteCount(), 3 * loaded[0].sizeInBytes());

    int edited = 0;
    EXPECT_THROW(document.applyEdit(
                     QStringLiteral("回転"),
                     [&](const QImage &each) {
                         if (++edited == 2)
                             throw std::runtime_error("no memory");
                         return each;
                     },
                     frame),
                 std::runtime_error);
    EXPECT_EQ(document.history().undoName(), QStringLiteral("縮小"));

    EXPECT_TRUE(document.undo(frame));
    for (size_t f = 0; f < loaded.size(); ++f)
        EXPECT_EQ(document.frames()[f].constBits(), loaded[f].constBits());
    EXPECT_EQ(document.delaysMs(), (std::vector<int>{50, 60, 70}));
    EXPECT_EQ(frame.pictureSize(), QSize(40, 30));
}
