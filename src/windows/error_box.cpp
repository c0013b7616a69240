// SPDX-License-Identifier: GPL-3.0-or-later
// The error box.
#include "windows/error_box.h"

#include "core/base/io_error.h"
#include "windows/application.h"

#include <QMessageBox>

void ShowError(QWidget *parent, const QString &description)
{
    QMessageBox::critical(parent, kAppTitle, WithFullStop(description));
}
