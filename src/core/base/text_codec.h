// SPDX-License-Identifier: GPL-3.0-or-later
// Shift-JIS (CP932) and UTF-8 for the program's text files.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>

enum class TextEncoding { Cp932, Utf8 };

// How a text file is to be read: UTF-8 when it starts with a UTF-8 byte-order mark, or when its
// bytes are valid UTF-8 and contain at least one non-ASCII sequence; CP932 otherwise.
TextEncoding DetectEncoding(QByteArrayView bytes);

// Decodes bytes of the given encoding (a leading UTF-8 byte-order mark is dropped). Bytes that are
// not valid in that encoding become U+FFFD; nothing is lost silently beyond that.
QString DecodeText(QByteArrayView bytes, TextEncoding encoding);

// Strict CP932 conversions through iconv: nullopt when a byte sequence is invalid or a character
// cannot be written in CP932.
std::optional<QString> DecodeCp932(QByteArrayView bytes);
std::optional<QByteArray> EncodeCp932(const QString &text);
