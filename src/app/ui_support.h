// What every window of the program shares: font, icon, colours, the error box, file filters.
#pragma once

#include <QColor>
#include <QIcon>
#include <QString>
#include <QStringList>

class QApplication;
class QWidget;

// The application title: error boxes carry it as their caption.
inline const QString kAppTitle = QStringLiteral("MOKARAN");

// Title, font ("ＭＳ Ｐゴシック" 12 px, or a metric-compatible Japanese font), Qt's own Japanese
// button texts, and the program's icon on every window.
void SetUpApplication(QApplication &app);

// The program's icon, drawn at the sizes desktops ask for.
QIcon MakeAppIcon();

// The error box: caption "MOKARAN", the description with its full stop.
void ShowError(QWidget *parent, const QString &description);

// The desktop's own colours for the roles the layout uses.
QColor DarkShadowColor();   // panels and dialog backgrounds (white text on them)
QColor GrayTextColor();     // the line along the top of the size strip
QColor ButtonShadowColor(); // the canvas surround

// Turns a filter written as "description|patterns|description|patterns" (patterns separated by
// ';', blanks allowed) into Qt's name filters. The description is shown as written.
QStringList QtNameFilters(const QString &filter);
