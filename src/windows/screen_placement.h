// SPDX-License-Identifier: GPL-3.0-or-later
// Where windows go on the screens: the arithmetic is pure, so a table test reaches every case.
#pragma once

#include <QList>
#include <QRect>
#include <QSize>

// The areas of the screens that windows may take (without panels and docks), the primary
// screen's first.
QList<QRect> AvailableScreenAreas();

// Where a window whose outer frame was stored as left, top, width x height opens, given the
// available areas of the screens (the primary first). The screen is the one that holds most of
// the stored frame, or the primary when none holds any of it; the size is raised to minimum and
// otherwise lowered to that screen's area; the frame is then moved as little as it takes to lie
// inside the area (at the area's top-left corner when the minimum is larger than the area). Any
// stored numbers are safe: nothing overflows.
QRect PlaceOnScreens(int left, int top, int width, int height, QSize minimum,
                     const QList<QRect> &areas);

// The top-left corner that puts a window of size centred on the rectangle over, moved onto the
// screens as PlaceOnScreens moves a frame.
QPoint CentredOn(const QRect &over, QSize size, const QList<QRect> &areas);
