// SPDX-License-Identifier: GPL-3.0-or-later
// Guessing the grid of a sprite sheet from the rows and columns that are wholly background: the
// cut size, the first cell's corner and the gaps that the grid cut and the cut-size dialog take.
#pragma once

#include "core/sequence/background.h"

#include <QImage>
#include <QPoint>
#include <QSize>
#include <QString>

#include <optional>
#include <vector>

struct GridGuess {
    QSize cell;    // the cut size
    QPoint offset; // the first cell's top-left corner: the frame's position
    QSize gap;     // the pixels between two cells across and down
    int columns = 0;
    int rows = 0;
};

// A stretch [start, end) of columns (or rows) with a pixel that is not background, between
// columns (or rows) that are wholly background.
struct FilledStretch {
    int start;
    int end;
};

// The cells along one side of length pixels that hold the stretches one each: the pitch (cell
// plus gap) for which the cells are narrowest, then whose stretches sit most nearly in the middle
// of their cells, then the longest pitch. Cells lie wholly inside the side, and at least every
// other cell holds a stretch. One stretch is one cell of its own width. Nothing when no pitch
// gives such cells.
struct SideGrid {
    int offset = 0;
    int cell = 0;
    int gap = 0;
    int count = 0;
};
std::optional<SideGrid> GuessSideGrid(const std::vector<FilledStretch> &stretches, int length);

// The grid whose cells hold the sheet's sprites, at most one sprite's columns and rows in each:
// each side's stretches (GuessSideGrid) from the columns and the rows that are wholly background.
// Nothing when the picture has no such grid of two cells or more. Throws Failure as
// ForegroundSpans does.
std::optional<GridGuess> GuessGrid(const QImage &picture, const SpriteBackground &background);

// "The picture has no regular grid", as the command line and the dialog say it.
QString NoRegularGridText();
