// SPDX-License-Identifier: GPL-3.0-or-later
// Files that belong together, such as a sprite sheet and its JSON, written so that either every
// one of them is new or every one is as it was.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

// Each file is first written whole to a temporary file beside the file it replaces (with every
// refusal of WriteFileAtomically: an empty name, a folder, a read-only file ...); only when all
// are written are they renamed into place, one after another. Renaming cannot fail for a lack of
// room, so after the first rename little can still go wrong; should it, the files already
// renamed are put back from a second link that kept each old file until then.
//
// The renames are separate system calls: a process killed between two of them leaves the files
// before that point new and the others old, with the old files' links left as temporary files
// that RemoveStaleTemporaryFiles takes away.
class StagedFiles {
  public:
    StagedFiles() = default;
    StagedFiles(const StagedFiles &) = delete;
    StagedFiles &operator=(const StagedFiles &) = delete;
    // The temporary files of a set never committed go: every file stays as it was.
    ~StagedFiles();

    // Writes bytes to a temporary file for path. Throws as WriteFileAtomically does, leaving
    // nothing of this file (files added before stay staged).
    void add(const QString &path, QByteArrayView bytes);

    // Puts every staged file in place, in the order added. Throws Failure (DiskFull when the disk
    // is full) when one cannot be: its message says why, and that the files are as they were, or,
    // should putting one back fail too, which files are new and which are as they were.
    void commit();

  private:
    struct File {
        QString path;
        QByteArray target;    // the file replaced: path, or the end of its symbolic links
        QByteArray temporary; // the new content until it is renamed
        QByteArray kept;      // a second link to the old file until every file is in place
        bool existed = true;  // whether a file was there to replace
    };
    void keepOld(File &file);
    [[noreturn]] void putBack(size_t failed, int err);

    std::vector<File> m_files;
};

// Writes the files as one through StagedFiles. When one cannot be written, the failure names it
// and says that every file is as it was.
void WriteFilesTogether(const std::vector<std::pair<QString, QByteArray>> &files);

// "<a> と <b> は元のままです" after a failure's description: the files a failed write kept.
QString KeptAsTheyWereText(const QString &failure, const QStringList &paths);
