// SPDX-License-Identifier: GPL-3.0-or-later
// The edits of the whole picture as one table: the 編集 menu, the history's steps and the command
// line's `mokaran edit` all take their names, values and functions from it.
#pragma once

#include "core/image/alpha_edits.h"

#include <QImage>
#include <QString>
#include <array>

enum class EditKind { Resize, Rotate, Blur, Sharpen, Contrast, Gamma, Levels };

// What an edit asks for before it runs.
enum class EditValue { None, WholeNumber, Fraction };

struct Edit {
    EditKind kind;
    // The command line's option without its dashes ("resize"); the window's action is named after
    // it ("resizeAction").
    const char *option;
    // The menu's caption with its access key (translated in the context "Edits"); without the
    // key, the name of the history's step ("取り消し: ぼかし").
    const char *caption;
    EditValue value;
    // Whether the edit moves and mixes pixels, or works on each pixel's colour alone: what it does
    // to a picture's alpha (EditKeepingAlpha).
    EditReach reach;
    // The edited picture, a new 24-bit picture; value is what the edit asked for (unused by the
    // edits that ask nothing). ApplyEdit runs it on pictures with alpha too.
    QImage (*apply)(const QImage &picture, double value);
};

// Every edit, in the order the menu lists them.
const std::array<Edit, 7> &Edits();
const Edit &EditOf(EditKind kind);

// The edit applied to picture, its alpha kept: 32-bit with alpha when picture has alpha,
// otherwise 24-bit and exactly edit.apply's result.
QImage ApplyEdit(const Edit &edit, const QImage &picture, double value);

// A picture resized to width: by ApplyEdit's resize, or, with repeatPixels and a width that is a
// whole multiple of the picture's (2x, 3x ...), by repeating each pixel (EnlargeByRepeating).
QImage ResizeToWidth(const QImage &picture, int width, bool repeatPixels);

// The caption as the menu shows it, and the step's name: translated, the latter without the
// access key and the dots of an item that opens a dialog ("拡大縮小(&X)" gives "拡大縮小",
// "Resi&ze..." gives "Resize").
QString EditCaption(const Edit &edit);
QString EditStepName(const Edit &edit);
QString StepNameOf(QString caption);
