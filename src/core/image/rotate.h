// SPDX-License-Identifier: GPL-3.0-or-later
// Turning a picture about its centre.
#pragma once

#include <QImage>
#include <cstdint>

// Turns source by angle degrees (counter-clockwise on screen) about its centre, onto a canvas just
// large enough; bilinear, corners black. A multiple of 90 degrees other than 0 (90, 180, 270,
// -90, 450, 360, ...) is an exact turn instead: every pixel moved, W x H becoming H x W (W x H for
// a half or whole turn), no black and no sampling. Angle 0 keeps the formula.
QImage Rotate(const QImage &source, int32_t angle);
