// SPDX-License-Identifier: GPL-3.0-or-later
// The about box.
#include "windows/about_dialog.h"

#include "core/base/version.h"
#include "ui_about_dialog.h"
#include "windows/dialog_buttons.h"

#include <QPushButton>

AboutDialog::AboutDialog(QWidget *parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::AboutDialog>())
{
    m_ui->setupUi(this);
    m_ui->versionLabel->setText(
        tr("ver %1  (%2)").arg(QLatin1String(kVersion), QLatin1String(kReleaseDate)));
    // Return closes the box, as Escape does.
    AddDialogButton(m_ui->buttonBox, tr("閉じる"), QDialogButtonBox::RejectRole, "closeButton")
        ->setDefault(true);
    connect(m_ui->buttonBox, &QDialogButtonBox::rejected, this, &QDialog::accept);
}

AboutDialog::~AboutDialog() = default;
