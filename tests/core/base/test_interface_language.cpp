// SPDX-License-Identifier: GPL-3.0-or-later
// Which language the interface speaks for a given environment.
#include "core/base/interface_language.h"

#include <gtest/gtest.h>

namespace {

// Catches a C or unset locale taken for English (existing users would lose their Japanese), the
// C library's order of LC_ALL, LC_MESSAGES and LANG turned around, LANGUAGE obeyed under the C
// locale, a locale's territory or codeset taken for part of its language, and a language without
// a translation left in Japanese instead of English.
TEST(ChooseInterfaceLanguage, FollowsTheLocaleOfMessages)
{
    const struct {
        LocaleEnvironment env; // MOKARAN_LANG, LANGUAGE, LC_ALL, LC_MESSAGES, LANG
        const char *language;
    } rows[] = {
        {{}, "ja"},
        {{"", "", "", "", "C"}, "ja"},
        {{"", "", "", "", "C.UTF-8"}, "ja"},
        {{"", "", "", "", "POSIX"}, "ja"},
        {{"", "en_US:en", "", "", "C.UTF-8"}, "ja"},
        {{"", "", "", "", "ja_JP.UTF-8"}, "ja"},
        {{"", "", "", "", "ja_JP.eucJP"}, "ja"},
        {{"", "", "", "", "en_US.UTF-8"}, "en"},
        {{"", "", "", "", "en_GB.UTF-8@euro"}, "en"},
        {{"", "", "", "", "de_DE.UTF-8"}, "en"},
        {{"", "", "C", "", "en_US.UTF-8"}, "ja"},
        {{"", "", "en_US.UTF-8", "ja_JP.UTF-8", "ja_JP.UTF-8"}, "en"},
        {{"", "", "", "ja_JP.UTF-8", "en_US.UTF-8"}, "ja"},
        {{"", "ja:en", "", "", "en_US.UTF-8"}, "ja"},
        {{"", "fr:en_GB", "", "", "ja_JP.UTF-8"}, "en"},
        {{"ja", "", "", "", "en_US.UTF-8"}, "ja"},
        {{"en", "", "", "", "C"}, "en"},
    };
    for (const auto &row : rows) {
        const LocaleEnvironment &e = row.env;
        SCOPED_TRACE(("MOKARAN_LANG=" + e.mokaranLang + " LANGUAGE=" + e.language +
                      " LC_ALL=" + e.lcAll + " LC_MESSAGES=" + e.lcMessages + " LANG=" + e.lang)
                         .toStdString());
        EXPECT_EQ(ChooseInterfaceLanguage(e, {QStringLiteral("en")}).toStdString(), row.language);
    }
    // Without any translation there is nothing but Japanese to speak.
    EXPECT_EQ(ChooseInterfaceLanguage({"", "", "", "", "en_US.UTF-8"}, {}).toStdString(), "ja");
}

} // namespace
