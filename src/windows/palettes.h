// SPDX-License-Identifier: GPL-3.0-or-later
// The colours of the panels: the desktop's own, in the roles the windows use.
#pragma once

#include <QColor>

class QWidget;

// The dark background with white text of the panels and of the small dialogs. The controls on
// it with arrows on light buttons (spin boxes, scroll bars, combo boxes) keep dark arrows.
void SetDarkBackground(QWidget *widget);

QColor DarkShadowColor(); // panels and dialog backgrounds (white text on them)
QColor GrayTextColor();   // the line along the top of the size strip
