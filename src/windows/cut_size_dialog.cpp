// SPDX-License-Identifier: GPL-3.0-or-later
// The cut-size dialog.
#include "windows/cut_size_dialog.h"

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
    // The free-size entry when data.dat lists one, else no entry, which means the same.
    m_ui->presetCombo->setCurrentIndex(m_ui->presetCombo->findData(kFreeSizeName));
}

std::optional<CutSizeChoice> CutSizeDialog::ask(QSize current, QSize limit)
{
    m_offering = true;
    m_ui->widthSpin->setMaximum(limit.width());
    m_ui->heightSpin->setMaximum(limit.height());
    m_ui->widthSpin->setValue(current.width());
    m_ui->heightSpin->setValue(current.height());
    m_offering = false;
    if (exec() != QDialog::Accepted)
        return std::nullopt;
    // A value still being typed counts as it will once the field is left.
    return CutSizeChoice{m_ui->presetCombo->currentData().toString(), m_ui->widthSpin->readValue(),
                         m_ui->heightSpin->readValue()};
}
