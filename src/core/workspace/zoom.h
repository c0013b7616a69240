// SPDX-License-Identifier: GPL-3.0-or-later
// The zoom of the canvas and the geometry between view pixels and picture pixels.
//
// View pixel s (a canvas pixel, counted from the picture's left or top edge) shows picture pixel
// PictureAt(s) = floor(s * den / num). Above 100 % each picture pixel covers a run of view pixels
// (a sharp square); below 100 % view pixel s stands for the box of picture pixels
// [PictureAt(s), PictureAt(s + 1)), whose average it shows, so every picture pixel lies in
// exactly one box and none is skipped. The pointer maps through the same PictureAt, so the pixel
// a click picks is the one shown under the pointer (below 100 %, the first of its box).
#pragma once

#include <QRect>
#include <QRegion>
#include <QSize>
#include <QString>
#include <array>
#include <cstdint>

// View pixels per picture pixel, as the fraction num / den in lowest terms (both above 0).
struct Zoom {
    int32_t num = 1;
    int32_t den = 1;
    bool operator==(const Zoom &) const = default;
    bool enlarges() const { return num > den; }
    bool reduces() const { return num < den; }
};

// The zoom num / den in lowest terms. num and den must be above 0.
Zoom MakeZoom(int64_t num, int64_t den);

// The steps of the zoom commands, smallest first. Below 12.5 % only 1/16 is offered: fitting a
// large picture into the window may need it.
inline constexpr std::array<Zoom, 16> kZoomSteps{{{1, 16},
                                                  {1, 8},
                                                  {1, 4},
                                                  {1, 3},
                                                  {1, 2},
                                                  {2, 3},
                                                  {1, 1},
                                                  {2, 1},
                                                  {3, 1},
                                                  {4, 1},
                                                  {6, 1},
                                                  {8, 1},
                                                  {12, 1},
                                                  {16, 1},
                                                  {24, 1},
                                                  {32, 1}}};
inline constexpr Zoom kLeastZoom = kZoomSteps.front();
inline constexpr Zoom kGreatestZoom = kZoomSteps.back();
// From this zoom on, picture pixels are large enough for a grid between them to help.
inline constexpr Zoom kLeastGridZoom{6, 1};

// Whether a is a smaller zoom than b.
bool ZoomBelow(Zoom a, Zoom b);

// The next step above or below zoom (zoom itself is any zoom, a step or not); the greatest and
// the least step stay where they are.
Zoom ZoomIn(Zoom zoom);
Zoom ZoomOut(Zoom zoom);

// The largest zoom at which the whole picture fits into room (view pixels). Above 100 % it is a
// whole number, so that picture pixels stay equal squares; below, the exact fraction. Kept from
// kLeastZoom to kGreatestZoom. An empty picture or room gives 100 %.
Zoom FitZoom(QSize picture, QSize room);

// The zoom as a whole percentage, Round(100 * num / den) with halves up, as set.ini keeps it.
int32_t ZoomPercent(Zoom zoom);
// The step nearest to a stored percentage (the larger one when two are as near); 0 or less, or a
// value no step is near, still gives a step.
Zoom ZoomFromPercent(int64_t percent);
// The zoom as the size strip shows it: "100%", "33%", "12.5%", "6.3%" (one decimal below 20 %).
QString ZoomText(Zoom zoom);

// The picture pixel shown at view pixel s (any s; negative s gives negative pixels, for a drag
// past the canvas's left or top edge).
int PictureAt(int s, Zoom zoom);
// The number of view pixels that show a picture side of length pixels.
int ViewLength(int length, Zoom zoom);
// The view size of a picture.
QSize ViewSize(QSize picture, Zoom zoom);

// The view pixels [begin, end) that show picture pixels [first, last + 1): above 100 % the squares
// of those pixels, below 100 % every box that holds one of them. Never empty for first <= last.
struct ViewSpan {
    int begin = 0;
    int end = 0;
};
ViewSpan ViewSpanOf(int first, int last, Zoom zoom);
// The view rectangle that shows the picture rectangle rect (not empty).
QRect ViewRectOf(const QRect &rect, Zoom zoom);

// The frame as the view draws it, in view pixels: a black line one view pixel wide along the
// inside of the cut's view rectangle (at 100 %, the cut's outermost pixels) and a white line one
// view pixel wide just outside it, both clipped to the picture's view. Above 100 % the two meet on
// the pixel edges of the cut, so the cut's own pixels stay visible up to one view pixel.
struct FrameMarks {
    QRegion black;
    QRegion white;
    QRegion all() const { return black + white; }
};
FrameMarks FrameMarksOf(const QRect &frame, Zoom zoom, QSize picture);
