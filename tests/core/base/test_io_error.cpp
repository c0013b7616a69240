// Tests of the failure texts, the errno mapping, the error box's full stop, and the limits and
// refusals of the file reader that every file format shares.
#include "core/base/files.h"
#include "core/base/io_error.h"

#include "test_files.h"

#include <QTemporaryDir>
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

// Each caller reads with its own limit and rules; a row per edge where a merged reader could slip
// (a limit off by one, a cut file one byte too long, a device opened that should be refused).
TEST(ReadFile, LimitsAndSpecialFiles)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString file = dir.filePath(QStringLiteral("five"));
    PutFile(file, "abcde");
    const QString tooLarge = FileTooLargeText();
    const QString notRegular = QStringLiteral("通常のファイルではありません");
    const QString folder = QStringLiteral("I/O エラー (%1)").arg(EISDIR);
    const struct {
        const char *label;
        QString path;
        FileReading how;
        QByteArray bytes;
        QString failure; // empty: no failure
    } rows[] = {
        {"exactly the limit is read", file, {.limit = 5}, "abcde", {}},
        {"a byte over the limit is refused", file, {.limit = 4}, {}, tooLarge},
        {"a byte over is cut at the limit",
         file,
         {.limit = 4, .larger = LargerFiles::CutAtLimit},
         "abcd",
         {}},
        {"a device is read when allowed", "/dev/null", {.limit = 4}, "", {}},
        {"a device is refused when asked",
         "/dev/null",
         {.limit = 4, .special = SpecialFiles::Refused},
         {},
         notRegular},
        {"a folder is refused either way", dir.path(), {.limit = 4}, {}, folder},
        {"a folder with devices refused",
         dir.path(),
         {.limit = 4, .special = SpecialFiles::Refused},
         {},
         folder},
    };
    for (const auto &row : rows) {
        QByteArray bytes = "left from before";
        QString failure;
        try {
            ReadFile(row.path, bytes, row.how);
        } catch (const Failure &e) {
            failure = e.description();
        }
        EXPECT_EQ(failure, row.failure) << row.label;
        if (row.failure.isEmpty()) {
            EXPECT_EQ(bytes, row.bytes) << row.label;
        }
    }
}

} // namespace
