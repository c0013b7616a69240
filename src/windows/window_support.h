// SPDX-License-Identifier: GPL-3.0-or-later
// What every window of the program shares: font, icon, colours, the error box, file filters.
#pragma once

#include <QColor>
#include <QCoreApplication>
#include <QFileDialog>
#include <QIcon>
#include <QList>
#include <QRect>
#include <QString>
#include <QStringList>
#include <exception>
#include <new>

class QApplication;
class QDialog;
class QLabel;
class QMimeData;
class QWidget;

// The application title: error boxes carry it as their caption.
inline const QString kAppTitle = QStringLiteral("MOKARAN");

// Title, font ("ＭＳ Ｐゴシック" 12 px, or a metric-compatible Japanese font), Qt's own button
// texts in the interface language (InstallProgramTranslation chooses it first), and the program's
// icon on every window.
void SetUpApplication(QApplication &app);

// The program's icon, drawn at the sizes desktops ask for.
QIcon MakeAppIcon();

// The error box: caption "MOKARAN", the description with its full stop.
void ShowError(QWidget *parent, const QString &description);

// Runs a command and shows any failure in the error box: an exception must never leave a Qt slot.
template <typename Command> void Guarded(QWidget *parent, Command command)
{
    try {
        command();
    } catch (const std::bad_alloc &) {
        ShowError(parent, QCoreApplication::translate("WindowSupport", "メモリが不足しています"));
    } catch (const std::exception &failure) {
        ShowError(parent, QString::fromUtf8(failure.what()));
    }
}

// The dark background with white text of the panels and of the small dialogs. The controls on
// it with arrows on light buttons (spin boxes, scroll bars, combo boxes) keep dark arrows.
void SetDarkBackground(QWidget *widget);

// Sets a label's text and sizes the label to it.
void SetLabelText(QLabel *label, const QString &text);
// Gives every text label under root the width its text needs in the font in use, keeping its
// position and height as the window's form has them: the forms are drawn for a 12-pixel Japanese
// font, and a desktop with wider glyphs or a translation must not cut captions off. A label that
// grows moves the controls right of it on its row by as much, as do radio buttons and check boxes
// widened where their captions need it. Panels placed by hand, and a window of a fixed size,
// widen as far as the moved controls need.
void FitLabelWidths(QWidget *root);

// The desktop's own colours for the roles the layout uses.
QColor DarkShadowColor(); // panels and dialog backgrounds (white text on them)
QColor GrayTextColor();   // the line along the top of the size strip

// A file dialog kept between uses, so that it remembers its folder and filter; Qt's own dialog, so
// that it looks and behaves alike on every desktop. filter is written as
// "description|patterns|description|patterns". A save dialog accepts any name and asks nothing
// before a file is replaced (the command decides that); an open dialog accepts existing files only.
QFileDialog *MakeFileDialog(QWidget *parent, const char *name, QFileDialog::AcceptMode mode,
                            const QString &filter);

// Runs a file dialog kept between uses and returns the chosen file, or "" when cancelled. The
// completion list of its name field is closed too: left open, it would stay on screen after the
// dialog and swallow the next click.
QString RunFileDialog(QFileDialog *dialog);

// The position of a file dialog's chosen filter in its list (0 for the first), whether the dialog
// reports it with or without its patterns.
int SelectedFilterIndex(const QFileDialog *dialog);

// The areas of the screens that windows may take (without panels and docks), the primary
// screen's first.
QList<QRect> AvailableScreenAreas();

// Where a window whose outer frame was stored as left, top, width x height opens, given the
// available areas of the screens (the primary first). The screen is the one that holds most of
// the stored frame, or the primary when none holds any of it; the size is raised to minimum and
// otherwise lowered to that screen's area; the frame is then moved as little as it takes to lie
// inside the area (at the area's top-left corner when the minimum is larger than the area). Any
// stored numbers are safe: nothing overflows.
QRect PlaceOnScreens(int left, int top, int width, int height, QSize minimum,
                     const QList<QRect> &areas);

// Makes a dialog that is kept between openings open again where its frame was when it last
// closed (where it first opened, unless the user moved it). Left to Qt, a dialog shown again under
// an X window manager can come up lower and further right by the size of its title bar and border.
void KeepPlaceBetweenOpenings(QDialog *dialog);
// The file a drag and drop carries when it carries exactly one local file; "" otherwise.
QString DraggedFile(const QMimeData *data);
