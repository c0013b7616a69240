// SPDX-License-Identifier: GPL-3.0-or-later
// The canvas view: the outline's pixels, and the step-by-step view against a full copy.
#include "core/image/picture.h"
#include "core/workspace/view_composer.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

namespace {

QImage noise(int width, int height, quint32 seed)
{
    QImage picture(width, height, kPictureFormat);
    QRandomGenerator random(seed);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width * 3; ++x)
            picture.scanLine(y)[x] = uchar(random.bounded(1, 256)); // never black: outline shows
    return picture;
}

// What the view must be: the picture with the outline painted black, computed the plain way.
QImage expectedView(const QImage &work, const QRect &frame)
{
    QImage view = To24Bit(work).copy();
    for (int y = 0; y < view.height(); ++y)
        for (int x = 0; x < view.width(); ++x) {
            const bool onColumn = (x == frame.left() || x == frame.right()) && y >= frame.top() &&
                                  y <= frame.bottom();
            const bool onRow = (y == frame.top() || y == frame.bottom()) && x >= frame.left() &&
                               x <= frame.right();
            if (onColumn || onRow)
                view.setPixel(x, y, qRgb(0, 0, 0));
        }
    return view;
}

TEST(CanvasView, OutlineLiesOnTheOutermostPixelsOfTheCut)
{
    const QImage work = noise(30, 20, 1);
    QImage view;
    ViewComposer composer;
    composer.compose(work, view, QRect(10, 10, 4, 3));
    for (int y = 9; y <= 13; ++y)
        for (int x = 9; x <= 14; ++x) {
            const bool outline =
                (y == 10 || y == 12) ? (x >= 10 && x <= 13) : (y == 11 && (x == 10 || x == 13));
            if (outline)
                EXPECT_EQ(view.pixel(x, y), qRgb(0, 0, 0)) << x << "," << y;
            else
                EXPECT_EQ(view.pixel(x, y), work.pixel(x, y)) << x << "," << y;
        }
    EXPECT_EQ(view.pixel(11, 11), work.pixel(11, 11));
}

TEST(CanvasView, OutlineIsClippedToThePicture)
{
    EXPECT_EQ(FrameOutline(QRect(-5, -5, 10, 10), QSize(20, 20)),
              QRegion(0, 4, 5, 1) + QRegion(4, 0, 1, 5));
    EXPECT_TRUE(FrameOutline(QRect(0, 0, 0, 5), QSize(20, 20)).isEmpty());
    EXPECT_EQ(FrameOutline(QRect(2, 3, 1, 1), QSize(20, 20)), QRegion(2, 3, 1, 1));
}

TEST(CanvasView, EachStepOfADragEqualsAFullRedraw)
{
    const QImage work = noise(64, 48, 2);
    QImage view;
    ViewComposer composer;
    QRandomGenerator random(3);
    for (int step = 0; step < 200; ++step) {
        const int w = random.bounded(1, 30), h = random.bounded(1, 30);
        const QRect frame(random.bounded(0, 64 - w + 1), random.bounded(0, 48 - h + 1), w, h);
        composer.compose(work, view, frame);
        ASSERT_EQ(view, expectedView(work, frame)) << "step " << step;
    }
}

TEST(CanvasView, AChangedPictureIsCopiedAgain)
{
    QImage work = noise(40, 30, 4);
    QImage view;
    ViewComposer composer;
    const QRect frame(5, 5, 10, 10);
    composer.compose(work, view, frame);

    // Edited in place: the same QImage, new pixels.
    work.scanLine(20)[60] ^= 0xff;
    const QRegion changed = composer.compose(work, view, frame);
    EXPECT_EQ(changed.boundingRect(), work.rect());
    EXPECT_EQ(view, expectedView(work, frame));

    // Replaced by a picture of another size and depth.
    QImage palette(25, 15, QImage::Format_Indexed8);
    palette.setColorTable({qRgb(9, 8, 7), qRgb(200, 100, 50)});
    for (int y = 0; y < 15; ++y)
        for (int x = 0; x < 25; ++x)
            palette.setPixel(x, y, uint((x ^ y) & 1));
    composer.compose(palette, view, QRect(3, 2, 6, 5));
    EXPECT_EQ(view, expectedView(palette, QRect(3, 2, 6, 5)));
    composer.compose(palette, view, QRect(10, 4, 6, 5)); // the step-by-step path on a palette
    EXPECT_EQ(view, expectedView(palette, QRect(10, 4, 6, 5)));
}

TEST(CanvasView, AnUnchangedFrameChangesNothing)
{
    const QImage work = noise(20, 20, 5);
    QImage view;
    ViewComposer composer;
    composer.compose(work, view, QRect(1, 1, 5, 5));
    EXPECT_TRUE(composer.compose(work, view, QRect(1, 1, 5, 5)).isEmpty());
    const QRegion moved = composer.compose(work, view, QRect(2, 1, 5, 5));
    EXPECT_TRUE(moved.contains(QPoint(1, 1)));  // the old outline is put back
    EXPECT_TRUE(moved.contains(QPoint(6, 5)));  // the new one drawn
    EXPECT_FALSE(moved.contains(QPoint(3, 3))); // the inside is untouched
}

} // namespace
