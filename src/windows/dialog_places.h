// SPDX-License-Identifier: GPL-3.0-or-later
// Where the program's dialogs open.
#pragma once

class QDialog;
class QWidget;

// Makes a dialog that is kept between openings open centred on the window it belongs to, and again
// where its frame was when it last closed as long as that place still overlaps that window. Left
// to Qt, a dialog shown again under an X window manager can come up lower and further right by
// the size of its title bar and border.
void KeepPlaceBetweenOpenings(QDialog *dialog);

// Moves a window that is about to open to the centre of the main window, kept on the screens.
void CentreOnParent(QWidget *window);
