// What every window of the program shares: font, colours, the error box, file filters.
#include "app/ui_support.h"

#include "app/io_error.h"

#include <QApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPalette>
#include <QTranslator>

void SetUpApplication(QApplication &app)
{
    QApplication::setApplicationName(QStringLiteral("mokaran"));
    QApplication::setApplicationVersion(QStringLiteral("1.32"));

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

QColor DarkShadowColor()
{
    return QApplication::palette().color(QPalette::Shadow);
}

QColor GrayTextColor()
{
    return QApplication::palette().color(QPalette::Disabled, QPalette::Text);
}

QColor ButtonShadowColor()
{
    return QApplication::palette().color(QPalette::Dark);
}

QStringList QtNameFilters(const QString &filter)
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
