// SPDX-License-Identifier: GPL-3.0-or-later
// The colours of the panels: the desktop's own, in the roles the windows use.
#pragma once

#include <QColor>

class QBrush;

class QWidget;

// The dark background with white text of the panels and of the small dialogs. The controls on
// it with arrows on light buttons (spin boxes, scroll bars, combo boxes) keep dark arrows.
void SetDarkBackground(QWidget *widget);

QColor DarkShadowColor(); // panels and dialog backgrounds (white text on them)
QColor GrayTextColor();   // the line along the top of the size strip

// Transparency on screen: squares of 8 view pixels, white and light grey, the same at every zoom.
// A pattern no picture is likely to form, on which a picture's own white stays visible.
const QBrush &CheckerboardBrush();
