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
    const QSize size = SizeWithLongerSide(picture.size(), target);
    CheckResultSize(size.width(), size.height());
    return ResizeAverage(size.width(), size.height(), picture);
}
