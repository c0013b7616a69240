// What every window of the program shares: font, colours, the error box, file filters.
#include "windows/window_support.h"

#include "core/base/io_error.h"
#include "core/base/version.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCompleter>
#include <QFileDialog>
#include <QFont>
#include <QFrame>
#include <QLabel>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QMimeData>
#include <QPalette>
#include <QPushButton>
#include <QTranslator>
#include <QUrl>

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

void SetUpApplication(QApplication &app)
{
    QApplication::setApplicationName(QStringLiteral("mokaran"));
    QApplication::setApplicationVersion(QString::fromLatin1(kVersion));

    // Debian has no alias for the Windows font the layout was drawn with: without these
    // substitutions Qt picks a Latin font with CJK fallback, whose widths break the fixed layout.
    const QStringList japanese = {QStringLiteral("IPAPGothic"), QStringLiteral("Noto Sans CJK JP")};
    QFont::insertSubstitutions(QStringLiteral("ＭＳ Ｐゴシック"), japanese);
    QFont::insertSubstitutions(QStringLiteral("MS PGothic"), japanese);
    QFont font(QStringLiteral("ＭＳ Ｐゴシック"));
    font.setPixelSize(12);
    QApplication::setFont(font);

    auto *translator = new QTranslator(&app);
    if (translator->load(QLocale(QLocale::Japanese), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(translator);

    QApplication::setWindowIcon(MakeAppIcon());
}

void ShowError(QWidget *parent, const QString &description)
{
    QMessageBox::critical(parent, kAppTitle, WithFullStop(description));
}

void SetDarkBackground(QWidget *widget)
{
    widget->setAutoFillBackground(true);
    QPalette pal = widget->palette();
    pal.setColor(QPalette::Window, DarkShadowColor());
    pal.setColor(QPalette::WindowText, Qt::white);
    widget->setPalette(pal);
}

void SetLabelText(QLabel *label, const QString &text)
{
    label->setText(text);
    label->adjustSize();
}

void FitLabelWidths(QWidget *root)
{
    for (QLabel *label : root->findChildren<QLabel *>()) {
        if (!label->text().isEmpty())
            label->resize(label->sizeHint().width(), label->height());
    }
}

QColor DarkShadowColor()
{
    return QApplication::palette().color(QPalette::Shadow);
}

QColor GrayTextColor()
{
    return QApplication::palette().color(QPalette::Disabled, QPalette::Text);
}

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

QString DraggedFile(const QMimeData *data)
{
    const QList<QUrl> urls = data ? data->urls() : QList<QUrl>();
    return urls.size() == 1 && urls.front().isLocalFile() ? urls.front().toLocalFile() : QString();
}
