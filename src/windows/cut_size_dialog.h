// SPDX-License-Identifier: GPL-3.0-or-later
// The cut-size dialog: a preset from data.dat, or a free width and height.
#pragma once

#include "core/sequence/grid_guess.h"

#include <QDialog>
#include <QImage>
#include <QSize>
#include <QStringList>

#include <memory>
#include <optional>

namespace Ui {
class CutSizeDialog;
}

// What the user chose: the preset's name as listed (empty when none is chosen), and the free
// width and height as typed (pulled into the fields' range). grid when the size is the cell of
// the grid 格子を推定 found, still as found: the frame goes to its first cell and the grid cut
// steps over its gaps.
struct CutSizeChoice {
    QString preset;
    int width = 0;
    int height = 0;
    std::optional<GridGuess> grid;
};

// The picture whose grid 格子を推定 looks for, and what its background is.
struct GridSheet {
    QImage picture;
    SpriteBackground background;
};

class CutSizeDialog : public QDialog {
    Q_OBJECT
  public:
    // presetNames: the names of the presets in file order; empty names are not listed.
    explicit CutSizeDialog(const QStringList &presetNames, QWidget *parent = nullptr);
    ~CutSizeDialog() override;

    // Offers current as the free size, with fields that go up to limit, and 格子を推定 when
    // there is a sheet. The preset chosen last stays chosen. nullopt when the dialog is closed
    // without 決定.
    std::optional<CutSizeChoice> ask(QSize current, QSize limit,
                                     const std::optional<GridSheet> &sheet = std::nullopt);

  private:
    void chooseFreeSize();
    void guessGrid();
    void offerSize(QSize size);

    std::unique_ptr<Ui::CutSizeDialog> m_ui;
    bool m_offering = false; // the fields are being filled by the dialog, not by the user
    std::optional<GridSheet> m_sheet;
    std::optional<GridGuess> m_guess; // the grid found, while the size is still its cell
};
