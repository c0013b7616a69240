// SPDX-License-Identifier: GPL-3.0-or-later
// An integer field with up/down arrows whose typed value is pulled into its range.
#pragma once

#include <QSpinBox>

// A value typed beyond a bound is taken as that bound when the field is read or left, and text
// that is not a whole number counts as the minimum. (A plain QSpinBox refuses such text and falls
// back to its previous or lowest value.)
class ClampingSpinBox : public QSpinBox {
    Q_OBJECT
  public:
    explicit ClampingSpinBox(QWidget *parent = nullptr);

    // The value the field's text stands for, pulled into the range; also shown in the field.
    int readValue();

  protected:
    QValidator::State validate(QString &text, int &pos) const override;
    void fixup(QString &text) const override;
};
