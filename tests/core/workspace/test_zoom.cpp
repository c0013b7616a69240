// SPDX-License-Identifier: GPL-3.0-or-later
// The zoom: its steps, the mapping between view and picture pixels, the frame's marks, and the
// zoomed picture against a plain reference.
#include "core/image/picture.h"
#include "core/workspace/zoomed_view.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

#include <vector>

namespace {

// Every step, and zooms no step has: fit-to-window fractions and an enlargement of 7/3.
std::vector<Zoom> zoomsToTry()
{
    std::vector<Zoom> zooms(kZoomSteps.begin(), kZoomSteps.end());
    for (const Zoom odd : {MakeZoom(485, 4000), MakeZoom(97, 300), MakeZoom(7, 3), MakeZoom(5, 7)})
        zooms.push_back(odd);
    return zooms;
}

std::string name(Zoom zoom)
{
    return std::to_string(zoom.num) + "/" + std::to_string(zoom.den);
}

// A press on any view pixel must put the frame's corner on the picture pixel shown there, and
// that pixel's marks must pass under the pointer; the last view pixel must show the last picture
// pixel (or its box) and nothing lie beyond it. Catches a floor taken for a ceiling in either
// direction, at enlargements (a click on the right half of a square picks the next pixel), at
// reductions (the frame drawn one box off the pointer) and at odd zooms.
TEST(Zoom, ViewAndPicturePixelsMapBothWaysAtEveryZoom)
{
    for (const Zoom zoom : zoomsToTry())
        for (const int length : {1, 8, 37, 6000}) {
            const int view = ViewLength(length, zoom);
            ASSERT_GE(view, 1) << name(zoom);
            // The last view pixel shows the last picture pixel (below 100 %, its box holds it).
            if (zoom.reduces())
                EXPECT_LE(PictureAt(view - 1, zoom), length - 1) << name(zoom) << " " << length;
            else
                EXPECT_EQ(PictureAt(view - 1, zoom), length - 1) << name(zoom) << " " << length;
            EXPECT_GE(PictureAt(view, zoom), length) << name(zoom) << " length " << length;
            for (int s = 0; s < view; ++s) {
                const int p = PictureAt(s, zoom);
                const ViewSpan span = ViewSpanOf(p, p, zoom);
                ASSERT_TRUE(span.begin <= s && s < span.end)
                    << name(zoom) << " view pixel " << s << " picture pixel " << p;
            }
            // Every picture pixel is shown somewhere: none is skipped by a reduction.
            for (int p = 0; p < length; ++p) {
                const ViewSpan span = ViewSpanOf(p, p, zoom);
                ASSERT_LT(span.begin, span.end) << name(zoom) << " pixel " << p;
                ASSERT_LE(PictureAt(span.begin, zoom), p) << name(zoom) << " pixel " << p;
                ASSERT_GT(PictureAt(span.end, zoom), p) << name(zoom) << " pixel " << p;
            }
        }
    // Past the left edge (a drag) the pixel is negative, for the clamp to bring back to 0.
    EXPECT_EQ(PictureAt(-1, {8, 1}), -1);
    EXPECT_EQ(PictureAt(-1, {1, 8}), -8);
}

// Catches steps taken in the wrong order, a fit zoom that overflows the room or is not a whole
// number above 100 % (unequal squares), and a stored zoom that does not come back as it was.
TEST(Zoom, StepsFitAndStoredPercentages)
{
    EXPECT_EQ(ZoomIn({1, 1}), Zoom(2, 1));
    EXPECT_EQ(ZoomOut({1, 1}), Zoom(2, 3));
    EXPECT_EQ(ZoomIn({4, 1}), Zoom(6, 1));
    EXPECT_EQ(ZoomIn(kGreatestZoom), kGreatestZoom);
    EXPECT_EQ(ZoomOut(kLeastZoom), kLeastZoom);
    EXPECT_EQ(ZoomIn(MakeZoom(485, 4000)), Zoom(1, 8)); // from a fit zoom to the next step
    EXPECT_EQ(ZoomOut(MakeZoom(485, 4000)), Zoom(1, 16));

    const struct {
        QSize picture, room;
        Zoom expected;
    } fits[] = {
        {{6000, 4000}, {750, 485}, MakeZoom(485, 4000)},
        {{8, 8}, {750, 485}, {32, 1}},       // a sprite: the greatest zoom
        {{100, 100}, {750, 485}, {4, 1}},    // 4.85: whole squares
        {{750, 485}, {750, 485}, {1, 1}},    // already fits exactly
        {{40000, 100}, {750, 485}, {1, 16}}, // no less than the least zoom
        {{0, 0}, {750, 485}, {1, 1}},        // nothing to fit
    };
    for (const auto &fit : fits) {
        const Zoom zoom = FitZoom(fit.picture, fit.room);
        EXPECT_EQ(zoom, fit.expected) << fit.picture.width() << "x" << fit.picture.height();
        if (!(zoom == kLeastZoom) && !fit.picture.isEmpty()) {
            const QSize shown = ViewSize(fit.picture, zoom);
            EXPECT_TRUE(shown.width() <= fit.room.width() && shown.height() <= fit.room.height());
        }
    }

    for (const Zoom step : kZoomSteps)
        EXPECT_EQ(ZoomFromPercent(ZoomPercent(step)), step) << name(step);
    EXPECT_EQ(ZoomFromPercent(12), Zoom(1, 8)); // a fit zoom is restored as the nearest step
    EXPECT_EQ(ZoomFromPercent(-5), kLeastZoom);
    EXPECT_EQ(ZoomText({1, 8}), "12.5%");
    EXPECT_EQ(ZoomText({1, 16}), "6.3%");
    EXPECT_EQ(ZoomText({2, 3}), "67%");
    EXPECT_EQ(ZoomText({32, 1}), "3200%");
}

// The marks must stay on the picture, never cover the cut beyond its outer line, and show the
// whole outline wherever the frame stands. Catches the white line drawn inside the cut, marks
// painted past the picture at its edges, a black line thicker than one view pixel at an
// enlargement, and a frame that vanishes when a reduction squeezes it below one view pixel.
TEST(FrameMarks, HugTheCutInsideThePictureAtEveryZoom)
{
    const QSize picture(37, 23);
    const QRect frames[] = {{0, 0, 5, 4},   {32, 19, 5, 4}, {10, 7, 1, 1},
                            {0, 0, 37, 23}, {36, 0, 1, 23}, {3, 5, 12, 9}};
    for (const Zoom zoom : zoomsToTry())
        for (const QRect &frame : frames) {
            const FrameMarks marks = FrameMarksOf(frame, zoom, picture);
            const QRect area(QPoint(0, 0), ViewSize(picture, zoom));
            const QRect cut = ViewRectOf(frame, zoom);
            const QRegion edge = QRegion(cut) - QRegion(cut.adjusted(1, 1, -1, -1));
            const std::string where = name(zoom) + " frame at " + std::to_string(frame.x()) + "," +
                                      std::to_string(frame.y());
            EXPECT_TRUE((marks.all() - QRegion(area)).isEmpty()) << where;
            EXPECT_TRUE(marks.white.intersected(cut).isEmpty()) << where;
            EXPECT_FALSE(marks.black.isEmpty()) << where;
            EXPECT_EQ(marks.black, edge.intersected(area)) << where;
            const QPoint right(cut.right() + 1, cut.top()); // just outside, when on the picture
            EXPECT_EQ(marks.white.contains(right), area.contains(right)) << where;
        }
    // At 400 % a 3 x 2 cut at (2, 3) is the view rectangle (8, 12) 12 x 8: the lines meet on its
    // edge, one view pixel each, and the cut's own pixels show inside.
    const FrameMarks four = FrameMarksOf({2, 3, 3, 2}, {4, 1}, picture);
    EXPECT_EQ(four.black.boundingRect(), QRect(8, 12, 12, 8));
    EXPECT_EQ(four.white.boundingRect(), QRect(7, 11, 14, 10));
    EXPECT_FALSE(four.black.contains(QPoint(9, 13)));
}

QImage noise(int width, int height, quint32 seed)
{
    QImage picture(width, height, kPictureFormat);
    QRandomGenerator random(seed);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width * 3; ++x)
            picture.scanLine(y)[x] = uchar(random.bounded(256));
    return picture;
}

// A pixel as stored: premultiplied pixels as they are (QImage::pixel would take the alpha out).
QRgb storedPixel(const QImage &picture, int x, int y)
{
    if (picture.format() == QImage::Format_ARGB32_Premultiplied)
        return reinterpret_cast<const QRgb *>(picture.constScanLine(y))[x];
    return picture.pixel(x, y);
}

// The view pixel as the definition gives it: the shown pixel at 100 % and above, the mean of the
// box (halves up) below; for a picture with alpha, of its premultiplied channels.
QRgb expectedViewPixel(const QImage &work, Zoom zoom, QPoint s)
{
    const QImage source =
        work.hasAlphaChannel() ? work.convertToFormat(QImage::Format_ARGB32_Premultiplied) : work;
    const int x0 = PictureAt(s.x(), zoom), y0 = PictureAt(s.y(), zoom);
    if (!zoom.reduces())
        return storedPixel(source, x0, y0);
    const int x1 = std::min(PictureAt(s.x() + 1, zoom), work.width());
    const int y1 = std::min(PictureAt(s.y() + 1, zoom), work.height());
    int sum[4] = {0, 0, 0, 0};
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const QRgb c = storedPixel(source, x, y);
            sum[0] += qRed(c), sum[1] += qGreen(c), sum[2] += qBlue(c), sum[3] += qAlpha(c);
        }
    const int n = (x1 - x0) * (y1 - y0);
    return qRgba((sum[0] + n / 2) / n, (sum[1] + n / 2) / n, (sum[2] + n / 2) / n,
                 (sum[3] + n / 2) / n);
}

// Differential: the kept tiles and the sampled parts against the definition, over parts that
// cross tile borders and the picture's last row and column, for a 24-bit, a palette and a
// transparent picture (1/300: boxes too tall for 16-bit column sums).
// Catches a skipping reduction, a box cut short at a tile border or the picture's edge, a rounding
// turned the other way, alpha dropped or averaged apart from its colours, and tiles of an edited
// picture shown again.
TEST(ZoomedView, PartsEqualTheDefinitionAtEveryKindOfZoom)
{
    QImage palette(301, 157, QImage::Format_Indexed8);
    palette.setColorTable({qRgb(9, 8, 7), qRgb(200, 100, 51), qRgb(0, 255, 1)});
    for (int y = 0; y < palette.height(); ++y)
        for (int x = 0; x < palette.width(); ++x)
            palette.setPixel(x, y, uint((x * 7 + y * 3) % 3));
    QImage alpha(149, 97, QImage::Format_ARGB32);
    QRandomGenerator shades(5);
    for (int y = 0; y < alpha.height(); ++y)
        for (int x = 0; x < alpha.width(); ++x)
            alpha.setPixel(x, y, shades.generate());
    QImage pictures[] = {noise(301, 157, 7), palette, alpha};
    ZoomedView view;
    QRandomGenerator random(11);
    for (QImage &work : pictures)
        for (const Zoom zoom : {Zoom{1, 16}, Zoom{1, 3}, Zoom{2, 3}, MakeZoom(97, 300), Zoom{1, 1},
                                Zoom{3, 1}, MakeZoom(7, 3)}) {
            const QSize size = ViewSize(work.size(), zoom);
            for (int round = 0; round < 6; ++round) {
                const QRect rect =
                    round == 0 ? QRect(QPoint(0, 0), size)
                               : QRect(random.bounded(size.width()), random.bounded(size.height()),
                                       random.bounded(1, 300), random.bounded(1, 300));
                const QImage part = view.part(work, zoom, rect);
                const QRect shown = rect & QRect(QPoint(0, 0), size);
                ASSERT_EQ(part.size(), shown.size()) << name(zoom);
                for (int y = 0; y < part.height(); ++y)
                    for (int x = 0; x < part.width(); ++x)
                        ASSERT_EQ(storedPixel(part, x, y),
                                  expectedViewPixel(work, zoom, shown.topLeft() + QPoint(x, y)))
                            << name(zoom) << " view " << shown.x() + x << "," << shown.y() + y;
            }
        }
    // Edited in place, the same QImage: the kept tiles must not show the old pixels.
    QImage &work = pictures[0];
    const Zoom third{1, 3};
    view.part(work, third, QRect(0, 0, 20, 20));
    for (int y = 0; y < 3; ++y)
        std::fill_n(work.scanLine(y), 9, uchar(0));
    EXPECT_EQ(view.part(work, third, QRect(0, 0, 1, 1)).pixel(0, 0), qRgb(0, 0, 0));
}

} // namespace
