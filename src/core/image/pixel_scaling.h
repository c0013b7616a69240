// SPDX-License-Identifier: GPL-3.0-or-later
// Enlarging pixel art: each pixel becomes a block of whole pixels, so that its edges stay sharp.
#pragma once

#include <QImage>

// The whole factor (2 or more) by which a picture width wide becomes newWidth wide, or 0 when
// newWidth is no such multiple.
int WholeEnlargement(int width, int newWidth);

// Whether picture has at most 256 colours (alpha counted), as pixel art, icons and sprites have
// and photos do not: those are worth enlarging pixel for pixel. Stops reading at the 257th.
bool HasFewColours(const QImage &picture);

// picture with each pixel repeated factor x factor times (factor >= 1), its format and alpha kept.
// A null picture when the result would exceed the program's picture limit.
QImage EnlargeByRepeating(const QImage &picture, int factor);
