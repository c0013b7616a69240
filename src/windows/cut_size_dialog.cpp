// SPDX-License-Identifier: GPL-3.0-or-later
// The cut-size dialog.
#include "windows/cut_size_dialog.h"

#include "core/base/io_error.h"
#include "core/workspace/cut_size.h"
#include "ui_cut_size_dialog.h"
#include "windows/dialog_buttons.h"
#include "windows/palettes.h"

#include <QLineEdit>

CutSizeDialog::CutSizeDialog(const QStringList &presetNames, QWidget *parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::CutSizeDialog>())
{
    m_ui->setupUi(this);
    SetDarkBackground(this);
    for (ClampingSpinBox *spin : {m_ui->widthSpin, m_ui->heightSpin})
        spin->setRange(kSmallestCutSide, kFreeCutSizeLimit);
    // Each entry keeps the name data.dat gives it; the free size's own entry shows in the
    // interface's language.
    for (const QString &name : presetNames) {
        if (!name.isEmpty())
            m_ui->presetCombo->addItem(name == kFreeSizeName ? tr("任意切り取りサイズ") : name,
                                       name);
    }
    m_ui->presetCombo->setCurrentIndex(-1); // nothing chosen: the free size applies
    // A size the user types or steps to is a free size: the preset must not silently win.
    for (ClampingSpinBox *spin : {m_ui->widthSpin, m_ui->heightSpin}) {
        connect(spin, &QSpinBox::valueChanged, this, &CutSizeDialog::chooseFreeSize);
        connect(spin->findChild<QLineEdit *>(), &QLineEdit::textEdited, this,
                &CutSizeDialog::chooseFreeSize);
    }
    connect(m_ui->guessGridButton, &QPushButton::clicked, this, &CutSizeDialog::guessGrid);
    QDialogButtonBox *buttons = m_ui->buttonBox;
    AddDialogButton(buttons, tr("決定"), QDialogButtonBox::AcceptRole, "okButton");
    AddDialogButton(buttons, tr("閉じる"), QDialogButtonBox::RejectRole, "closeButton");
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

CutSizeDialog::~CutSizeDialog() = default;

void CutSizeDialog::chooseFreeSize()
{
    if (m_offering)
        return;
    // A size of the user's own is no longer the grid's cell.
    m_guess.reset();
    m_ui->guessLabel->clear();
    // The free-size entry when data.dat lists one, else no entry, which means the same.
    m_ui->presetCombo->setCurrentIndex(m_ui->presetCombo->findData(kFreeSizeName));
}

void CutSizeDialog::offerSize(QSize size)
{
    m_offering = true;
    m_ui->widthSpin->setValue(size.width());
    m_ui->heightSpin->setValue(size.height());
    m_offering = false;
}

void CutSizeDialog::guessGrid()
{
    std::optional<GridGuess> guess;
    try {
        guess = GuessGrid(m_sheet->picture, m_sheet->background);
    } catch (const Failure &failure) {
        m_ui->guessLabel->setText(failure.what());
        return;
    }
    if (!guess) {
        m_ui->guessLabel->setText(NoRegularGridText());
        return;
    }
    offerSize(guess->cell);
    chooseFreeSize(); // a preset would not be the grid's cell
    m_guess = guess;
    m_ui->guessLabel->setText(tr("%1 × %2 ピクセルの升目が %3 列 × %4 行 (間隔 %5, %6)")
                                  .arg(guess->cell.width())
                                  .arg(guess->cell.height())
                                  .arg(guess->columns)
                                  .arg(guess->rows)
                                  .arg(guess->gap.width())
                                  .arg(guess->gap.height()));
}

std::optional<CutSizeChoice> CutSizeDialog::ask(QSize current, QSize limit,
                                                const std::optional<GridSheet> &sheet)
{
    m_sheet = sheet;
    m_guess.reset();
    m_ui->guessLabel->clear();
    m_ui->guessGridButton->setEnabled(sheet.has_value());
    m_ui->widthSpin->setMaximum(limit.width());
    m_ui->heightSpin->setMaximum(limit.height());
    offerSize(current);
    const bool chosen = exec() == QDialog::Accepted;
    m_sheet.reset(); // the picture is not kept past the question
    if (!chosen)
        return std::nullopt;
    // A value still being typed counts as it will once the field is left.
    return CutSizeChoice{m_ui->presetCombo->currentData().toString(), m_ui->widthSpin->readValue(),
                         m_ui->heightSpin->readValue(), m_guess};
}
