// SPDX-License-Identifier: GPL-3.0-or-later
// Files that belong together, written so that all are new or all as they were.
#include "core/base/staged_files.h"

#include "core/base/atomic_file.h"
#include "core/base/io_error.h"

#include <QCoreApplication>

#include <cerrno>
#include <unistd.h>

namespace {

QString joined(const QStringList &paths)
{
    return paths.join(QCoreApplication::translate("Files", " と "));
}

// The failure of writing path for err: its description, and whether the disk is full.
std::pair<QString, bool> writeFailure(const QString &path, int err)
{
    try {
        ThrowWriteFailure(path, err);
    } catch (const DiskFull &failure) {
        return {failure.description(), true};
    } catch (const Failure &failure) {
        return {failure.description(), false};
    }
}

[[noreturn]] void fail(const QString &description, bool diskFull)
{
    if (diskFull)
        throw DiskFull(description);
    throw Failure(description);
}

} // namespace

QString KeptAsTheyWereText(const QString &failure, const QStringList &paths)
{
    return QCoreApplication::translate("Files", "%1。%2 は元のままです")
        .arg(failure, joined(paths));
}

StagedFiles::~StagedFiles()
{
    for (const File &file : m_files) {
        if (!file.temporary.isEmpty())
            ::unlink(file.temporary.constData());
        if (!file.kept.isEmpty())
            ::unlink(file.kept.constData());
    }
}

void StagedFiles::add(const QString &path, QByteArrayView bytes)
{
    const ReplacedFile replaced = FileToReplace(path);
    File file{path, replaced.target, {}, {}, replaced.mode.has_value()};
    file.temporary = WriteTemporaryBeside(path, file.target, bytes, replaced.mode);
    m_files.push_back(std::move(file));
}

// A second link to the file about to be replaced, under a temporary name: it costs no copy, and
// the old file can be renamed back until every file is in place.
void StagedFiles::keepOld(File &file)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QByteArray name = TemporaryNameBeside(file.target);
        if (::link(file.target.constData(), name.constData()) == 0) {
            file.kept = name;
            file.existed = true;
            return;
        }
        if (errno == ENOENT) { // nothing there (any more): putting back is removing
            file.existed = false;
            return;
        }
        if (errno != EEXIST)
            return; // a file system without hard links: this file cannot be put back
    }
}

void StagedFiles::commit()
{
    for (size_t i = 0; i < m_files.size(); ++i) {
        File &file = m_files[i];
        if (i + 1 < m_files.size()) // the last one is never put back
            keepOld(file);
        const int renamed = ::rename(file.temporary.constData(), file.target.constData());
        const int err = errno;
        if (renamed != 0)
            putBack(i, err);
        file.temporary.clear();
    }
    for (File &file : m_files) {
        if (!file.kept.isEmpty())
            ::unlink(file.kept.constData());
        file.kept.clear();
    }
}

void StagedFiles::putBack(size_t failed, int err)
{
    QStringList kept;
    QStringList replaced;
    for (size_t i = 0; i < m_files.size(); ++i) {
        File &file = m_files[i];
        bool old = i >= failed;
        if (!old && !file.kept.isEmpty()) {
            old = ::rename(file.kept.constData(), file.target.constData()) == 0;
            if (old)
                file.kept.clear();
        } else if (!old && !file.existed) {
            old = ::unlink(file.target.constData()) == 0;
        }
        (old ? kept : replaced) << file.path;
    }
    const auto [description, diskFull] = writeFailure(m_files[failed].path, err);
    if (replaced.isEmpty())
        fail(KeptAsTheyWereText(description, kept), diskFull);
    fail(QCoreApplication::translate("Files", "%1。%2 は新しく書き込まれ、%3 は元のままです")
             .arg(description, joined(replaced), joined(kept)),
         diskFull);
}

void WriteFilesTogether(const std::vector<std::pair<QString, QByteArray>> &files)
{
    StagedFiles staged;
    QStringList paths;
    for (const auto &[path, bytes] : files)
        paths << path;
    for (const auto &[path, bytes] : files) {
        try {
            staged.add(path, bytes);
        } catch (const DiskFull &failure) {
            throw DiskFull(KeptAsTheyWereText(failure.description(), paths));
        } catch (const Failure &failure) {
            throw Failure(KeptAsTheyWereText(failure.description(), paths));
        }
    }
    staged.commit();
}
