// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of what the readers of the program's files share: the file reader's limits and refusals,
// and the line splitting of every text file.
#include "core/base/files.h"
#include "core/base/io_error.h"

#include "test_files.h"

#include <QStringList>
#include <QTemporaryDir>
#include <cerrno>
#include <gtest/gtest.h>

namespace {

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

// One splitting serves set.ini, data.dat, jpeg.dat and the page project, on bytes and on decoded
// text. Each row names the mistake it catches; the two versions must agree on every row.
TEST(SplitLines, EndsLinesAtCrLfLfOrCrAlike)
{
    const struct {
        const char *label;
        QByteArray text;
        qsizetype maxLines;
        QStringList lines;
    } rows[] = {
        {"no text, no line", "", -1, {}},
        {"a last line without an end counts", "a", -1, {"a"}},
        {"no empty line after a final line end", "a\r\n", -1, {"a"}},
        {"an empty line before the final end stays", "a\r\n\r\n", -1, {"a", ""}},
        {"LF CR ends two lines, unlike CR LF", "a\n\rb", -1, {"a", "", "b"}},
        {"CR CR LF ends two lines", "a\r\r\nb", -1, {"a", "", "b"}},
        {"all three ends in one text", "a\rb\nc\r\nd", -1, {"a", "b", "c", "d"}},
        {"maxLines stops exactly there", "a\nb\nc", 2, {"a", "b"}},
        {"maxLines 0 gives nothing", "a\nb", 0, {}},
    };
    for (const auto &row : rows) {
        const QString text = QString::fromLatin1(row.text);
        const std::vector<TextLine> bytes = SplitLines(QByteArrayView(row.text), row.maxLines);
        const std::vector<TextLine> chars = SplitLines(QStringView(text), row.maxLines);
        QStringList found;
        for (const TextLine &line : bytes)
            found << text.sliced(line.start, line.end - line.start);
        EXPECT_EQ(found, row.lines) << row.label;
        ASSERT_EQ(chars.size(), bytes.size()) << row.label;
        for (size_t i = 0; i < bytes.size(); ++i) {
            EXPECT_EQ(chars[i].end, bytes[i].end) << row.label;
            EXPECT_EQ(chars[i].next, bytes[i].next) << row.label;
            if (i + 1 < bytes.size()) {
                EXPECT_EQ(bytes[i + 1].start, bytes[i].next) << row.label << ": lines are adjacent";
            }
        }
    }
}

} // namespace
