// SPDX-License-Identifier: GPL-3.0-or-later
// The language the program speaks, and its translation.
#include "core/base/interface_language.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QTranslator>

namespace {

const QString kCatalog = QStringLiteral("mokaran_");

// What InstallProgramTranslation chose and installed.
struct Installed {
    QString language = kSourceLanguage;
    QPointer<QTranslator> translator; // gone with the application that owned it
};

Installed &installed()
{
    static Installed state;
    return state;
}

// "C", "POSIX" and "C.UTF-8" are the locales of a system nobody chose a language for.
bool isCLocale(const QString &locale)
{
    return locale == QLatin1String("C") || locale == QLatin1String("POSIX") ||
           locale.startsWith(QLatin1String("C."));
}

// The language of a locale name: "en" for "en_GB.UTF-8", "en-US" or "en@euro".
QString languageOf(const QString &locale)
{
    qsizetype end = 0;
    while (end < locale.size() && locale[end].isLetter())
        ++end;
    return locale.left(end).toLower();
}

QStringList translatedLanguages(const QString &folder)
{
    QStringList languages;
    const QStringList files =
        QDir(folder).entryList({kCatalog + QStringLiteral("*.qm")}, QDir::Files, QDir::Name);
    for (const QString &file : files)
        languages << QFileInfo(file).completeBaseName().mid(kCatalog.size());
    return languages;
}

} // namespace

LocaleEnvironment CurrentLocaleEnvironment()
{
    return {qEnvironmentVariable("MOKARAN_LANG"), qEnvironmentVariable("LANGUAGE"),
            qEnvironmentVariable("LC_ALL"), qEnvironmentVariable("LC_MESSAGES"),
            qEnvironmentVariable("LANG")};
}

QString ChooseInterfaceLanguage(const LocaleEnvironment &env, const QStringList &translated)
{
    QStringList wanted;
    if (!env.mokaranLang.isEmpty()) {
        wanted << env.mokaranLang;
    } else {
        // The locale of messages, as the C library finds it.
        QString messages = env.lcAll;
        if (messages.isEmpty())
            messages = env.lcMessages;
        if (messages.isEmpty())
            messages = env.lang;
        if (messages.isEmpty() || isCLocale(messages))
            return kSourceLanguage;
        // LANGUAGE lists languages in the order the user prefers them.
        wanted = env.language.isEmpty() ? QStringList{messages}
                                        : env.language.split(u':', Qt::SkipEmptyParts);
    }
    for (const QString &locale : wanted) {
        const QString language = languageOf(locale);
        if (isCLocale(locale) || language == kSourceLanguage)
            return kSourceLanguage;
        if (translated.contains(language))
            return language;
    }
    return translated.contains(kFallbackLanguage) ? kFallbackLanguage : kSourceLanguage;
}

QString TranslationsFolder(const AppPaths &paths)
{
    const QString beside = paths.programDir + QStringLiteral("translations/");
    return QFileInfo(beside).isDir() ? beside
                                     : paths.installedDataDir + QStringLiteral("translations/");
}

QString InstallProgramTranslation(const AppPaths &paths)
{
    Installed &state = installed();
    if (state.translator) {
        QCoreApplication::removeTranslator(state.translator);
        delete state.translator;
    }
    const QString folder = TranslationsFolder(paths);
    state.language =
        ChooseInterfaceLanguage(CurrentLocaleEnvironment(), translatedLanguages(folder));
    if (state.language == kSourceLanguage)
        return state.language;
    auto *translator = new QTranslator(QCoreApplication::instance());
    if (translator->load(kCatalog + state.language, folder) &&
        QCoreApplication::installTranslator(translator)) {
        state.translator = translator;
    } else {
        delete translator;
        state.language = kSourceLanguage;
    }
    return state.language;
}

QString InterfaceLanguage()
{
    return installed().language;
}

QString LocalizedDataFile(const AppPaths &paths, const QString &name)
{
    const QString language = InterfaceLanguage();
    if (language != kSourceLanguage) {
        const QFileInfo info(name);
        const QString localized =
            paths.dataFile(info.completeBaseName() + u'.' + language + u'.' + info.suffix());
        if (QFileInfo::exists(localized))
            return localized;
    }
    return paths.dataFile(name);
}
