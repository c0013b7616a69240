// SPDX-License-Identifier: GPL-3.0-or-later
// Texts shown in labels: readouts sized to their text, and lines too long for their place.
#pragma once

#include <QString>

class QLabel;

// Sets a label's text and sizes the label to it.
void SetLabelText(QLabel *label, const QString &text);

// Shows text in label, shortened in the middle with "…" where the label is too narrow for it; the
// tooltip holds the whole text (none when text is empty).
void ShowElided(QLabel *label, const QString &text);
