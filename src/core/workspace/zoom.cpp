// SPDX-License-Identifier: GPL-3.0-or-later
// The zoom of the canvas: its steps and the mapping between view and picture pixels.
#include "core/workspace/zoom.h"

#include <algorithm>
#include <cstdlib>
#include <numeric>

namespace {

// Floor and ceiling of a / b for b > 0 and a of either sign (C++ division truncates toward 0).
int64_t floorDiv(int64_t a, int64_t b)
{
    const int64_t q = a / b;
    return (a % b != 0 && a < 0) ? q - 1 : q;
}

int64_t ceilDiv(int64_t a, int64_t b)
{
    const int64_t q = a / b;
    return (a % b != 0 && a > 0) ? q + 1 : q;
}

int clampToInt(int64_t value)
{
    return int(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

Zoom clampZoom(Zoom zoom)
{
    if (ZoomBelow(zoom, kLeastZoom))
        return kLeastZoom;
    if (ZoomBelow(kGreatestZoom, zoom))
        return kGreatestZoom;
    return zoom;
}

} // namespace

Zoom MakeZoom(int64_t num, int64_t den)
{
    const int64_t common = std::gcd(num, den);
    return {int32_t(num / common), int32_t(den / common)};
}

bool ZoomBelow(Zoom a, Zoom b)
{
    return int64_t(a.num) * b.den < int64_t(b.num) * a.den;
}

Zoom ZoomIn(Zoom zoom)
{
    for (const Zoom step : kZoomSteps)
        if (ZoomBelow(zoom, step))
            return step;
    return kGreatestZoom;
}

Zoom ZoomOut(Zoom zoom)
{
    for (auto step = kZoomSteps.rbegin(); step != kZoomSteps.rend(); ++step)
        if (ZoomBelow(*step, zoom))
            return *step;
    return kLeastZoom;
}

Zoom FitZoom(QSize picture, QSize room)
{
    if (picture.isEmpty() || room.isEmpty())
        return {1, 1};
    // The smaller of the two ratios room / picture, compared without rounding.
    const bool widthLimits =
        int64_t(room.width()) * picture.height() <= int64_t(room.height()) * picture.width();
    const int64_t num = widthLimits ? room.width() : room.height();
    const int64_t den = widthLimits ? picture.width() : picture.height();
    if (num >= den) // whole view pixels per picture pixel: the squares stay equal
        return clampZoom({int32_t(std::min<int64_t>(num / den, kGreatestZoom.num)), 1});
    return clampZoom(MakeZoom(num, den));
}

int32_t ZoomPercent(Zoom zoom)
{
    // Round(100 num / den) with halves up: floor((200 num + den) / (2 den)).
    return int32_t(floorDiv(200 * int64_t(zoom.num) + zoom.den, 2 * int64_t(zoom.den)));
}

Zoom ZoomFromPercent(int64_t percent)
{
    Zoom nearest = kZoomSteps.front();
    int64_t nearestDistance = INT64_MAX;
    // Distances in hundredths of a percent: 100 * 100 * num / den, whole for every step but 1/3
    // and 2/3, whose few hundredths of error cannot change which step is nearest.
    for (const Zoom step : kZoomSteps) {
        const int64_t distance = std::abs(10000 * int64_t(step.num) / step.den - 100 * percent);
        if (distance <= nearestDistance) {
            nearest = step;
            nearestDistance = distance;
        }
    }
    return nearest;
}

QString ZoomText(Zoom zoom)
{
    // Tenths of a percent, halves up.
    const int64_t tenths = floorDiv(2000 * int64_t(zoom.num) + zoom.den, 2 * int64_t(zoom.den));
    if (tenths % 10 == 0 || tenths >= 200)
        return QStringLiteral("%1%").arg(ZoomPercent(zoom));
    return QStringLiteral("%1.%2%").arg(tenths / 10).arg(tenths % 10);
}

int PictureAt(int s, Zoom zoom)
{
    return clampToInt(floorDiv(int64_t(s) * zoom.den, zoom.num));
}

int ViewLength(int length, Zoom zoom)
{
    // The view pixels s with PictureAt(s) < length: s < length * num / den.
    return clampToInt(ceilDiv(int64_t(length) * zoom.num, zoom.den));
}

QSize ViewSize(QSize picture, Zoom zoom)
{
    return {ViewLength(picture.width(), zoom), ViewLength(picture.height(), zoom)};
}

ViewSpan ViewSpanOf(int first, int last, Zoom zoom)
{
    // The last view pixel that shows a pixel before last + 1 ends the span either way.
    const int end = clampToInt(ceilDiv((int64_t(last) + 1) * zoom.num, zoom.den));
    if (!zoom.reduces()) // the first view pixel s with PictureAt(s) >= first
        return {clampToInt(ceilDiv(int64_t(first) * zoom.num, zoom.den)), end};
    // The box holding first: the last s with PictureAt(s) <= first, i.e. s * den / num < first + 1.
    return {clampToInt(ceilDiv((int64_t(first) + 1) * zoom.num, zoom.den) - 1), end};
}

QRect ViewRectOf(const QRect &rect, Zoom zoom)
{
    const ViewSpan x = ViewSpanOf(rect.left(), rect.right(), zoom);
    const ViewSpan y = ViewSpanOf(rect.top(), rect.bottom(), zoom);
    return {x.begin, y.begin, x.end - x.begin, y.end - y.begin};
}

FrameMarks FrameMarksOf(const QRect &frame, Zoom zoom, QSize picture)
{
    if (frame.isEmpty())
        return {};
    const QRect view = ViewRectOf(frame, zoom);
    const QRect inside = view.adjusted(1, 1, -1, -1);
    const QRect around = view.adjusted(-1, -1, 1, 1);
    const QRegion shown(QRect(QPoint(0, 0), ViewSize(picture, zoom)));
    FrameMarks marks;
    marks.black = (QRegion(view) - QRegion(inside)).intersected(shown);
    marks.white = (QRegion(around) - QRegion(view)).intersected(shown);
    return marks;
}
