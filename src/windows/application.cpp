// SPDX-License-Identifier: GPL-3.0-or-later
// Setting up the application.
#include "windows/application.h"

#include "core/base/interface_language.h"
#include "core/base/version.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

void SetUpApplication(QApplication &app)
{
    QApplication::setApplicationName(QStringLiteral("mokaran"));
    QApplication::setApplicationVersion(QString::fromLatin1(kVersion));

    // Qt's own texts (the buttons of message boxes, the file dialogs) in the interface's language.
    auto *translator = new QTranslator(&app);
    if (translator->load(QStringLiteral("qtbase_") + InterfaceLanguage(),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(translator);

    QApplication::setWindowIcon(MakeAppIcon());
}
