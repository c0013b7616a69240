// SPDX-License-Identifier: GPL-3.0-or-later
// The cut-size dialog: a preset from data.dat, or a free width and height.
#pragma once

#include <QDialog>
#include <QSize>
#include <QStringList>

#include <memory>
#include <optional>

namespace Ui {
class CutSizeDialog;
}

// What the user chose: the preset's name as listed (empty when none is chosen), and the free
// width and height as typed (pulled into the fields' range).
struct CutSizeChoice {
    QString preset;
    int width = 0;
    int height = 0;
};

class CutSizeDialog : public QDialog {
    Q_OBJECT
  public:
    // presetNames: the names of the presets in file order; empty names are not listed.
    explicit CutSizeDialog(const QStringList &presetNames, QWidget *parent = nullptr);
    ~CutSizeDialog() override;

    // Offers current as the free size, with fields that go up to limit. The preset chosen last
    // stays chosen. nullopt when the dialog is closed without 決定.
    std::optional<CutSizeChoice> ask(QSize current, QSize limit);

  private:
    void chooseFreeSize();

    std::unique_ptr<Ui::CutSizeDialog> m_ui;
    bool m_offering = false; // the fields are being filled by ask(), not by the user
};
