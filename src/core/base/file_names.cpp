// SPDX-License-Identifier: GPL-3.0-or-later
// File names as bytes: a lossless text form, the folder of a path, the same-folder test.
#include "core/base/file_names.h"

#include <sys/stat.h>

namespace {

constexpr char16_t kEscapeBase = 0xDC00; // a byte b that is not UTF-8 becomes U+DC00 + b

// The length of the valid UTF-8 sequence at bytes[pos] and its code point, or 0 when the bytes
// there are not one (a stray continuation byte, an overlong form, a surrogate, beyond U+10FFFF,
// or a sequence cut short).
int utf8SequenceAt(QByteArrayView bytes, qsizetype pos, char32_t &code)
{
    const uchar lead = uchar(bytes[pos]);
    int length = 0;
    char32_t minimum = 0;
    if (lead < 0x80) {
        code = lead;
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, code = lead & 0x1F, minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, code = lead & 0x0F, minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, code = lead & 0x07, minimum = 0x10000;
    } else {
        return 0;
    }
    if (pos + length > bytes.size())
        return 0;
    for (int i = 1; i < length; ++i) {
        const uchar next = uchar(bytes[pos + i]);
        if ((next & 0xC0) != 0x80)
            return 0;
        code = code << 6 | (next & 0x3F);
    }
    const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
    return code < minimum || code > 0x10FFFF || surrogate ? 0 : length;
}

void appendUtf8(QByteArray &out, char32_t code)
{
    if (code < 0x80) {
        out += char(code);
    } else if (code < 0x800) {
        out += char(0xC0 | code >> 6);
        out += char(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += char(0xE0 | code >> 12);
        out += char(0x80 | (code >> 6 & 0x3F));
        out += char(0x80 | (code & 0x3F));
    } else {
        out += char(0xF0 | code >> 18);
        out += char(0x80 | (code >> 12 & 0x3F));
        out += char(0x80 | (code >> 6 & 0x3F));
        out += char(0x80 | (code & 0x3F));
    }
}

bool isEscapedByte(char16_t c)
{
    return c >= kEscapeBase + 0x80 && c <= kEscapeBase + 0xFF;
}

} // namespace

QString DecodePath(QByteArrayView bytes)
{
    QString text;
    text.reserve(bytes.size());
    for (qsizetype pos = 0; pos < bytes.size();) {
        char32_t code = 0;
        const int length = utf8SequenceAt(bytes, pos, code);
        if (length == 0) {
            text += QChar(char16_t(kEscapeBase + uchar(bytes[pos])));
            ++pos;
            continue;
        }
        text += QStringView(QChar::fromUcs4(code));
        pos += length;
    }
    return text;
}

QByteArray EncodePath(const QString &path)
{
    QByteArray bytes;
    bytes.reserve(path.size());
    for (qsizetype i = 0; i < path.size(); ++i) {
        const char16_t c = path[i].unicode();
        if (c < 0x80) {
            bytes += char(c);
        } else if (QChar::isHighSurrogate(c) && i + 1 < path.size() &&
                   path[i + 1].isLowSurrogate()) {
            appendUtf8(bytes, QChar::surrogateToUcs4(c, path[i + 1].unicode()));
            ++i;
        } else if (isEscapedByte(c)) {
            bytes += char(c - kEscapeBase);
        } else {
            // Any other lone surrogate has no bytes of its own; Qt writes U+FFFD for it too.
            appendUtf8(bytes, QChar::isSurrogate(c) ? char32_t(0xFFFD) : char32_t(c));
        }
    }
    return bytes;
}

QString FolderOfPath(const QString &path)
{
    const qsizetype slash = path.lastIndexOf(u'/');
    if (slash < 0)
        return QStringLiteral(".");
    return slash == 0 ? QStringLiteral("/") : path.left(slash);
}

bool IsFolder(const QString &path)
{
    struct stat info {};
    return ::stat(EncodePath(path).constData(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool IsSameFolder(const QString &a, const QString &b)
{
    // stat follows every link and resolves "." and "..": two paths reach the same folder exactly
    // when they end at the same inode of the same device.
    struct stat first {};
    struct stat second {};
    if (::stat(EncodePath(a).constData(), &first) != 0 ||
        ::stat(EncodePath(b).constData(), &second) != 0)
        return false;
    return S_ISDIR(first.st_mode) && S_ISDIR(second.st_mode) && first.st_dev == second.st_dev &&
           first.st_ino == second.st_ino;
}
