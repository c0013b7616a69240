// SPDX-License-Identifier: GPL-3.0-or-later
// Writing a file so that it is either the old one or the whole new one, never a part.
#pragma once

#include <QByteArrayView>
#include <QString>

// What becomes of a symbolic link at the path and of the permissions of the file replaced.
enum class ExistingFile {
    // The path itself is replaced (a link there gives way to the new file), and the new file
    // has the permissions of any new file: 0666 less the umask.
    Replaced,
    // The file at the end of a chain of links is replaced and the links stay; the new file takes
    // the permissions of the one it replaces. set.ini is written so: a user may keep it private,
    // or link it from elsewhere, and each save keeps that.
    LinkAndPermissionsKept,
};

// Writes the bytes so that path holds either its old content or the whole new one: a new file is
// linked into place once written, an existing one replaced by renaming a temporary file beside it
// over it. Not synced to disk one by one (a sequence writes thousands of frames). Throws Failure
// "<path> に書き込めません (<reason>)" and leaves nothing behind on any error.
void WriteFileAtomically(const QString &path, QByteArrayView bytes,
                         ExistingFile existing = ExistingFile::Replaced);
