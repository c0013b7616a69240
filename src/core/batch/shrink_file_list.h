// SPDX-License-Identifier: GPL-3.0-or-later
// ShrinkFileList: the extension file jpeg.dat and the list of JPEG files the batch shrink works on.
#pragma once

#include "core/batch/folder_listing.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

// Texts here are byte strings in Shift-JIS (CP932), the code page of jpeg.dat: a byte from
// 0x81..0x9F or 0xE0..0xFC starts a two-byte character, whatever byte follows it.

// Field number index (from 1) of line, fields being separated by separator (one to four
// characters; a longer one never matches). The line is trimmed of bytes up to 32 first. A field
// keeps the separator's leading part that was read before the separator was recognised, so the
// result loses its last (separator length - 1) bytes: with the separator `",` every field,
// the last included, loses its closing quote. At most 25 fields are kept; an index beyond the
// fields found gives an empty text.
QByteArray GetField(int index, const QByteArray &line, const QByteArray &separator);

// source with every occurrence of find replaced, scanning left to right: occurrences do not
// overlap, a replacement is never searched again, and a match never starts in the middle of a
// two-byte character. An empty find leaves source as it is.
QByteArray ReplaceAll(const QByteArray &source, const QByteArray &find,
                      const QByteArray &replacement);

class ShrinkFileList {
  public:
    QStringList extensions;         // extensions without the dot, in file order (may be blank)
    QList<QByteArray> settingLines; // the lines of jpeg.dat as read, in CP932

    // Reads the extension file at path into settingLines and rebuilds extensions from them. The
    // file is CP932 (a UTF-8 file is accepted and converted); CR, LF or CR LF end a line and a NUL
    // byte ends the text. A file that cannot be read throws Failure naming it; both lists are
    // then empty.
    void loadExtensions(const QString &path);
    // The same from the bytes of such a file.
    void readExtensions(QByteArrayView bytes);
    // Empties settingLines and extensions.
    void clearLists();
    // Rebuilds extensions: field 4 of every row whose fields 1 and 2 are both "1", quotes
    // removed, untrimmed.
    void parseExtensions();
    // Replaces result with the files of every folder for every extension, in that nesting
    // order: grouped by extension as jpeg.dat orders them. Each extension is trimmed and forms
    // the pattern "*.<ext>"; a blank one is skipped. A file matching two extensions is listed
    // once, where the first of them lists it.
    void collectFiles(const QStringList &folders, QStringList &result) const;
};

// path less a leading prefix, compared exactly (letter case counts); else path unchanged.
QString StripPrefix(const QString &path, const QString &prefix);
