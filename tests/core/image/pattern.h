// SPDX-License-Identifier: GPL-3.0-or-later
// The uneven test picture of the whole-picture operations.
#pragma once

#include "core/image/picture.h"

// Uneven values with no black channel: a box mean differs from any single pixel of the box, and
// a pixel moved by a geometry step is never mistaken for a neighbour.
inline QImage Pattern(int width, int height)
{
    QImage picture(width, height, kPictureFormat);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.setPixel(x, y,
                             qRgb(1 + (x * x * 37 + y) % 255, 1 + (y * y * 91 + x) % 255,
                                  1 + (x * y * 53) % 255));
    return picture;
}
