// SPDX-License-Identifier: GPL-3.0-or-later
// Colours as the files mean them: pictures whose files name their colour space (an ICC profile, a
// PNG's gamma and primaries) are converted to sRGB, the space of every file the program writes
// and of a picture that names none.
#pragma once

#include <QImage>
#include <QString>

// What reading does with a picture's colour space: convert its pixels to sRGB, or keep the
// numbers as the file stores them (the command line's --keep-colors).
enum class Colours { ToSrgb, AsStored };

// Converts picture's pixels from its colorSpace() to sRGB when that space is valid and is not
// sRGB (a conversion that changes nothing counts as none): a palette picture through its colour
// table, any other in place, band by band of rows, with alpha kept. Returns the name of the space
// converted from (its description, "Display P3"; for one without, "gamma G"), empty when nothing
// was converted. The picture's colorSpace() is left as it was.
QString ConvertToSrgb(QImage &picture);

// The status line's words for a conversion: "色を sRGB に変換しました (Display P3)".
QString ColoursConvertedText(const QString &convertedFrom);
