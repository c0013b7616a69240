// SPDX-License-Identifier: GPL-3.0-or-later
// An integer field that pulls typed values into its range.
#include "windows/clamping_spin_box.h"

#include <QLineEdit>

ClampingSpinBox::ClampingSpinBox(QWidget *parent) : QSpinBox(parent)
{
    setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
}

QValidator::State ClampingSpinBox::validate(QString &text, int &) const
{
    const QString t = text.trimmed();
    if (t.isEmpty() || t == QLatin1String("-") || t == QLatin1String("+"))
        return QValidator::Intermediate;
    bool ok = false;
    const long long v = t.toLongLong(&ok);
    if (!ok)
        return QValidator::Invalid; // letters cannot be typed
    return v >= minimum() && v <= maximum() ? QValidator::Acceptable : QValidator::Intermediate;
}

void ClampingSpinBox::fixup(QString &text) const
{
    bool ok = false;
    const long long v = text.trimmed().toLongLong(&ok);
    const long long pulled = ok ? std::clamp<long long>(v, minimum(), maximum()) : minimum();
    text = QString::number(pulled);
}

int ClampingSpinBox::readValue()
{
    QString text = lineEdit()->text();
    int pos = 0;
    if (validate(text, pos) != QValidator::Acceptable) {
        fixup(text);
        lineEdit()->setText(text);
    }
    interpretText();
    return value();
}
