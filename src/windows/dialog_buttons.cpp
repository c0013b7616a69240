// SPDX-License-Identifier: GPL-3.0-or-later
// The buttons along the bottom of a dialog.
#include "windows/dialog_buttons.h"

#include <QPushButton>

QPushButton *AddDialogButton(QDialogButtonBox *box, const QString &caption,
                             QDialogButtonBox::ButtonRole role, const char *objectName)
{
    QPushButton *button = box->addButton(caption, role);
    button->setObjectName(QLatin1String(objectName));
    // Return presses the accept button wherever the focus is; no other button takes Return over
    // by gaining the focus.
    button->setAutoDefault(false);
    button->setDefault(role == QDialogButtonBox::AcceptRole);
    return button;
}

void ChainTabOrder(const QList<QWidget *> &widgets)
{
    for (qsizetype i = 1; i < widgets.size(); ++i)
        QWidget::setTabOrder(widgets[i - 1], widgets[i]);
}
