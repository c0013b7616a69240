// SPDX-License-Identifier: GPL-3.0-or-later
// ShrinkFileList, GetField and ReplaceAll: reading jpeg.dat and collecting the files it names.
#include "core/batch/shrink_file_list.h"

#include "core/base/files.h"
#include "core/base/text_codec.h"
#include "core/image/picture_reading.h"

#include <QCoreApplication>
#include <QSet>

#include <algorithm>
#include <array>

namespace {

constexpr int kMaxFields = 25;
constexpr qsizetype kMaxSeparatorChars = 4;

// Bytes of the character at pos: two for a lead byte with a byte after it, else one.
qsizetype charLength(QByteArrayView text, qsizetype pos)
{
    return IsCp932LeadByte(uchar(text[pos])) && pos + 1 < text.size() ? 2 : 1;
}

qsizetype charCount(QByteArrayView text)
{
    qsizetype count = 0;
    for (qsizetype pos = 0; pos < text.size(); pos += charLength(text, pos))
        ++count;
    return count;
}

// Without the bytes up to 32 (spaces and control characters) at both ends.
QByteArray trimmedBytes(QByteArrayView text)
{
    qsizetype first = 0, last = text.size();
    while (first < last && uchar(text[first]) <= 32)
        ++first;
    while (last > first && uchar(text[last - 1]) <= 32)
        --last;
    return text.sliced(first, last - first).toByteArray();
}

// The same for a decoded text: code points up to 32 at both ends.
QString trimmedText(const QString &text)
{
    qsizetype first = 0, last = text.size();
    while (first < last && text[first].unicode() <= 32)
        ++first;
    while (last > first && text[last - 1].unicode() <= 32)
        --last;
    return text.sliced(first, last - first);
}

// The last (up to four) characters read, the newest at the back.
using Recent = std::array<QByteArrayView, kMaxSeparatorChars>;

bool windowMatches(const Recent &recent, qsizetype separatorChars, QByteArrayView separator)
{
    if (separatorChars < 1 || separatorChars > kMaxSeparatorChars)
        return false;
    QByteArray window;
    for (qsizetype i = kMaxSeparatorChars - separatorChars; i < kMaxSeparatorChars; ++i)
        window += recent[size_t(i)];
    return window == separator;
}

QList<QByteArray> linesOf(QByteArrayView text)
{
    QList<QByteArray> lines;
    for (const TextLine &line : SplitLines(text))
        lines << text.sliced(line.start, line.end - line.start).toByteArray();
    return lines;
}

// A line from a UTF-8 file in CP932, the form the field rules read: a UTF-8 byte of 0x81..0x9F
// would otherwise swallow a following quote as the second byte of a Shift-JIS character and
// merge two fields. A character without a CP932 form (only free text would hold one) becomes "?".
QByteArray cp932Line(const QString &line)
{
    if (const auto whole = EncodeCp932(line))
        return *whole;
    QByteArray bytes;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const qsizetype length = line[i].isHighSurrogate() && i + 1 < line.size() ? 2 : 1;
        bytes += EncodeCp932(line.sliced(i, length)).value_or(QByteArray("?"));
        i += length - 1;
    }
    return bytes;
}

QList<QByteArray> settingLinesOf(QByteArrayView bytes)
{
    const qsizetype nul = bytes.indexOf('\0');
    if (nul >= 0)
        bytes = bytes.first(nul);
    if (DetectEncoding(bytes) == TextEncoding::Cp932)
        return linesOf(bytes);
    QList<QByteArray> lines = linesOf(bytes.startsWith("\xEF\xBB\xBF") ? bytes.sliced(3) : bytes);
    for (QByteArray &line : lines)
        line = cp932Line(DecodeText(line, TextEncoding::Utf8));
    return lines;
}

QByteArray unquotedField(int index, const QByteArray &line)
{
    return ReplaceAll(GetField(index, line, QByteArrayLiteral("\",")), "\"", "");
}

QString decodedCp932(const QByteArray &bytes)
{
    return DecodeCp932(bytes).value_or(DecodeText(bytes, TextEncoding::Cp932));
}

} // namespace

QByteArray GetField(int index, const QByteArray &line, const QByteArray &separator)
{
    const QByteArray text = trimmedBytes(line);
    const qsizetype separatorChars = charCount(separator);
    std::array<QByteArray, kMaxFields> fields;
    int field = 1; // the field being read; beyond kMaxFields characters are dropped
    Recent recent{};
    for (qsizetype pos = 0; pos < text.size();) {
        const qsizetype length = charLength(text, pos);
        const QByteArrayView current = QByteArrayView(text).sliced(pos, length);
        std::shift_left(recent.begin(), recent.end(), 1);
        recent.back() = current;
        if (windowMatches(recent, separatorChars, separator))
            ++field;
        else if (field <= kMaxFields)
            fields[size_t(field - 1)] += current;
        pos += length;
    }
    if (index < 1 || index > field || index > kMaxFields)
        return {};
    QByteArray result = fields[size_t(index - 1)];
    result.chop(std::max<qsizetype>(0, separatorChars - 1));
    return result;
}

QByteArray ReplaceAll(const QByteArray &source, const QByteArray &find,
                      const QByteArray &replacement)
{
    if (find.isEmpty())
        return source;
    QByteArray result;
    for (qsizetype pos = 0; pos < source.size();) {
        if (QByteArrayView(source).sliced(pos).startsWith(find)) {
            result += replacement;
            pos += find.size();
        } else {
            const qsizetype length = charLength(source, pos);
            result += QByteArrayView(source).sliced(pos, length);
            pos += length;
        }
    }
    return result;
}

void ShrinkFileList::loadExtensions(const QString &path)
{
    clearLists();
    QByteArray bytes;
    try {
        ReadFileInto(path, bytes);
    } catch (const Failure &failure) {
        throw Failure(QCoreApplication::translate("Shrink", "拡張子の設定ファイル %1")
                          .arg(failure.description()));
    }
    readExtensions(bytes);
}

void ShrinkFileList::readExtensions(QByteArrayView bytes)
{
    settingLines = settingLinesOf(bytes);
    parseExtensions();
}

void ShrinkFileList::clearLists()
{
    settingLines.clear();
    extensions.clear();
}

void ShrinkFileList::parseExtensions()
{
    extensions.clear();
    for (const QByteArray &setting : settingLines) {
        const QByteArray line = trimmedBytes(setting);
        if (unquotedField(1, line) != "1" || unquotedField(2, line) != "1")
            continue;
        extensions << decodedCp932(unquotedField(4, line));
    }
}

void ShrinkFileList::collectFiles(const QStringList &folders, QStringList &result) const
{
    result.clear();
    // Rows that match the same file (a line repeated, "jpg" beside "JPG", "*" beside "jpg") must
    // not shrink it twice: the second pass would shrink the first one's output again.
    QSet<QString> listed;
    for (const QString &folder : folders) {
        for (const QString &extension : extensions) {
            const QString trimmed = trimmedText(extension);
            if (trimmed.isEmpty())
                continue;
            for (const QString &file : ListFolder(folder, QStringLiteral("*.") + trimmed)) {
                if (!listed.contains(file)) {
                    listed.insert(file);
                    result << file;
                }
            }
        }
    }
}

QString StripPrefix(const QString &path, const QString &prefix)
{
    return path.startsWith(prefix, Qt::CaseSensitive) ? path.sliced(prefix.size()) : path;
}
