// SPDX-License-Identifier: GPL-3.0-or-later
// The page maker: a fixed form of fourteen texts becomes a small HTML page for mobile phones, and
// the texts can be kept in a project file.
#pragma once

#include "core/page/page.h"

#include <QDialog>

#include <array>
#include <memory>

class QCheckBox;
class QFileDialog;
class QLineEdit;

namespace Ui {
class PageMakerDialog;
}

class PageMakerDialog : public QDialog {
    Q_OBJECT
  public:
    explicit PageMakerDialog(QWidget *parent = nullptr);
    ~PageMakerDialog() override;

    // The form's texts and "使用しない" boxes as the core sees them.
    PageProject project() const;
    void setProject(const PageProject &project);
    PageOmissions omissions() const;

  private:
    void nameForAssistiveTools();
    void makePage();
    void saveProject();
    void openProject();

    std::unique_ptr<Ui::PageMakerDialog> m_ui;
    std::array<QLineEdit *, 14> m_textFields{};               // in the order of PageProject::texts
    std::array<QCheckBox *, kPageSectionCount> m_omitBoxes{}; // by PageSection
    QFileDialog *m_pageSaveDialog;                            // where the page goes (*.html)
    QFileDialog *m_projectSaveDialog;                         // where the project goes (*.mkp)
    QFileDialog *m_projectOpenDialog;                         // the project to open (*.mkp, *.ihp)
};
