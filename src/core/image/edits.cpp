// SPDX-License-Identifier: GPL-3.0-or-later
// The whole-picture edits as the commands apply them.
#include "core/image/edits.h"

#include "core/image/resize.h"

QImage ScaleToWidth(const QImage &picture, int32_t target)
{
    // The choice looks at the width alone, as the prompt asks for a width.
    const double ratio = double(target) / picture.width();
    if (ratio > 1)
        return Enlarge(picture, target);
    return ShrinkToFit(picture, target);
}

QImage ShrinkToFit(const QImage &picture, int32_t target)
{
    int32_t width = 0;
    int32_t height = 0;
    FitSize(target, picture.width(), picture.height(), width, height);
    CheckResultSize(width, height);
    return ResizeAverage(width, height, picture);
}
