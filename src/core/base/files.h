// SPDX-License-Identifier: GPL-3.0-or-later
// What the readers and writers of the program's files share: reading a file, splitting its text
// into lines, the CP932 lead bytes, folder paths, and the wording of a failed read or write.
#pragma once

#include "core/base/io_error.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <vector>

// How a reader treats a path that is not a regular file (a FIFO, a device). A folder is always
// refused, as IoError(EISDIR, FolderNotFileText()).
enum class SpecialFiles {
    Refused,            // refused before it is opened (a Failure, not an IoError): a FIFO would
                        // block the reader until something writes to it, a device never end
    ReadWithoutWaiting, // opened without waiting for a writer: a FIFO gives what it holds now
};

// What a reader does with a file larger than its limit.
enum class LargerFiles {
    Refused,    // Failure(FileTooLargeText()), the file unread when its size shows it
    CutAtLimit, // the first `limit` bytes are read, the rest ignored
};

struct FileReading {
    qint64 limit = 0; // bytes
    LargerFiles larger = LargerFiles::Refused;
    SpecialFiles special = SpecialFiles::Refused;
    // Above 0: reading stops once this many lines have ended (CR LF, LF or CR), so a text file
    // with a huge tail costs no more than its first lines. The bytes then arrive in reads of
    // 64 KiB, and the limit counts only what was read.
    int stopAfterLines = 0;
};

// Reads the file at path into bytes, replacing its contents. The memory of bytes is used when it
// is large enough and unshared: a batch then reads file after file into the same block. Throws
// IoError (IoErrorFromErrno) when a system call fails and Failure as the rules say; the messages
// do not name the file, which ReadFailure adds where a caller wants it. A file missing from a
// folder that exists is IoError(2) "ファイルが見つかりません"; when the folder itself is missing,
// the code is 2 as well but the text names the folder (MissingFolderText).
void ReadFile(const QString &path, QByteArray &bytes, const FileReading &how);
QByteArray ReadFile(const QString &path, const FileReading &how);

// One line of a text: its characters run from start to end, its line end (if any) to next.
struct TextLine {
    qsizetype start = 0;
    qsizetype end = 0;
    qsizetype next = 0;
};

// The line that starts at pos. A line ends at CR LF, LF or a lone CR (LF CR ends two lines).
TextLine LineAt(QByteArrayView text, qsizetype pos);
TextLine LineAt(QStringView text, qsizetype pos);

// The lines of text, the first maxLines of them when maxLines is not negative. A last line without
// a line end counts; a text that ends with a line end has no empty line after it.
std::vector<TextLine> SplitLines(QByteArrayView text, qsizetype maxLines = -1);
std::vector<TextLine> SplitLines(QStringView text, qsizetype maxLines = -1);

// A byte that starts a two-byte character in CP932 (Shift-JIS): 0x81..0x9F or 0xE0..0xFC.
inline bool IsCp932LeadByte(uchar c)
{
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// folder with a "/" at its end. An empty path stays empty: it names no folder, and a caller that
// refuses an empty folder must still see it empty (it would otherwise become the root).
QString WithTrailingSlash(const QString &folder);

// "<path> を読み込めません (<why>)".
Failure ReadFailure(const QString &path, const QString &why);
// "<path> に書き込めません (<why>)".
Failure WriteFailure(const QString &path, const QString &why);

// The reasons a file cannot be read or written, for the messages above. kind is "JPEG" or "BMP".
QString DamagedFileText(QStringView kind);  // "<kind> ファイルが壊れています"
QString CutShortFileText(QStringView kind); // "<kind> ファイルが途中で切れています"
QString FileTooLargeText();                 // "ファイルが大きすぎます"
QString EmptyFileText();                    // "ファイルが空です"
// "<kind> ファイルのデータが W x H の画像には足りません" (ExceedsCodedPixels)
QString TooLittleDataText(QStringView kind, qint64 width, qint64 height);
QString PictureTooLargeText(qint64 width, qint64 height); // "画像が大きすぎます: W x H"
QString NoPictureText();                                  // "画像がありません"
QString MissingFolderText(const QString &folder); // "フォルダ <folder> がありません"
QString FolderNotFileText();                      // "ファイルではなくフォルダです"
QString NotRegularFileText();                     // "通常のファイルではありません"
