// SPDX-License-Identifier: GPL-3.0-or-later
// The buttons along the bottom of a dialog, in a QDialogButtonBox that orders them as the desktop
// does.
#pragma once

#include <QDialogButtonBox>
#include <QString>

class QPushButton;

// Adds a push button of caption and role to box, named objectName for tests and assistive tools.
// An accept button is the default one, pressed by Return; the others are never default.
QPushButton *AddDialogButton(QDialogButtonBox *box, const QString &caption,
                             QDialogButtonBox::ButtonRole role, const char *objectName);

// Makes Tab go through widgets in the order given. Buttons added to a box after the form was built
// come last in the focus chain; a box that does not stand last in the dialog is put in its place.
void ChainTabOrder(const QList<QWidget *> &widgets);
