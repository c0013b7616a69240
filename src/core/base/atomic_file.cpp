// SPDX-License-Identifier: GPL-3.0-or-later
// Writing a file so that it is either the old one or the whole new one, never a part.
#include "core/base/atomic_file.h"

#include "core/base/file_names.h"
#include "core/base/files.h"

#include <QCoreApplication>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <dirent.h>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The length of a chain of symbolic links followed before giving up, as the kernel does.
constexpr int kMaxLinks = 40;
const QByteArray kTempPrefix = QByteArrayLiteral(".mokaran-");
const QByteArray kTempSuffix = QByteArrayLiteral(".tmp");

// The reason a write failed. Creating, linking and renaming are the folder's business: the
// file's own refusals (read-only, a folder, not a regular file) are found before any of them.
QString writeFailureReason(const QString &path, int err)
{
    const QString folder = FolderOfPath(path);
    switch (err) {
    case ENOENT:
    case ENOTDIR: return MissingFolderText(folder);
    case EACCES:
    case EPERM:
        return QCoreApplication::translate("Files", "フォルダ %1 に書き込む権限がありません")
            .arg(folder);
    case EROFS: return QCoreApplication::translate("Files", "読み取り専用のディスクです");
    case EISDIR: return QCoreApplication::translate("Files", "同じ名前のフォルダがあります");
    default: return ErrnoText(err);
    }
}

[[noreturn]] void failWrite(const QString &path, int err)
{
    ThrowWriteFailure(path, err);
}

[[noreturn]] void failWrite(const QString &path, const QString &why)
{
    throw WriteFailure(path, why);
}

void requireName(const QString &path)
{
    if (path.isEmpty()) // "" names no file; it would be read as the current folder's
        throw Failure(QCoreApplication::translate("Files", "書き込むファイルの名前が空です"));
}

// The folder of a file name as a path to open: "." for a bare name.
QByteArray folderOf(const QByteArray &name)
{
    const qsizetype slash = name.lastIndexOf('/');
    return slash < 0 ? QByteArray(".") : name.left(std::max<qsizetype>(slash, 1));
}

// A fresh temporary file beside target, named so that RemoveStaleTemporaryFiles can tell whose it
// is; its name is returned in tempName.
int createTempBeside(const QByteArray &target, QByteArray &tempName)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempName = TemporaryNameBeside(target);
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
// of a small frame's cost is. It costs no system call beyond those of writing the file: whether
// the name is taken is learnt from the link itself.
LinkOutcome writeByLinking(const QString &path, const QByteArray &target, QByteArrayView bytes)
{
    const int fd = ::open(folderOf(target).constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (fd < 0) {
        // An old kernel or a file system without unnamed files; any other error is the folder's.
        if (errno == EISDIR || errno == EOPNOTSUPP || errno == EINVAL || errno == ENOSYS)
            return LinkOutcome::NotAvailable;
        failWrite(path, errno);
    }
    bool ok = writeAll(fd, bytes.data(), bytes.size());
    int err = errno;
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
    if (err == ENOENT && ::access("/proc/self/fd", F_OK) != 0)
        return LinkOutcome::NotAvailable;
    failWrite(path, err);
}

// Writes the bytes to a temporary file beside target and renames it over target.
void writeThroughTemporary(const QString &path, const QByteArray &target, QByteArrayView bytes,
                           std::optional<unsigned> mode)
{
    const QByteArray tempName = WriteTemporaryBeside(path, target, bytes, mode);
    if (::rename(tempName.constData(), target.constData()) != 0) {
        const int err = errno;
        ::unlink(tempName.constData());
        failWrite(path, err);
    }
}

// The name at the end of the chain of symbolic links that starts at name, with its lstat in
// info; info.st_mode is 0 when nothing is there (a new file, or a link that leads nowhere yet).
QByteArray endOfLinks(const QString &path, QByteArray name, struct stat &info)
{
    for (int hops = 0;; ++hops) {
        if (::lstat(name.constData(), &info) != 0) {
            if (errno != ENOENT)
                failWrite(path, errno);
            info.st_mode = 0;
            return name;
        }
        if (!S_ISLNK(info.st_mode))
            return name;
        if (hops == kMaxLinks)
            failWrite(path, ELOOP);
        QByteArray link(qsizetype(info.st_size > 0 ? info.st_size : 4096) + 1, Qt::Uninitialized);
        const ssize_t length = ::readlink(name.constData(), link.data(), size_t(link.size()));
        if (length < 0 || length >= link.size())
            failWrite(path, length < 0 ? errno : ENAMETOOLONG);
        link.truncate(length);
        // A relative link is read from the folder the link lies in.
        name = link.startsWith('/') || !name.contains('/') ? link : folderOf(name) + '/' + link;
    }
}

// Whether the user may write the file: the system says so, and (since root may write anything)
// the file is not marked read-only for everyone.
bool isWritable(const QByteArray &name, const struct stat &info)
{
    return (info.st_mode & 0222) != 0 &&
           ::faccessat(AT_FDCWD, name.constData(), W_OK, AT_EACCESS) == 0;
}

// path is taken: replaces the file it is, or the file its links lead to.
void replaceExisting(const QString &path, const QByteArray &name, QByteArrayView bytes)
{
    const ReplacedFile file = FileToReplace(path);
    if (!file.mode) { // a link to a file yet to be made: make it there
        if (file.target == name || writeByLinking(path, file.target, bytes) != LinkOutcome::Written)
            writeThroughTemporary(path, file.target, bytes, std::nullopt);
        return;
    }
    writeThroughTemporary(path, file.target, bytes, file.mode);
}

bool processRuns(qint64 pid)
{
    return pid > 0 && pid <= INT_MAX && (::kill(pid_t(pid), 0) == 0 || errno != ESRCH);
}

} // namespace

void ThrowWriteFailure(const QString &path, int err)
{
    const Failure failure = WriteFailure(path, writeFailureReason(path, err));
    if (err == ENOSPC || err == EDQUOT)
        throw DiskFull(failure.description());
    throw failure;
}

QByteArray TemporaryNameBeside(const QByteArray &target)
{
    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray folder = target.left(slash + 1); // empty for a name in the current folder
    return folder + kTempPrefix + QByteArray::number(::getpid()) + '-' +
           QByteArray::number(QRandomGenerator::global()->generate64(), 36) + kTempSuffix;
}

ReplacedFile FileToReplace(const QString &path)
{
    requireName(path);
    struct stat info {};
    const QByteArray target = endOfLinks(path, EncodePath(path), info);
    if (info.st_mode == 0)
        return {target, std::nullopt};
    if (S_ISDIR(info.st_mode))
        failWrite(path, EISDIR);
    if (!S_ISREG(info.st_mode))
        failWrite(path, NotRegularFileText());
    if (!isWritable(target, info))
        failWrite(path, QCoreApplication::translate("Files", "読み取り専用のファイルです"));
    return {target, unsigned(info.st_mode & 0777)};
}

QByteArray WriteTemporaryBeside(const QString &path, const QByteArray &target, QByteArrayView bytes,
                                std::optional<unsigned> mode)
{
    QByteArray tempName;
    const int fd = createTempBeside(target, tempName);
    if (fd < 0)
        failWrite(path, errno);
    bool ok = !mode || ::fchmod(fd, mode_t(*mode)) == 0;
    ok = ok && writeAll(fd, bytes.data(), bytes.size());
    int err = errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        err = errno;
    }
    if (!ok) {
        ::unlink(tempName.constData());
        failWrite(path, err);
    }
    return tempName;
}

void WriteFileAtomically(const QString &path, QByteArrayView bytes)
{
    requireName(path);
    const QByteArray name = EncodePath(path);
    if (writeByLinking(path, name, bytes) != LinkOutcome::Written)
        replaceExisting(path, name, bytes);
}

bool IsTemporaryFileName(QByteArrayView name)
{
    if (!name.startsWith(kTempPrefix) || !name.endsWith(kTempSuffix))
        return false;
    const QByteArrayView middle =
        name.sliced(kTempPrefix.size(), name.size() - kTempPrefix.size() - kTempSuffix.size());
    const qsizetype dash = middle.indexOf('-');
    if (dash < 1 || dash + 1 == middle.size())
        return false;
    for (qsizetype i = 0; i < middle.size(); ++i) {
        const char c = middle[i];
        const bool digit = c >= '0' && c <= '9';
        if (i == dash ? c != '-' : !(digit || (i > dash && c >= 'a' && c <= 'z')))
            return false;
    }
    return true;
}

int RemoveStaleTemporaryFiles(const QString &folder)
{
    const QByteArray folderName = EncodePath(folder.isEmpty() ? QStringLiteral(".") : folder);
    DIR *dir = ::opendir(folderName.constData());
    if (!dir)
        return 0;
    int removed = 0;
    while (const dirent *entry = ::readdir(dir)) {
        const QByteArrayView name(entry->d_name);
        if (!IsTemporaryFileName(name))
            continue;
        const QByteArrayView pid =
            name.sliced(kTempPrefix.size()).first(name.sliced(kTempPrefix.size()).indexOf('-'));
        bool ok = false;
        const qint64 owner = pid.toByteArray().toLongLong(&ok);
        if (ok && !processRuns(owner) && ::unlinkat(::dirfd(dir), entry->d_name, 0) == 0)
            ++removed;
    }
    ::closedir(dir);
    return removed;
}
