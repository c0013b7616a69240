// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the failure texts, the errno mapping and the error box's full stop.
#include "core/base/io_error.h"

#include <cerrno>
#include <gtest/gtest.h>

namespace {

TEST(IoError, CarriesCodeAndText)
{
    const struct {
        int code;
        QString text;
    } rows[] = {
        {2, QStringLiteral("ファイルが見つかりません")},
        {5, QStringLiteral("ファイルへのアクセスが拒否されました")},
        {106, QStringLiteral("入力値が数値ではありません")},
        {21, QStringLiteral("I/O エラー (21)")},
    };
    for (const auto &row : rows) {
        const IoError error(row.code);
        EXPECT_EQ(error.code(), row.code);
        EXPECT_EQ(error.description(), row.text) << row.code;
    }
}

TEST(IoError, MapsErrno)
{
    const struct {
        int err;
        int code;
        QString text;
    } rows[] = {
        {ENOENT, 2, QStringLiteral("ファイルが見つかりません")},
        {ENOTDIR, 3, QStringLiteral("不正なファイル名です")},
        {EMFILE, 4, QStringLiteral("オープンしたファイルが多すぎます")},
        {EROFS, 5, QStringLiteral("ファイルへのアクセスが拒否されました")},
        {EDQUOT, 101, QStringLiteral("ディスクがいっぱいです")},
        // Named for what they are, not "invalid file name" and "I/O error (40)".
        {ENAMETOOLONG, 3, QStringLiteral("ファイル名が長すぎます")},
        {ELOOP, ELOOP, QStringLiteral("シンボリックリンクがループしています")},
        // EIO is 5 and EISCONN 106, the numbers of "access denied" and "not a number".
        {EIO, EIO, QStringLiteral("I/O エラー (%1)").arg(EIO)},
        {EISCONN, EISCONN, QStringLiteral("I/O エラー (%1)").arg(EISCONN)},
    };
    for (const auto &row : rows) {
        EXPECT_EQ(IoCodeFromErrno(row.err), row.code) << row.err;
        const IoError error = IoErrorFromErrno(row.err);
        EXPECT_EQ(error.code(), row.code) << row.err;
        EXPECT_EQ(error.description(), row.text) << row.err;
    }
}

TEST(WithFullStop, AddsAStopOnlyAfterCharactersAboveIt)
{
    const struct {
        QString in;
        QString out;
    } rows[] = {
        {"", ""},      {QStringLiteral("見つかりません"), QStringLiteral("見つかりません.")},
        {"x.", "x."},  {"x!", "x!"},
        {"x/", "x/."}, {"(21)", "(21)"},
    };
    for (const auto &row : rows)
        EXPECT_EQ(WithFullStop(row.in), row.out) << row.in.toStdString();
}

} // namespace
