// SPDX-License-Identifier: GPL-3.0-or-later
// Sprite sheets: frames laid row by row into one picture, with padding between and around them.
// The JSON beside it (atlas_data.h) tells each frame's rectangle.
#pragma once

#include <QImage>
#include <QRect>
#include <QString>

#include <vector>

// Padding beyond this is no padding any engine needs, only a way to make a huge picture.
inline constexpr int kMaxSheetPadding = 1024;

struct SheetOptions {
    int columns = 1; // frames per row; fewer when the run has fewer frames
    int padding = 0; // pixels between frames and around the sheet's edge
};

struct SheetLayout {
    QSize size;               // the whole sheet
    std::vector<QRect> cells; // frame k at cells[k - 1]
};

// The width and height of a sheet of count frames of frameSize, the columns and the padding
// limited as LayOutSheet limits them; in 64 bits, so that a sheet far beyond the picture limit is
// told rather than wrapped. 0 x 0 for no frames.
struct SheetExtent {
    long long width = 0;
    long long height = 0;
};
SheetExtent SheetExtentOf(int count, QSize frameSize, const SheetOptions &options);

// count frames of frameSize in rows of options.columns: frame k (from 1) sits in column
// (k - 1) % columns and row (k - 1) / columns, at x = padding + column * (width + padding), and
// likewise y. Throws Failure when the sheet would exceed the picture limit.
SheetLayout LayOutSheet(int count, QSize frameSize, const SheetOptions &options);

// A new sheet picture of layout.size: 32-bit with transparent padding when the frames have alpha,
// else 24-bit with white padding (the program's colour for missing parts).
QImage BlankSheet(const SheetLayout &layout, bool alpha);

// Copies frame into sheet at cell (sizes equal); frame is converted to the sheet's format.
void PlaceOnSheet(QImage &sheet, const QRect &cell, const QImage &frame);

// The path of the JSON beside a sheet or an atlas: the picture's path with its extension replaced
// by ".json" ("walk.png" gives "walk.json"); a name without an extension gets ".json" added.
QString SheetDataPath(const QString &sheetPath);
