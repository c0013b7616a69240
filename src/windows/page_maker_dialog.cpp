// SPDX-License-Identifier: GPL-3.0-or-later
// The page maker.
#include "windows/page_maker_dialog.h"

#include "ui_page_maker_dialog.h"
#include "windows/dialog_buttons.h"
#include "windows/error_box.h"
#include "windows/file_dialogs.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

const char *const kPageFilter =
    QT_TRANSLATE_NOOP("PageMakerDialog", "ＨＴＭＬファイルを保存(*.html)|*.html");
const char *const kProjectFilter =
    QT_TRANSLATE_NOOP("PageMakerDialog", "プロジェクトファイル(*.mkp)|*.mkp");
// Lists the files the save writes as well as the older extension.
const char *const kOpenFilter =
    QT_TRANSLATE_NOOP("PageMakerDialog", "プロジェクトファイルを開く(*.mkp, *.ihp)|*.mkp; *.ihp");

// Section headings stand out in larger blue type, a third larger than the desktop's font.
void styleHeading(QLabel *heading)
{
    QFont font = heading->font();
    font.setPointSizeF(font.pointSizeF() * 4 / 3);
    heading->setFont(font);
    QPalette pal = heading->palette();
    pal.setColor(QPalette::WindowText, Qt::blue);
    heading->setPalette(pal);
}

} // namespace

PageMakerDialog::PageMakerDialog(QWidget *parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::PageMakerDialog>())
{
    m_ui->setupUi(this);
    for (QLabel *heading :
         {m_ui->pictureHeading, m_ui->textHeading, m_ui->link1Heading, m_ui->link2Heading,
          m_ui->link3Heading, m_ui->link4Heading, m_ui->link5Heading, m_ui->text2Heading})
        styleHeading(heading);

    m_textFields = {m_ui->titleField,     m_ui->pictureUrlField, m_ui->textField,
                    m_ui->link1TextField, m_ui->link1UrlField,   m_ui->link2TextField,
                    m_ui->link2UrlField,  m_ui->link3TextField,  m_ui->link3UrlField,
                    m_ui->link4TextField, m_ui->link4UrlField,   m_ui->link5TextField,
                    m_ui->link5UrlField,  m_ui->text2Field};
    m_omitBoxes = {m_ui->omitPictureBox, m_ui->omitTextBox,  m_ui->omitLink1Box,
                   m_ui->omitLink2Box,   m_ui->omitLink3Box, m_ui->omitLink4Box,
                   m_ui->omitLink5Box,   m_ui->omitText2Box};
    nameForAssistiveTools();

    m_pageSaveDialog =
        MakeFileDialog(this, "pageSaveDialog", QFileDialog::AcceptSave, tr(kPageFilter));
    m_pageSaveDialog->setDefaultSuffix(QStringLiteral("html"));
    m_projectSaveDialog =
        MakeFileDialog(this, "projectSaveDialog", QFileDialog::AcceptSave, tr(kProjectFilter));
    m_projectSaveDialog->setDefaultSuffix(QStringLiteral("mkp"));
    m_projectOpenDialog =
        MakeFileDialog(this, "projectOpenDialog", QFileDialog::AcceptOpen, tr(kOpenFilter));
    // A name that matches no file is let through, so that the error box names the file that could
    // not be read; a name typed without an extension is taken as the older kind of project.
    m_projectOpenDialog->setFileMode(QFileDialog::AnyFile);
    m_projectOpenDialog->setDefaultSuffix(QStringLiteral("ihp"));

    QDialogButtonBox *buttons = m_ui->buttonBox;
    const auto action = [&](const QString &caption, const char *name,
                            void (PageMakerDialog::*run)()) {
        connect(AddDialogButton(buttons, caption, QDialogButtonBox::ActionRole, name),
                &QPushButton::clicked, this, run);
    };
    action(tr("ＨＴＭＬを作成する"), "makePageButton", &PageMakerDialog::makePage);
    action(tr("作成データを保存する"), "saveProjectButton", &PageMakerDialog::saveProject);
    action(tr("作成データを開く"), "openProjectButton", &PageMakerDialog::openProject);
    AddDialogButton(buttons, tr("閉じる"), QDialogButtonBox::RejectRole, "closeButton");
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    // The buttons head the right-hand column: Tab reaches them after the left one.
    QList<QWidget *> order{m_ui->link3UrlField};
    for (const char *name :
         {"makePageButton", "saveProjectButton", "openProjectButton", "closeButton"})
        order << buttons->findChild<QPushButton *>(QLatin1String(name));
    order << m_ui->omitLink4Box;
    ChainTabOrder(order);
}

PageMakerDialog::~PageMakerDialog() = default;

void PageMakerDialog::nameForAssistiveTools()
{
    // Several sections share their captions (表示テキスト, 使用しない, テキスト): a screen reader
    // names each control by its section too, so that the five URL fields do not all sound alike.
    const auto named = [](QWidget *control, const QLabel *section, const QString &what) {
        control->setAccessibleName(what.isEmpty() ? section->text()
                                                  : section->text() + u' ' + what);
    };
    const QLabel *headings[] = {m_ui->pictureHeading, m_ui->textHeading,  m_ui->link1Heading,
                                m_ui->link2Heading,   m_ui->link3Heading, m_ui->link4Heading,
                                m_ui->link5Heading,   m_ui->text2Heading};
    for (size_t i = 0; i < m_omitBoxes.size(); ++i)
        named(m_omitBoxes[i], headings[i], m_omitBoxes[i]->text());
    named(m_ui->pictureUrlField, m_ui->pictureHeading, m_ui->pictureUrlCaption->text());
    named(m_ui->textField, m_ui->textHeading, {});
    // The second text section has the first one's heading: its place tells them apart.
    m_ui->text2Field->setAccessibleName(m_ui->text2Heading->text() + QStringLiteral(" 2"));
    QLineEdit *const linkFields[][2] = {{m_ui->link1TextField, m_ui->link1UrlField},
                                        {m_ui->link2TextField, m_ui->link2UrlField},
                                        {m_ui->link3TextField, m_ui->link3UrlField},
                                        {m_ui->link4TextField, m_ui->link4UrlField},
                                        {m_ui->link5TextField, m_ui->link5UrlField}};
    for (size_t i = 0; i < std::size(linkFields); ++i) {
        named(linkFields[i][0], headings[i + 2], m_ui->link1TextCaption->text());
        named(linkFields[i][1], headings[i + 2], m_ui->link1UrlCaption->text());
    }
}

PageProject PageMakerDialog::project() const
{
    PageProject project;
    for (size_t i = 0; i < m_textFields.size(); ++i)
        project.texts[i] = m_textFields[i]->text();
    return project;
}

void PageMakerDialog::setProject(const PageProject &project)
{
    for (size_t i = 0; i < m_textFields.size(); ++i)
        m_textFields[i]->setText(project.texts[i]);
}

PageOmissions PageMakerDialog::omissions() const
{
    PageOmissions omissions;
    for (size_t i = 0; i < m_omitBoxes.size(); ++i)
        omissions.omitted[i] = m_omitBoxes[i]->isChecked();
    return omissions;
}

void PageMakerDialog::makePage()
{
    Guarded(this, [this] {
        const QString path = RunFileDialog(m_pageSaveDialog);
        if (!path.isEmpty())
            WritePageFile(path, project(), omissions());
    });
}

void PageMakerDialog::saveProject()
{
    Guarded(this, [this] {
        const QString path = RunFileDialog(m_projectSaveDialog);
        if (!path.isEmpty())
            WriteProjectFile(path, project());
    });
}

void PageMakerDialog::openProject()
{
    Guarded(this, [this] {
        // A cancelled open keeps what was typed; the boxes are never part of a project.
        const QString path = RunFileDialog(m_projectOpenDialog);
        if (!path.isEmpty())
            setProject(ReadProjectFile(path));
    });
}
