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
    // A new width for a picture width pixels wide, as askWholeNumber asks for it. When the width
    // typed enlarges the picture by a whole factor (2x, 3x ...) and fewColours says it is pixel
    // art, the dialog offers to repeat each pixel instead of smoothing it (repeatPixels).
    struct Resize {
        int width;
        bool repeatPixels;
    };
    std::optional<Resize> askResize(const QString &caption, const QString &prompt, int proposed,
                                    int minimum, int maximum, int width, bool fewColours);
    // A fraction from 0.01 to maximum in steps of 0.01, offered as proposed.
    std::optional<double> askFraction(const QString &caption, const QString &prompt,
                                      double proposed, double maximum);

  private:
    enum class ValueKind { WholeNumber, Fraction };

    void prepare(ValueKind kind, const QString &caption, const QString &prompt);
    void setNumberRange(int minimum, int maximum);
    double fraction() const;
    void showFraction();
    void offerRepeatPixels();

    std::unique_ptr<Ui::ValueDialog> m_ui;
    int m_pictureWidth = 0; // of the picture askResize asks about; 0 for other questions
    bool m_fewColours = false;
};
