// SPDX-License-Identifier: GPL-3.0-or-later
// The dialog that asks the frame's position.
#include "windows/frame_position_dialog.h"

#include "ui_frame_position_dialog.h"
#include "windows/dialog_buttons.h"
#include "windows/palettes.h"

FramePositionDialog::FramePositionDialog(QWidget *parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::FramePositionDialog>())
{
    m_ui->setupUi(this);
    SetDarkBackground(this);
    QDialogButtonBox *buttons = m_ui->buttonBox;
    AddDialogButton(buttons, tr("決定"), QDialogButtonBox::AcceptRole, "okButton");
    AddDialogButton(buttons, tr("キャンセル"), QDialogButtonBox::RejectRole, "cancelButton");
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

FramePositionDialog::~FramePositionDialog() = default;

std::optional<QPoint> FramePositionDialog::ask(QPoint current, QPoint greatest)
{
    m_ui->xSpin->setRange(0, std::max(greatest.x(), 0));
    m_ui->ySpin->setRange(0, std::max(greatest.y(), 0));
    m_ui->xSpin->setValue(current.x());
    m_ui->ySpin->setValue(current.y());
    m_ui->xSpin->selectAll();
    m_ui->xSpin->setFocus();
    if (exec() != QDialog::Accepted)
        return std::nullopt;
    // Values still being typed count as they will once their fields are left.
    return QPoint(m_ui->xSpin->readValue(), m_ui->ySpin->readValue());
}
