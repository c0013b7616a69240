// SPDX-License-Identifier: GPL-3.0-or-later
// File names as the file system holds them: bytes, which need not be UTF-8.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// A name listed from a folder comes back as the same bytes, also when it is not UTF-8 (a CP932
// name made on another system): each byte that is not part of a valid UTF-8 sequence is kept in
// the text as the lone surrogate U+DC00 + byte, and EncodePath turns it back into that byte.
// Every other character is UTF-8, as Qt encodes file names. Use these two, never QFile's
// encodeName and decodeName, for a path that goes to the file system: Qt would replace those
// bytes with U+FFFD, and the file could neither be opened nor written under its own name.
QString DecodePath(QByteArrayView bytes);
QByteArray EncodePath(const QString &path);

// The folder part of path for messages: what comes before its last "/" ("/" for a name in the
// root), or "." for a bare name.
QString FolderOfPath(const QString &path);

// Whether path names an existing folder (or a link to one).
bool IsFolder(const QString &path);

// Whether a and b name the same existing folder once ".", ".." and symbolic links are resolved
// (the same file system and the same folder on it). False when either is not a folder.
bool IsSameFolder(const QString &a, const QString &b);
