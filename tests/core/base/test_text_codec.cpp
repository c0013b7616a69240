// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the CP932 and UTF-8 conversions used for the program's text files.
#include "core/base/text_codec.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace {

const QString kBad(QChar::ReplacementCharacter);

TEST(Cp932, RoundTripsCp932RatherThanPlainShiftJis)
{
    const struct {
        QString text;
        QByteArray bytes;
    } rows[] = {
        // "～" is U+FF5E; plain Shift-JIS tables refuse it.
        {QStringLiteral("任意切り取りサイズ１～"),
         "\x94\x43\x88\xD3\x90\xD8\x82\xE8\x8E\xE6\x82\xE8"
         "\x83\x54\x83\x43\x83\x59\x82\x50\x81\x60"},
        // Plain Shift-JIS would turn these into a yen sign and an overline.
        {QStringLiteral("\\~"), "\x5C\x7E"},
        {QStringLiteral("①㈱ｱ"), "\x87\x40\x87\x8A\xB1"},
    };
    for (const auto &row : rows) {
        EXPECT_EQ(EncodeCp932(row.text), row.bytes) << row.text.toStdString();
        EXPECT_EQ(DecodeCp932(row.bytes), row.text) << row.text.toStdString();
    }
}

TEST(Cp932, StrictConversionsRefuseWhatDoesNotFit)
{
    EXPECT_EQ(EncodeCp932(QStringLiteral("A😀")), std::nullopt);
    EXPECT_EQ(EncodeCp932(QString(QChar(0xD800)) + u'A'), std::nullopt) << "lone surrogate";
    for (const QByteArray bytes : {"\x41\x82", "\x80", "\x82\x20"})
        EXPECT_EQ(DecodeCp932(bytes), std::nullopt) << bytes.toHex().constData();
}

TEST(DetectEncoding, TellsUtf8FromCp932)
{
    const struct {
        QByteArray bytes;
        TextEncoding expected;
    } rows[] = {
        {"", TextEncoding::Cp932},
        {"Width\r\n240\r\n", TextEncoding::Cp932},
        {"\xEF\xBB\xBF", TextEncoding::Utf8},
        {QStringLiteral("任意😀").toUtf8(), TextEncoding::Utf8},
        {"\x94\x43\x88\xD3\r\n", TextEncoding::Cp932},
        {"\xC0\x80", TextEncoding::Cp932},         // overlong
        {"\xED\xA0\x80", TextEncoding::Cp932},     // surrogate
        {"\xF4\x90\x80\x80", TextEncoding::Cp932}, // beyond U+10FFFF
        {"A\xE4\xBB", TextEncoding::Cp932},        // cut off
    };
    for (const auto &row : rows)
        EXPECT_EQ(DetectEncoding(row.bytes), row.expected) << row.bytes.toHex().constData();
}

TEST(DecodeText, ReplacesBadBytesAndDropsTheByteOrderMark)
{
    const struct {
        QByteArray bytes;
        TextEncoding encoding;
        QString expected;
    } rows[] = {
        {"\xEF\xBB\xBF"
         "abc",
         TextEncoding::Utf8, "abc"},
        {"a\xFF"
         "b",
         TextEncoding::Utf8, "a" + kBad + "b"},
        {"\x5C\x7E\x81\x60", TextEncoding::Cp932, QStringLiteral("\\~～")},
        {"A\x82", TextEncoding::Cp932, "A" + kBad},
        // A stray lead byte must not swallow the blank after it; an unassigned pair is one
        // character.
        {"\x82 x", TextEncoding::Cp932, kBad + " x"},
        {"\x85\x40Z", TextEncoding::Cp932, kBad + "Z"},
        {"\xFD\x83\x54", TextEncoding::Cp932, kBad + QStringLiteral("サ")},
    };
    for (const auto &row : rows)
        EXPECT_EQ(DecodeText(row.bytes, row.encoding), row.expected)
            << row.bytes.toHex().constData();
}

TEST(DecodeText, TextLongerThanTheConversionBufferSurvives)
{
    QString text;
    for (int i = 0; i < 5000; ++i)
        text += QStringLiteral("任意A");
    const auto bytes = EncodeCp932(text);
    ASSERT_TRUE(bytes.has_value());
    EXPECT_EQ(bytes->size(), 5000 * 5);
    EXPECT_EQ(DecodeText(*bytes, TextEncoding::Cp932), text);
}

} // namespace
