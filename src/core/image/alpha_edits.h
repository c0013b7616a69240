// SPDX-License-Identifier: GPL-3.0-or-later
// Edits of pictures with transparency: the edits work on 24-bit pictures, and these run them so
// that the alpha comes through as the colours do.
#pragma once

#include <QImage>
#include <functional>

// How an edit treats each pixel.
enum class EditReach {
    // Each pixel's colour alone (contrast, gamma, levels): the alpha stays as it is.
    Pixelwise,
    // Pixels moved and mixed with their neighbours (resizing, rotating, blurring, sharpening):
    // the alpha is moved and mixed alike. The colours are mixed weighted by their alpha, so that
    // the colour of a transparent pixel never bleeds into its neighbours, and an area the edit
    // fills with black (a rotation's corners) comes out transparent.
    Neighbourhood,
};

// edit(picture) for a picture with alpha, as a non-premultiplied 32-bit picture; edit takes and
// gives 24-bit pictures. A picture without alpha is simply edit(picture), the same bytes as ever.
// Throws std::bad_alloc when the pictures of the way cannot be made.
QImage EditKeepingAlpha(const QImage &picture, EditReach reach,
                        const std::function<QImage(const QImage &)> &edit);
