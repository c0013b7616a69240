// SPDX-License-Identifier: GPL-3.0-or-later
// The file dialogs.
#include "windows/file_dialogs.h"

#include <QAbstractItemView>
#include <QCompleter>

namespace {

// Turns a filter written as "description|patterns|description|patterns" (patterns separated by
// ';', blanks allowed) into Qt's name filters. The description is shown as written.
QStringList qtNameFilters(const QString &filter)
{
    const QStringList parts = filter.split(u'|');
    QStringList result;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString &pattern : parts[i + 1].split(u';', Qt::SkipEmptyParts))
            patterns << pattern.trimmed();
        // Qt reads the patterns from the last bracket; the description keeps its own brackets
        // and is all that the dialog shows (HideNameFilterDetails).
        result << parts[i] + QStringLiteral(" (") + patterns.join(u' ') + u')';
    }
    return result;
}

} // namespace

QFileDialog *MakeFileDialog(QWidget *parent, const char *name, QFileDialog::AcceptMode mode,
                            const QString &filter)
{
    auto *dialog = new QFileDialog(parent);
    dialog->setObjectName(QLatin1String(name));
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setOption(QFileDialog::HideNameFilterDetails);
    dialog->setAcceptMode(mode);
    if (mode == QFileDialog::AcceptSave) {
        dialog->setOption(QFileDialog::DontConfirmOverwrite);
        dialog->setFileMode(QFileDialog::AnyFile);
    } else {
        dialog->setFileMode(QFileDialog::ExistingFile);
    }
    dialog->setNameFilters(qtNameFilters(filter));
    return dialog;
}

int SelectedFilterIndex(const QFileDialog *dialog)
{
    const QString chosen = dialog->selectedNameFilter();
    const QStringList filters = dialog->nameFilters();
    for (qsizetype i = 0; i < filters.size(); ++i) {
        if (filters[i] == chosen || filters[i].startsWith(chosen + QStringLiteral(" (")))
            return int(i);
    }
    return 0;
}

QString RunFileDialog(QFileDialog *dialog)
{
    const bool accepted = dialog->exec() == QDialog::Accepted;
    for (QCompleter *completer : dialog->findChildren<QCompleter *>()) {
        if (completer->popup())
            completer->popup()->hide();
    }
    if (!accepted || dialog->selectedFiles().isEmpty())
        return {};
    return dialog->selectedFiles().front();
}
