// SPDX-License-Identifier: GPL-3.0-or-later
// The error box, and commands that end in it rather than let a failure escape a Qt slot.
#pragma once

#include <QCoreApplication>
#include <QString>
#include <exception>
#include <new>

class QWidget;

// The error box: caption "MOKARAN", the description with its full stop.
void ShowError(QWidget *parent, const QString &description);

// Runs a command and shows any failure in the error box: an exception must never leave a Qt slot.
template <typename Command> void Guarded(QWidget *parent, Command command)
{
    try {
        command();
    } catch (const std::bad_alloc &) {
        ShowError(parent, QCoreApplication::translate("ErrorBox", "メモリが不足しています"));
    } catch (const std::exception &failure) {
        ShowError(parent, QString::fromUtf8(failure.what()));
    }
}
