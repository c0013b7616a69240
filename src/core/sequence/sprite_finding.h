// SPDX-License-Identifier: GPL-3.0-or-later
// Finding the sprites of a sheet that has no regular grid: the boxes around 8-connected groups of
// pixels that are not background, close boxes joined, specks dropped, numbered in reading order.
#pragma once

#include "core/sequence/background.h"

#include <QImage>
#include <QRect>
#include <QString>

#include <vector>

// A box of fewer pixels than this is a speck unless the user chooses otherwise: stray pixels of
// a scan or of a lossy file, not a sprite.
inline constexpr int kDefaultMinSpriteArea = 4;
// A gap wider than any sheet's side joins everything: no distance beyond it means more.
inline constexpr int kMaxMergeDistance = 65535;

struct SpriteSearch {
    SpriteBackground background;
    // Boxes closer than this many pixels join into one sprite (a sword held apart from the hand);
    // 0 joins none.
    int mergeDistance = 0;
    // Boxes of smaller area (width times height) are specks, dropped after the joining.
    int minArea = kDefaultMinSpriteArea;
};

// The boxes of the 8-connected groups of the spans (ForegroundSpans), in the order of each group's
// first span.
std::vector<QRect> ForegroundBoxes(const std::vector<std::vector<ForegroundSpan>> &rows);

// The boxes with those closer than distance joined into the box around both, again and again
// until no two are that close. The gap between two boxes is the larger of the columns and the
// rows of pixels between them (0 where they touch or overlap). Joined boxes take the place of the
// first of them.
std::vector<QRect> JoinNearBoxes(std::vector<QRect> boxes, int distance);

// The boxes in reading order: rows first, then left to right within a row. The topmost box
// (leftmost among equals) starts the first row; a box belongs to the first row whose first box's
// vertical span it overlaps, and starts a row of its own when it overlaps none.
std::vector<QRect> InReadingOrder(std::vector<QRect> boxes);

// The sprites of picture, in reading order: the groups' boxes joined by search.mergeDistance, those
// smaller than search.minArea dropped. Throws Failure as ForegroundSpans does.
std::vector<QRect> FindSprites(const QImage &picture, const SpriteSearch &search);

// "No sprite was found", as the command line and the dialog say it.
QString NoSpritesText();
