// SPDX-License-Identifier: GPL-3.0-or-later
// The application as a whole: its title, Qt's own texts in the interface's language, its icon.
#pragma once

#include <QIcon>
#include <QString>

class QApplication;

// The application title: error boxes carry it as their caption.
inline const QString kAppTitle = QStringLiteral("MOKARAN");

// Name, version, Qt's own button texts in the interface language (InstallProgramTranslation
// chooses it first), and the program's icon on every window. The windows use the desktop's own
// font: their layouts size themselves to it.
void SetUpApplication(QApplication &app);

// The program's icon, drawn at the sizes desktops ask for.
QIcon MakeAppIcon();
