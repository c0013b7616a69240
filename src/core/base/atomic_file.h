// SPDX-License-Identifier: GPL-3.0-or-later
// Writing a file so that it is either the old one or the whole new one, never a part.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

// Writes the bytes so that path holds either its old content or the whole new one: a new file is
// linked into place once written, an existing one replaced by renaming a temporary file beside it
// over it. Not synced to disk one by one (a sequence writes thousands of frames).
//
// An existing file is replaced the way a user expects of a save: the new file keeps the old
// one's permission bits (a private file stays private), a file without write permission is
// refused, and a symbolic link stays a link while the file at the end of its chain is replaced.
// A folder, a FIFO or a device at path is refused and left alone.
//
// Throws Failure "書き込むファイルの名前が空です" for an empty path, else Failure
// "<path> に書き込めません (<reason>)", the reason saying whether the folder
// (missing, not writable) or the file (read-only, a folder) is the problem, or DiskFull with the
// same text when the disk is full; nothing is left behind on any error.
void WriteFileAtomically(const QString &path, QByteArrayView bytes);

// Removes from folder the temporary files of writers that were killed between writing and
// renaming (their process no longer runs); a run that writes many files calls it first. Returns
// how many were removed. Files of writers still running, and every other file, are left alone.
int RemoveStaleTemporaryFiles(const QString &folder);

// Whether name (without its folder) is the name of a temporary file of WriteFileAtomically:
// ".mokaran-<process id>-<random>.tmp".
bool IsTemporaryFileName(QByteArrayView name);

// The parts of WriteFileAtomically, for writers that put several files in place as one
// (StagedFiles). Each throws as WriteFileAtomically does.

// The file a write to path replaces: path itself, or the end of its chain of symbolic links, and
// the permission bits of the file there; no mode when nothing is there yet. A folder, a file that
// is not a regular one and a read-only file are refused.
struct ReplacedFile {
    QByteArray target;
    std::optional<unsigned> mode;
};
ReplacedFile FileToReplace(const QString &path);

// Writes the bytes to a new temporary file beside target (named as TemporaryNameBeside says) and
// returns its name. With a mode the file takes it before it replaces anything, so the old file's
// readers never lose access and others never gain it. Nothing is left behind when it throws.
QByteArray WriteTemporaryBeside(const QString &path, const QByteArray &target, QByteArrayView bytes,
                                std::optional<unsigned> mode);

// A name for a temporary file in target's folder that RemoveStaleTemporaryFiles recognises as
// this process's; not yet taken, most likely, but the caller must create it exclusively.
QByteArray TemporaryNameBeside(const QByteArray &target);

// Throws the failure of writing path for the error err: DiskFull when the disk is full, else
// Failure "<path> に書き込めません (<reason>)".
[[noreturn]] void ThrowWriteFailure(const QString &path, int err);
