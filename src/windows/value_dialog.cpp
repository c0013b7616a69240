// SPDX-License-Identifier: GPL-3.0-or-later
// The dialog that asks an edit's number.
#include "windows/value_dialog.h"

#include "core/image/pixel_scaling.h"
#include "core/image/rounding.h"
#include "ui_value_dialog.h"
#include "windows/dialog_buttons.h"
#include "windows/palettes.h"

#include <limits>

ValueDialog::ValueDialog(QWidget *parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::ValueDialog>())
{
    m_ui->setupUi(this);
    SetDarkBackground(this);
    setNumberRange(0, 0);
    QDialogButtonBox *buttons = m_ui->buttonBox;
    AddDialogButton(buttons, tr("決定"), QDialogButtonBox::AcceptRole, "okButton");
    AddDialogButton(buttons, tr("キャンセル"), QDialogButtonBox::RejectRole, "cancelButton");
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_ui->fractionBar, &QScrollBar::valueChanged, this, &ValueDialog::showFraction);
    connect(m_ui->numberSpin, &QSpinBox::valueChanged, this, &ValueDialog::offerRepeatPixels);
}

ValueDialog::~ValueDialog() = default;

std::optional<int> ValueDialog::askWholeNumber(const QString &caption, const QString &prompt,
                                               int proposed, int minimum, int maximum)
{
    prepare(ValueKind::WholeNumber, caption, prompt);
    setNumberRange(minimum, maximum);
    m_ui->numberSpin->setValue(proposed); // pulled into the range
    if (exec() != QDialog::Accepted)
        return std::nullopt;
    // A value still being typed counts as it will once the field is left.
    return m_ui->numberSpin->readValue();
}

std::optional<ValueDialog::Resize> ValueDialog::askResize(const QString &caption,
                                                          const QString &prompt, int proposed,
                                                          int minimum, int maximum, int width,
                                                          bool fewColours)
{
    m_pictureWidth = width;
    m_fewColours = fewColours;
    m_ui->repeatPixelsCheck->setChecked(false);
    const std::optional<int> chosen = askWholeNumber(caption, prompt, proposed, minimum, maximum);
    const bool repeat =
        m_ui->repeatPixelsCheck->isVisibleTo(this) && m_ui->repeatPixelsCheck->isChecked();
    m_pictureWidth = 0;
    offerRepeatPixels();
    if (!chosen)
        return std::nullopt;
    return Resize{*chosen, repeat && WholeEnlargement(width, *chosen) > 0};
}

void ValueDialog::offerRepeatPixels()
{
    const bool offered = m_pictureWidth > 0 && m_fewColours &&
                         WholeEnlargement(m_pictureWidth, m_ui->numberSpin->value()) > 0;
    if (offered != m_ui->repeatPixelsCheck->isVisibleTo(this)) {
        m_ui->repeatPixelsCheck->setVisible(offered);
        adjustSize();
    }
}

std::optional<double> ValueDialog::askFraction(const QString &caption, const QString &prompt,
                                               double proposed, double maximum)
{
    prepare(ValueKind::Fraction, caption, prompt);
    // The bar counts hundredths; 0 is not offered, so the lowest value is 0.01.
    m_ui->fractionBar->setRange(1, int(Trunc((long double)maximum * 100)));
    m_ui->fractionBar->setValue(int(Trunc((long double)proposed * 100)));
    showFraction();
    if (exec() != QDialog::Accepted)
        return std::nullopt;
    return fraction();
}

void ValueDialog::prepare(ValueKind kind, const QString &caption, const QString &prompt)
{
    setWindowTitle(caption);
    m_ui->promptLabel->setText(prompt);
    const bool whole = kind == ValueKind::WholeNumber;
    m_ui->numberSpin->setVisible(whole);
    m_ui->fractionBar->setVisible(!whole);
    m_ui->fractionLabel->setVisible(!whole);
    // The prompt names whichever control asks; the spin box has it as its label's buddy too.
    m_ui->numberSpin->setAccessibleName(prompt);
    m_ui->fractionBar->setAccessibleName(prompt);
    m_ui->promptLabel->setBuddy(whole ? static_cast<QWidget *>(m_ui->numberSpin)
                                      : m_ui->fractionBar);
    offerRepeatPixels();
    adjustSize();
}

void ValueDialog::setNumberRange(int minimum, int maximum)
{
    if (minimum == maximum)
        m_ui->numberSpin->setRange(std::numeric_limits<int>::min(),
                                   std::numeric_limits<int>::max());
    else
        m_ui->numberSpin->setRange(minimum, maximum);
}

double ValueDialog::fraction() const
{
    // The hundredths are scaled in extended precision and handed over as a double. The edits'
    // results depend on that exact double, so the scaling must stay as it is.
    return double(m_ui->fractionBar->value() * 0.01L);
}

void ValueDialog::showFraction()
{
    // Shortest general form: 0.1, 1, 0.35, 2.5.
    m_ui->fractionLabel->setText(QString::number(fraction(), 'g', 15));
}
