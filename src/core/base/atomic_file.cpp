// SPDX-License-Identifier: GPL-3.0-or-later
// Writing a file so that it is either the old one or the whole new one, never a part.
#include "core/base/atomic_file.h"

#include "core/base/files.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <unistd.h>

namespace {

[[noreturn]] void failWrite(const QString &path, int err)
{
    throw WriteFailure(path, ErrnoText(err));
}

// A fresh hidden file beside the target; its name is returned in tempName.
int createTempBeside(const QByteArray &target, QByteArray &tempName)
{
    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray folder = target.left(slash + 1); // empty for a name in the current folder
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempName = folder + ".mokaran-" +
                   QByteArray::number(QRandomGenerator::global()->generate64(), 36) + ".tmp";
        // 0666 less the umask, as for any new file: the renamed file is not left private.
        const int fd = ::open(tempName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

bool writeAll(int fd, const char *data, qint64 size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size_t(size));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = EIO;
            return false;
        }
        data += n;
        size -= n;
    }
    return true;
}

enum class LinkOutcome { Written, TargetExists, NotAvailable };

// A new file appears whole through an unnamed file that is linked into place once written: one
// directory entry made instead of a temporary one made, renamed and removed, which is what most
// of a small frame's cost is. A target that exists already cannot be replaced this way.
LinkOutcome writeByLinking(const QString &path, const QByteArray &target, const char *data,
                           qint64 size, int &err)
{
    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray folder =
        slash < 0 ? QByteArray(".") : target.left(std::max<qsizetype>(slash, 1));
    const int fd = ::open(folder.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (fd < 0)
        return LinkOutcome::NotAvailable; // an old kernel or a file system without unnamed files
    bool ok = writeAll(fd, data, size);
    err = errno;
    if (ok) {
        // Linking needs a name for the open file; /proc gives it one without special rights.
        const QByteArray self = "/proc/self/fd/" + QByteArray::number(fd);
        ok = ::linkat(AT_FDCWD, self.constData(), AT_FDCWD, target.constData(),
                      AT_SYMLINK_FOLLOW) == 0;
        err = errno;
    }
    ::close(fd); // an unnamed file that was not linked simply goes
    if (ok)
        return LinkOutcome::Written;
    if (err == EEXIST)
        return LinkOutcome::TargetExists;
    if (err == ENOENT && !QFile::exists(QStringLiteral("/proc/self/fd")))
        return LinkOutcome::NotAvailable;
    failWrite(path, err);
}

// The file a chain of symbolic links at path ends in, found as Qt finds it; path itself when it is
// no link, or when the chain does not end within 127 links.
QString endOfLinks(const QString &path)
{
    QFileInfo file(path);
    if (!file.isSymLink())
        return path;
    int hops = 128;
    while (--hops && file.isSymLink())
        file.setFile(file.symLinkTarget());
    return hops > 0 ? file.filePath() : path;
}

// Writes to target (path is the name the messages give). With permissions, the temporary file
// takes them before it replaces the old one, so the old file's readers never lose access and
// others never gain it.
void writeAtomically(const QString &path, const QByteArray &target, QByteArrayView bytes,
                     std::optional<QFileDevice::Permissions> permissions)
{
    const char *data = bytes.data();
    const qint64 size = bytes.size();
    int linkError = 0;
    if (writeByLinking(path, target, data, size, linkError) == LinkOutcome::Written)
        return;
    QByteArray tempName;
    const int fd = createTempBeside(target, tempName);
    if (fd < 0)
        failWrite(path, errno);
    if (permissions)
        QFile::setPermissions(QFile::decodeName(tempName), *permissions);
    bool ok = writeAll(fd, data, size);
    int err = errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        err = errno;
    }
    if (ok && ::rename(tempName.constData(), target.constData()) != 0) {
        ok = false;
        err = errno;
    }
    if (!ok) {
        ::unlink(tempName.constData());
        failWrite(path, err);
    }
}

} // namespace

void WriteFileAtomically(const QString &path, QByteArrayView bytes, ExistingFile existing)
{
    if (existing == ExistingFile::Replaced) {
        writeAtomically(path, QFile::encodeName(path), bytes, std::nullopt);
        return;
    }
    const QFileInfo target(endOfLinks(path));
    writeAtomically(path, QFile::encodeName(target.filePath()), bytes,
                    target.exists() ? std::optional(target.permissions()) : std::nullopt);
}
