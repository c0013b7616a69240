// SPDX-License-Identifier: GPL-3.0-or-later
// The small dialog in which the frame's top-left corner is typed as X and Y.
#pragma once

#include <QDialog>
#include <QPoint>

#include <memory>
#include <optional>

namespace Ui {
class FramePositionDialog;
}

class FramePositionDialog : public QDialog {
    Q_OBJECT
  public:
    explicit FramePositionDialog(QWidget *parent = nullptr);
    ~FramePositionDialog() override;

    // Asks for a position from (0, 0) to greatest, offering current. A value typed beyond a bound
    // is taken as that bound. nullopt when the user cancels or closes the dialog.
    std::optional<QPoint> ask(QPoint current, QPoint greatest);

  private:
    std::unique_ptr<Ui::FramePositionDialog> m_ui;
};
