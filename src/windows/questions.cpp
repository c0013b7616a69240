// SPDX-License-Identifier: GPL-3.0-or-later
// The questions before files are replaced or edits let go.
#include "windows/questions.h"

#include "windows/application.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>

bool MayReplaceFiles(QWidget *parent, const QStringList &existing)
{
    if (existing.isEmpty())
        return true;
    const QString question =
        existing.size() == 1
            ? QCoreApplication::translate("Questions", "%1 は既にあります。上書きしますか?")
                  .arg(existing.front())
            : QCoreApplication::translate(
                  "Questions", "%n 個のファイルが既にあります (%1 など)。上書きしますか?", nullptr,
                  int(existing.size()))
                  .arg(existing.front());
    return QMessageBox::question(parent, kAppTitle, question, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

UnsavedEdits AskAboutUnsavedEdits(QWidget *parent, const QString &pictureName)
{
    QMessageBox box(
        QMessageBox::Warning, kAppTitle,
        pictureName.isEmpty()
            ? QCoreApplication::translate("Questions", "画像の変更を保存しますか?")
            : QCoreApplication::translate("Questions", "%1 の変更を保存しますか?").arg(pictureName),
        QMessageBox::NoButton, parent);
    box.setObjectName(QStringLiteral("unsavedEditsBox"));
    box.setInformativeText(
        QCoreApplication::translate("Questions", "保存しないと、編集した内容は失われます。"));
    QPushButton *save =
        box.addButton(QCoreApplication::translate("Questions", "保存"), QMessageBox::AcceptRole);
    save->setObjectName(QStringLiteral("saveButton"));
    QPushButton *discard = box.addButton(QCoreApplication::translate("Questions", "保存しない"),
                                         QMessageBox::DestructiveRole);
    discard->setObjectName(QStringLiteral("discardButton"));
    QPushButton *cancel = box.addButton(QCoreApplication::translate("Questions", "キャンセル"),
                                        QMessageBox::RejectRole);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    box.setDefaultButton(save);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == save)
        return UnsavedEdits::Save;
    if (box.clickedButton() == discard)
        return UnsavedEdits::Discard;
    return UnsavedEdits::Cancel;
}
