// SPDX-License-Identifier: GPL-3.0-or-later
// Reading files, splitting lines, folder paths and the failure texts of the program's files.
#include "core/base/files.h"

#include "core/base/file_names.h"

#include <QCoreApplication>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The reads of a reader that stops after some lines: small enough that a huge tail is not read,
// and a whole number of them in every limit, so the limit falls between two reads.
constexpr qsizetype kLineChunk = 64 * 1024;

// Closes the descriptor on every path out, exceptions included.
struct Descriptor {
    int fd = -1;
    ~Descriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

// The failure of opening path: a missing file in a folder that exists is "file not found", but
// a missing folder, or one the user may not enter, is named as such, so the user looks for the
// right thing.
IoError openFailure(const QString &path, int err)
{
    const QString folder = FolderOfPath(path);
    const QByteArray folderName = EncodePath(folder);
    if (err == ENOENT || err == ENOTDIR) {
        struct stat info {};
        if (::stat(folderName.constData(), &info) != 0 || !S_ISDIR(info.st_mode))
            return IoError(IoCodeFromErrno(ENOENT), MissingFolderText(folder));
    }
    if (err == EACCES && ::access(folderName.constData(), X_OK) != 0)
        return IoError(
            IoCodeFromErrno(EACCES),
            QCoreApplication::translate("Files", "フォルダ %1 を開く権限がありません").arg(folder));
    return IoErrorFromErrno(err);
}

// Only a regular file goes on; the check comes before opening, as opening a FIFO could block and
// opening a device can act on it.
void refuseUnlessRegular(const QString &path, const QByteArray &name)
{
    struct stat info {};
    if (::stat(name.constData(), &info) != 0)
        throw openFailure(path, errno);
    if (S_ISDIR(info.st_mode))
        throw IoError(EISDIR, FolderNotFileText());
    if (!S_ISREG(info.st_mode))
        throw Failure(NotRegularFileText());
}

int openForReading(const QString &path, SpecialFiles special)
{
    const QByteArray name = EncodePath(path);
    if (special == SpecialFiles::Refused)
        refuseUnlessRegular(path, name);
    // Never waiting: a file swapped for a FIFO after the check above must not block either.
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        throw openFailure(path, errno);
    return fd;
}

// Makes data exactly `size` bytes long, in its own memory when that is large enough and unshared:
// resizing within the capacity never reallocates. Otherwise a fresh block, with no copy of the old.
void startBuffer(QByteArray &data, qsizetype size)
{
    if (data.isDetached() && data.capacity() >= size)
        data.resize(size);
    else
        data = QByteArray(size, Qt::Uninitialized);
}

// Line ends in chunk; afterCr carries a CR at a chunk's end over to the next chunk, so that a
// CR LF split between two reads counts once.
int countLineEnds(QByteArrayView chunk, bool &afterCr)
{
    int count = 0;
    for (const char c : chunk) {
        if (c == '\r' || (c == '\n' && !afterCr))
            ++count;
        afterCr = c == '\r';
    }
    return count;
}

// Room for the next read: a whole chunk when reading by lines; otherwise at least one byte, the
// buffer doubling up to one byte past the limit, which is enough to see that a file is larger.
void makeRoom(QByteArray &data, qsizetype used, const FileReading &how)
{
    if (how.stopAfterLines > 0) {
        if (data.size() - used < kLineChunk)
            data.resize(used + kLineChunk);
    } else if (used == data.size()) {
        data.resize(qsizetype(std::min<qint64>(qint64(used) * 2, how.limit + 1)));
    }
}

// The reading loop once the file is open; returns the number of bytes kept. sizeOnDisk is 0 for
// a pipe and out of date for a file that grows meanwhile: the buffer grows until the end is seen.
qsizetype readOpenFile(int fd, qint64 sizeOnDisk, QByteArray &data, const FileReading &how)
{
    const bool byLines = how.stopAfterLines > 0;
    // One byte more than the size, so the end of the file is seen without growing the buffer.
    startBuffer(data, byLines ? kLineChunk : qsizetype(std::min(sizeOnDisk, how.limit) + 1));
    qsizetype used = 0;
    int lineEnds = 0;
    bool afterCr = false;
    for (;;) {
        makeRoom(data, used, how);
        const qsizetype wanted = byLines ? kLineChunk : data.size() - used;
        const ssize_t n = ::read(fd, data.data() + used, size_t(wanted));
        if (n == 0)
            break;
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throw IoErrorFromErrno(errno);
        used += n;
        if (used > how.limit) {
            if (how.larger == LargerFiles::Refused)
                throw Failure(FileTooLargeText());
            return qsizetype(how.limit);
        }
        if (byLines) {
            lineEnds += countLineEnds(QByteArrayView(data.constData() + used - n, n), afterCr);
            if (lineEnds >= how.stopAfterLines)
                break;
        }
    }
    return used;
}

template <typename View> TextLine lineAt(View text, qsizetype pos)
{
    qsizetype end = pos;
    while (end < text.size() && text[end] != '\r' && text[end] != '\n')
        ++end;
    qsizetype next = end;
    if (next < text.size() && text[next] == '\r')
        ++next;
    if (next < text.size() && text[next] == '\n')
        ++next;
    return {pos, end, next};
}

template <typename View> std::vector<TextLine> splitLines(View text, qsizetype maxLines)
{
    std::vector<TextLine> lines;
    for (qsizetype pos = 0; pos < text.size() && qsizetype(lines.size()) != maxLines;) {
        lines.push_back(lineAt(text, pos));
        pos = lines.back().next;
    }
    return lines;
}

} // namespace

void ReadFile(const QString &path, QByteArray &bytes, const FileReading &how)
{
    bytes.truncate(0); // keeps the capacity (clear() would free it)
    const Descriptor file{openForReading(path, how.special)};
    struct stat info {};
    if (::fstat(file.fd, &info) != 0)
        throw IoErrorFromErrno(errno);
    if (S_ISDIR(info.st_mode))
        throw IoError(EISDIR, FolderNotFileText());
    if (how.special == SpecialFiles::Refused && !S_ISREG(info.st_mode))
        throw Failure(NotRegularFileText());
    // A whole file larger than the limit is refused unread, before any memory is taken for it.
    if (how.stopAfterLines <= 0 && how.larger == LargerFiles::Refused && info.st_size > how.limit)
        throw Failure(FileTooLargeText());
    bytes.truncate(readOpenFile(file.fd, info.st_size, bytes, how));
}

QByteArray ReadFile(const QString &path, const FileReading &how)
{
    QByteArray bytes;
    ReadFile(path, bytes, how);
    return bytes;
}

TextLine LineAt(QByteArrayView text, qsizetype pos)
{
    return lineAt(text, pos);
}

TextLine LineAt(QStringView text, qsizetype pos)
{
    return lineAt(text, pos);
}

std::vector<TextLine> SplitLines(QByteArrayView text, qsizetype maxLines)
{
    return splitLines(text, maxLines);
}

std::vector<TextLine> SplitLines(QStringView text, qsizetype maxLines)
{
    return splitLines(text, maxLines);
}

QString WithTrailingSlash(const QString &folder)
{
    return folder.isEmpty() || folder.endsWith(u'/') ? folder : folder + u'/';
}

Failure ReadFailure(const QString &path, const QString &why)
{
    return Failure(QCoreApplication::translate("Files", "%1 を読み込めません (%2)").arg(path, why));
}

Failure WriteFailure(const QString &path, const QString &why)
{
    return Failure(QCoreApplication::translate("Files", "%1 に書き込めません (%2)").arg(path, why));
}

QString DamagedFileText(QStringView kind)
{
    return QCoreApplication::translate("Files", "%1 ファイルが壊れています").arg(kind);
}

QString CutShortFileText(QStringView kind)
{
    return QCoreApplication::translate("Files", "%1 ファイルが途中で切れています").arg(kind);
}

QString TooLittleDataText(QStringView kind, qint64 width, qint64 height)
{
    return QCoreApplication::translate("Files",
                                       "%1 ファイルのデータが %2 x %3 の画像には足りません")
        .arg(kind)
        .arg(width)
        .arg(height);
}

QString FileTooLargeText()
{
    return QCoreApplication::translate("Files", "ファイルが大きすぎます");
}

QString EmptyFileText()
{
    return QCoreApplication::translate("Files", "ファイルが空です");
}

QString PictureTooLargeText(qint64 width, qint64 height)
{
    return QCoreApplication::translate("Files", "画像が大きすぎます: %1 x %2")
        .arg(width)
        .arg(height);
}

QString NoPictureText()
{
    return QCoreApplication::translate("Files", "画像がありません");
}

QString MissingFolderText(const QString &folder)
{
    return QCoreApplication::translate("Files", "フォルダ %1 がありません").arg(folder);
}

QString FolderNotFileText()
{
    return QCoreApplication::translate("Files", "ファイルではなくフォルダです");
}

QString NotRegularFileText()
{
    return QCoreApplication::translate("Files", "通常のファイルではありません");
}
