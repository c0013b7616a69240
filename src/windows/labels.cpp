// SPDX-License-Identifier: GPL-3.0-or-later
// Texts shown in labels.
#include "windows/labels.h"

#include <QLabel>

void SetLabelText(QLabel *label, const QString &text)
{
    label->setText(text);
    label->adjustSize();
}

void ShowElided(QLabel *label, const QString &text)
{
    label->setText(label->fontMetrics().elidedText(text, Qt::ElideMiddle, label->width()));
    label->setToolTip(text);
}
