// Turning a picture about its centre.
#pragma once

#include <QImage>
#include <cstdint>

// Turns source by angle degrees (counter-clockwise on screen) about its centre and scales it
// by scale, onto a canvas just large enough; bilinear, corners black.
QImage Rotate(int32_t angle, const QImage &source, double scale);
