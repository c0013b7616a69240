// SPDX-License-Identifier: GPL-3.0-or-later
// The small dialog through which an edit command asks for its one number: a whole number typed in
// a spin box, or a fraction chosen on a scroll bar.
#pragma once

#include <QDialog>

#include <memory>
#include <optional>

namespace Ui {
class ValueDialog;
}

class ValueDialog : public QDialog {
    Q_OBJECT
  public:
    explicit ValueDialog(QWidget *parent = nullptr);
    ~ValueDialog() override;

    // A whole number from minimum to maximum (equal bounds: any number), offered as proposed
    // pulled into that range. nullopt when the user cancels or closes the dialog.
    std::optional<int> askWholeNumber(const QString &caption, const QString &prompt, int proposed,
                                      int minimum, int maximum);
    // A fraction from 0.01 to maximum in steps of 0.01, offered as proposed.
    std::optional<double> askFraction(const QString &caption, const QString &prompt,
                                      double proposed, double maximum);

  private:
    enum class ValueKind { WholeNumber, Fraction };

    void prepare(ValueKind kind, const QString &caption, const QString &prompt);
    void setNumberRange(int minimum, int maximum);
    double fraction() const;
    void showFraction();

    std::unique_ptr<Ui::ValueDialog> m_ui;
};
