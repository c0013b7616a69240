// SPDX-License-Identifier: GPL-3.0-or-later
// The file dialogs the windows keep between uses.
#pragma once

#include <QFileDialog>
#include <QString>

// A file dialog kept between uses, so that it remembers its folder and filter; Qt's own dialog, so
// that it looks and behaves alike on every desktop. filter is written as
// "description|patterns|description|patterns". A save dialog accepts any name and asks nothing
// before a file is replaced (the command decides that); an open dialog accepts existing files only.
QFileDialog *MakeFileDialog(QWidget *parent, const char *name, QFileDialog::AcceptMode mode,
                            const QString &filter);

// Runs a file dialog kept between uses and returns the chosen file, or "" when cancelled. The
// completion list of its name field is closed too: left open, it would stay on screen after the
// dialog and swallow the next click.
QString RunFileDialog(QFileDialog *dialog);

// The position of a file dialog's chosen filter in its list (0 for the first), whether the dialog
// reports it with or without its patterns.
int SelectedFilterIndex(const QFileDialog *dialog);
