// SPDX-License-Identifier: GPL-3.0-or-later
// The about box.
#include "windows/about_dialog.h"

#include "core/base/version.h"
#include "ui_about_dialog.h"
#include "windows/window_support.h"

AboutDialog::AboutDialog(QWidget *parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::AboutDialog>())
{
    m_ui->setupUi(this);
    SetLabelText(m_ui->versionLabel,
                 tr("ver %1  (%2)").arg(QLatin1String(kVersion), QLatin1String(kReleaseDate)));
    FitLabelWidths(this);
    connect(m_ui->closeButton, &QPushButton::clicked, this, &QDialog::accept);
}

AboutDialog::~AboutDialog() = default;
