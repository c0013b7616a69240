// SPDX-License-Identifier: GPL-3.0-or-later
// The questions the program asks before it replaces files or lets edits go.
#pragma once

#include <QStringList>

class QWidget;

// Asks once before files are replaced: the one file by name, or how many there are and the
// first of them. True when the user agrees; the answer offered first is no.
bool MayReplaceFiles(QWidget *parent, const QStringList &existing);

// What to do with edits not saved, before the picture gives way to another or the program ends.
enum class UnsavedEdits { Save, Discard, Cancel };
UnsavedEdits AskAboutUnsavedEdits(QWidget *parent, const QString &pictureName);
