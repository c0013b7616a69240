// SPDX-License-Identifier: GPL-3.0-or-later
// The language the program speaks: Japanese, the language its texts are written in, unless the
// user's locale asks for another one; the program then loads its translation (English).
#pragma once

#include "core/base/app_paths.h"

#include <QString>
#include <QStringList>

// The language the texts are written in: no translation is loaded for it.
inline const QString kSourceLanguage = QStringLiteral("ja");
// The language of a locale that is neither Japanese nor one the program has a translation for.
inline const QString kFallbackLanguage = QStringLiteral("en");

// The environment variables that choose the language of messages, as the C library reads them.
struct LocaleEnvironment {
    QString mokaranLang; // MOKARAN_LANG: a locale or a language ("en", "ja"), above all the others
    QString language;    // LANGUAGE: a list such as "en_GB:en"; ignored under the C locale
    QString lcAll;       // LC_ALL, then LC_MESSAGES, then LANG: the locale of messages
    QString lcMessages;
    QString lang;
};

// The variables of the running process.
LocaleEnvironment CurrentLocaleEnvironment();

// The interface language for env, given the languages there are translations for ("en"). Japanese
// where the locale is Japanese, unset, C or POSIX, so that nothing changes for the program's
// existing users; otherwise the first language of the locale (or of LANGUAGE) that has a
// translation, or kFallbackLanguage when none has.
QString ChooseInterfaceLanguage(const LocaleEnvironment &env, const QStringList &translated);

// The folder of the compiled translations (mokaran_<language>.qm): translations/ beside the
// executable in a build, or in the installed data folder.
QString TranslationsFolder(const AppPaths &paths);

// Chooses the interface language from the environment and installs the program's translation for
// it in the running application, in place of one installed before. Returns the language, which
// InterfaceLanguage() reports from then on; a translation that cannot be loaded leaves the texts
// in Japanese and gives kSourceLanguage.
QString InstallProgramTranslation(const AppPaths &paths);

// The language InstallProgramTranslation chose; kSourceLanguage before it ran.
QString InterfaceLanguage();

// One of the files that ship with the program in the interface language: for "help.html" under
// English "help.en.html" when paths has one, otherwise the file itself.
QString LocalizedDataFile(const AppPaths &paths, const QString &name);
