// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of what the readers of the program's files share: the file reader's limits and refusals,
// and the line splitting of every text file.
#include "core/base/atomic_file.h"
#include "core/base/file_names.h"
#include "core/base/files.h"
#include "core/base/io_error.h"
#include "core/batch/folder_listing.h"
#include "core/batch/shrink_file_list.h"
#include "core/image/picture_reading.h"
#include "core/image/plugin_reading.h"
#include "core/page/page.h"

#include "core/base/child_process.h"
#include "test_files.h"

#include <QCoreApplication>
#include <QDir>
#include <QStringList>
#include <QTemporaryDir>
#include <QTranslator>
#include <cerrno>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>

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
    const QString folder = QStringLiteral("ファイルではなくフォルダです");
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
        {"a device is read when allowed",
         "/dev/null",
         {.limit = 4, .special = SpecialFiles::ReadWithoutWaiting},
         "",
         {}},
        {"a device is refused unless allowed", "/dev/null", {.limit = 4}, {}, notRegular},
        {"a folder is refused either way (not as I/O error 21)",
         dir.path(),
         {.limit = 4, .special = SpecialFiles::ReadWithoutWaiting},
         {},
         folder},
        {"a folder is refused by default", dir.path(), {.limit = 4}, {}, folder},
        {"a missing file in a folder that exists",
         dir.filePath("none"),
         {.limit = 4},
         {},
         QStringLiteral("ファイルが見つかりません")},
        {"a missing folder is named, not reported as a missing file",
         dir.filePath("none/five"),
         {.limit = 4},
         {},
         QStringLiteral("フォルダ %1 がありません").arg(dir.filePath("none"))},
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

// Mistake: a FIFO named as a picture, a page project or jpeg.dat blocks its reader until
// something writes to it, which nothing ever does. Each must be refused at once, naming the path.
TEST(ReadFile, EveryReaderRefusesAFifoWithoutWaiting)
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("pipe.jpg"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0644), 0);
    const std::function<void()> readers[] = {
        [&] { ReadPictureFile(fifo); },
        [&] { ReadProjectFile(fifo); },
        [&] { ShrinkFileList().loadExtensions(fifo); },
    };
    for (size_t i = 0; i < std::size(readers); ++i) {
        const int result = InChild([&] {
            try {
                readers[i]();
            } catch (const Failure &failure) {
                const QString why = failure.description();
                return why.contains(fifo) && why.contains(NotRegularFileText()) ? 0 : 2;
            }
            return 1;
        });
        EXPECT_EQ(result, 0) << "reader " << i << ": -1 blocked, 1 read, 2 wrong message";
    }
}

// Mistake: a name that is not UTF-8 (made in CP932 on another system) is decoded with
// replacement characters: the listed file then cannot be opened, and a write makes a new name.
TEST(FileNames, NamesThatAreNotUtf8GoBackAsTheirBytes)
{
    const QByteArray names[] = {"plain.jpg",       "\x8e\xca\x90\x5e.jpg", "caf\xc3\xa9",
                                "\xff\xfe",        "\xed\xb2\x80",         "cut\xe3\x81",
                                "\xf0\x9f\x98\x80"};
    for (const QByteArray &name : names)
        EXPECT_EQ(EncodePath(DecodePath(name)), name) << name.toHex().constData();
    EXPECT_EQ(DecodePath("caf\xc3\xa9"), QStringLiteral("café"));

    QTemporaryDir dir;
    const QByteArray cp932 = QFile::encodeName(dir.path()) + "/\x8e\xca\x90\x5e.bmp";
    const int fd = ::open(cp932.constData(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::write(fd, "old", 3), 3);
    ::close(fd);
    const QStringList listed = ListFolder(dir.path() + u'/', QStringLiteral("*.bmp"));
    ASSERT_EQ(listed.size(), 1);
    EXPECT_EQ(ReadFile(listed.front(), {.limit = 16}), "old");
    WriteFileAtomically(listed.front(), "new");
    EXPECT_EQ(ReadFile(DecodePath(cp932), {.limit = 16}), "new");
    EXPECT_EQ(ListFolder(dir.path() + u'/', QStringLiteral("*")), listed); // no second name
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

namespace {

// Mistake: a reason built from a literal instead of a translated text ("フォルダ nodir
// がありません" in the English interface, where the text around it is English).
TEST(FailureTexts, FollowTheInterfaceLanguage)
{
    int argc = 1;
    char name[] = "test_base";
    char *argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    QTranslator english;
    ASSERT_TRUE(english.load(QStringLiteral(MOKARAN_TEST_TRANSLATIONS "/mokaran_en.qm")));
    QCoreApplication::installTranslator(&english);
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("nodir/a.jpg"));
    const QString why = FailureOf([&] { ReadFile(missing, FileReading{.limit = 10}); });
    QCoreApplication::removeTranslator(&english);
    EXPECT_EQ(why, QStringLiteral("folder %1 does not exist").arg(dir.filePath("nodir")));
}

} // namespace
