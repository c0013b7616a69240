// SPDX-License-Identifier: GPL-3.0-or-later
// Packing rectangles into the smallest picture: MaxRects (max_rects.h) tried with each placement
// rule, several orders of the rectangles and several widths of the bin, the smallest area kept.
#pragma once

#include <QPoint>
#include <QSize>
#include <QString>

#include <vector>

struct PackingRules {
    int padding = 0;         // pixels between two rectangles
    int border = 0;          // pixels between the rectangles and the picture's edge
    bool powerOfTwo = false; // each side of the picture rounded up to a power of two
    int maxSize = 4096;      // the most pixels of either side
};

struct Packing {
    QSize size;                 // the picture's
    std::vector<QPoint> places; // the top-left corner of rectangle i at [i]
};

// Places the rectangles, none turned, none overlapping, padding apart and border from the edge,
// in the picture of least area (after the rounding to powers of two) that the search finds;
// among equal areas, the first found, so the same rectangles always give the same packing.
// No rectangles give a picture of the border alone (at least 1 x 1). Throws Failure
// (TooLargeToPackText) when they cannot be placed within maxSize.
Packing PackRectangles(const std::vector<QSize> &sizes, const PackingRules &rules);

// "The frames do not fit in N x N pixels", as the command line and the dialog say it.
QString TooLargeToPackText(int maxSize);
