// SPDX-License-Identifier: GPL-3.0-or-later
// Replacing files as a user expects of a save, the messages of failed writes, and the clean-up of
// temporary files that killed writers left behind.
#include "core/base/atomic_file.h"
#include "core/base/io_error.h"
#include "core/base/staged_files.h"

#include "core/base/child_process.h"
#include "test_files.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

QByteArray nameOf(const QString &path)
{
    return QFile::encodeName(path);
}

mode_t modeOf(const QString &path)
{
    struct stat info {};
    return ::lstat(nameOf(path).constData(), &info) == 0 ? info.st_mode : 0;
}

// The description of the Failure that writing "new" to path throws, or "" when none.
QString writeFailure(const QString &path)
{
    try {
        WriteFileAtomically(path, "new");
    } catch (const Failure &failure) {
        return failure.description();
    }
    return {};
}

// Each row sets up what is at out (in a fresh folder), writes "new" there and checks what the
// user would check afterwards.
TEST(WriteFileAtomically, ReplacesWhatIsThereAsTheUserExpects)
{
    const auto refusal = [](const QString &path, const QString &why) {
        return path + QStringLiteral(" に書き込めません (") + why + u')';
    };
    const struct {
        const char *mistake;
        std::function<void(const QDir &)> setUp;
        QString failure; // the reason, or empty when the write succeeds
        std::function<bool(const QDir &)> outcome;
    } rows[] = {
        {"a private file becomes readable by all (the new file takes the umask's bits)",
         [](const QDir &d) {
             PutFile(d.filePath("out"), "old");
             ::chmod(nameOf(d.filePath("out")).constData(), 0600);
         },
         {},
         [](const QDir &d) { return (modeOf(d.filePath("out")) & 0777) == 0600; }},
        {"a read-only file is replaced because its folder may be written",
         [](const QDir &d) {
             PutFile(d.filePath("out"), "old");
             ::chmod(nameOf(d.filePath("out")).constData(), 0444);
         },
         "読み取り専用のファイルです",
         [](const QDir &d) { return FileBytes(d.filePath("out")) == "old"; }},
        {"a link is replaced by a plain file instead of writing where it leads",
         [](const QDir &d) {
             d.mkdir("real");
             PutFile(d.filePath("real/file"), "old");
             ::symlink("real/hop", nameOf(d.filePath("out")).constData());
             ::symlink("file", nameOf(d.filePath("real/hop")).constData());
         },
         {},
         [](const QDir &d) {
             return S_ISLNK(modeOf(d.filePath("out"))) && S_ISLNK(modeOf(d.filePath("real/hop"))) &&
                    FileBytes(d.filePath("real/file")) == "new";
         }},
        {"a link to a file not made yet is replaced instead of making that file",
         [](const QDir &d) { ::symlink("made", nameOf(d.filePath("out")).constData()); },
         {},
         [](const QDir &d) {
             return S_ISLNK(modeOf(d.filePath("out"))) && FileBytes(d.filePath("made")) == "new";
         }},
        {"a folder in the way is reported as I/O error 21",
         [](const QDir &d) { d.mkpath("out/inside"); }, "同じ名前のフォルダがあります",
         [](const QDir &d) { return QFileInfo(d.filePath("out/inside")).isDir(); }},
        {"a FIFO in the way is replaced by a plain file",
         [](const QDir &d) { ::mkfifo(nameOf(d.filePath("out")).constData(), 0644); },
         "通常のファイルではありません",
         [](const QDir &d) { return S_ISFIFO(modeOf(d.filePath("out"))); }},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.mistake);
        QTemporaryDir temporary;
        const QDir dir(temporary.path());
        row.setUp(dir);
        const QString out = dir.filePath("out");
        EXPECT_EQ(writeFailure(out), row.failure.isEmpty() ? QString() : refusal(out, row.failure));
        EXPECT_TRUE(row.outcome(dir));
        const QStringList temporaries =
            dir.entryList({QStringLiteral(".mokaran-*")}, QDir::AllEntries | QDir::Hidden);
        EXPECT_TRUE(temporaries.isEmpty()) << temporaries.join(' ').toStdString();
    }
}

// A picture and its JSON written as a pair over an old pair (or none). Each row may change the
// folder after both are written and before they are renamed. Mistakes: the picture already
// replaced when the JSON cannot be written (a folder of its name, read-only, a full disk, a
// rename that fails), a new picture left beside no JSON, temporary files or kept links left.
TEST(WriteFilesTogether, LeavesTheOldPairOrTheNew)
{
    // A folder where the JSON would go: no file can be renamed onto it.
    const auto folderForJson = [](const QDir &d) {
        QFile::remove(d.filePath("s.json"));
        d.mkpath("s.json/in");
    };
    const struct {
        const char *mistake;
        bool oldPair;
        std::function<void(const QDir &)> before, between;
        const char *failure; // the end of the message, or empty when the pair is written
        QByteArray picture;  // what s.png holds afterwards ("" for nothing)
    } rows[] = {
        {"a folder named as the JSON",
         true,
         folderForJson,
         {},
         "(同じ名前のフォルダがあります)。%1 と %2 は元のままです",
         "old"},
        {"a read-only JSON",
         true,
         [](const QDir &d) { ::chmod(nameOf(d.filePath("s.json")).constData(), 0444); },
         {},
         "(読み取り専用のファイルです)。%1 と %2 は元のままです",
         "old"},
        {"the JSON's rename fails after the picture's",
         true,
         {},
         folderForJson,
         "(同じ名前のフォルダがあります)。%1 と %2 は元のままです",
         "old"},
        {"the same for a pair not there before",
         false,
         {},
         [](const QDir &d) { d.mkpath("s.json/in"); },
         "(同じ名前のフォルダがあります)。%1 と %2 は元のままです",
         ""},
        {"a pair written", true, {}, {}, "", "new"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.mistake);
        QTemporaryDir temporary;
        const QDir dir(temporary.path());
        const QString picture = dir.filePath("s.png"), data = dir.filePath("s.json");
        if (row.oldPair) {
            PutFile(picture, "old");
            PutFile(data, "old");
        }
        if (row.before)
            row.before(dir);
        const QString failure = FailureOf([&] {
            if (!row.between)
                return WriteFilesTogether({{picture, "new"}, {data, "new"}});
            StagedFiles staged;
            staged.add(picture, "new");
            staged.add(data, "new");
            row.between(dir);
            staged.commit();
        });
        EXPECT_TRUE(*row.failure
                        ? failure.endsWith(QString::fromUtf8(row.failure).arg(picture, data))
                        : failure.isEmpty())
            << failure.toStdString();
        EXPECT_EQ(FileBytes(picture), row.picture);
        EXPECT_EQ(QFileInfo::exists(picture), !row.picture.isEmpty());
        if (row.oldPair && QFileInfo(data).isFile()) {
            EXPECT_EQ(FileBytes(data), row.picture);
        }
        EXPECT_EQ(dir.entryList({QStringLiteral(".mokaran-*")}, QDir::AllEntries | QDir::Hidden),
                  QStringList());
    }

    // A disk with room for the new picture but not for its JSON as well.
    QTemporaryDir temporary;
    const QString picture = temporary.filePath("s.png"), data = temporary.filePath("s.json");
    const int status = WithSmallDisk(temporary.path(), 64, [&] {
        PutFile(picture, "old");
        PutFile(data, "old");
        const QString failure = FailureOf([&] {
            WriteFilesTogether(
                {{picture, QByteArray(40 << 10, 'p')}, {data, QByteArray(40 << 10, 'j')}});
        });
        return failure.endsWith(QStringLiteral("は元のままです")) && FileBytes(picture) == "old" &&
                       FileBytes(data) == "old"
                   ? 0
                   : 1;
    });
    if (status == kChildCannotRun)
        GTEST_SKIP() << "no private memory file system here";
    EXPECT_EQ(status, 0);
}

// Mistake: every failure to create the file said "ファイルが見つかりません" or blamed the file,
// where the folder is what the user must fix.
TEST(WriteFileAtomically, SaysWhenTheFolderIsTheProblem)
{
    QTemporaryDir temporary;
    const QDir dir(temporary.path());
    const QString missing = dir.filePath("no/such/out.bmp");
    EXPECT_EQ(writeFailure(missing),
              missing + QStringLiteral(" に書き込めません (フォルダ %1 がありません)")
                            .arg(dir.filePath("no/such")));

    // A file the user may write, in a folder they may not: the folder is named as the problem.
    ASSERT_TRUE(dir.mkdir("locked"));
    const QString inLocked = dir.filePath("locked/out");
    PutFile(inLocked, "old");
    ::chmod(nameOf(dir.path()).constData(), 0755);
    ::chmod(nameOf(inLocked).constData(), 0666);
    ::chmod(nameOf(dir.filePath("locked")).constData(), 0555);
    const QString expected =
        inLocked + QStringLiteral(" に書き込めません (フォルダ %1 に書き込む権限がありません)")
                       .arg(dir.filePath("locked"));
    EXPECT_EQ(InUnprivilegedChild([&] { return writeFailure(inLocked) == expected ? 0 : 1; }), 0);
    ::chmod(nameOf(dir.filePath("locked")).constData(), 0755);
    EXPECT_EQ(FileBytes(inLocked), "old");

    // Someone else's file in a folder everyone may write: refused although a rename would work.
    const QString others = dir.filePath("others");
    PutFile(others, "old");
    ::chmod(nameOf(others).constData(), 0644);
    ::chmod(nameOf(dir.path()).constData(), 0777);
    EXPECT_EQ(InUnprivilegedChild([&] {
                  return writeFailure(others).endsWith(
                             QStringLiteral("(読み取り専用のファイルです)"))
                             ? 0
                             : 1;
              }),
              0);
    EXPECT_EQ(FileBytes(others), "old");
}

// Mistakes: a name that says nothing of the problem: "Cannot write  (...)" for an empty one,
// "Invalid file name" for one too long, "I/O error (40)" for a loop of symbolic links.
TEST(WriteFileAtomically, SaysWhatIsWrongWithTheName)
{
    QTemporaryDir temporary;
    const QDir dir(temporary.path());
    ::symlink("b", nameOf(dir.filePath("a")).constData());
    ::symlink("a", nameOf(dir.filePath("b")).constData());
    const QString tooLong = dir.filePath(QString(300, u'x'));
    EXPECT_EQ(writeFailure(QString()), QStringLiteral("書き込むファイルの名前が空です"));
    EXPECT_TRUE(writeFailure(tooLong).endsWith(QStringLiteral("(ファイル名が長すぎます)")));
    EXPECT_TRUE(writeFailure(dir.filePath("a"))
                    .endsWith(QStringLiteral("(シンボリックリンクがループしています)")));
}

// Mistake: temporary files of a killed writer stay forever, or a clean-up takes a file that is
// not one of them, or one that a running writer is about to rename.
TEST(RemoveStaleTemporaryFiles, RemovesOnlyThoseOfWritersThatAreGone)
{
    QTemporaryDir temporary;
    const QDir dir(temporary.path());
    const pid_t gone = fork();
    if (gone == 0)
        _exit(0);
    waitpid(gone, nullptr, 0);
    const QString stale = QStringLiteral(".mokaran-%1-k3x9.tmp").arg(gone);
    const QString running = QStringLiteral(".mokaran-%1-k3x9.tmp").arg(getpid());
    const QStringList others = {".mokaran-k3x9.tmp", ".mokaran-12-k3x9.bmp", "mokaran-12-a.tmp",
                                "photo.tmp"};
    for (const QString &name : QStringList{stale, running} + others)
        PutFile(dir.filePath(name), "x");
    EXPECT_TRUE(IsTemporaryFileName(nameOf(stale)));
    EXPECT_EQ(RemoveStaleTemporaryFiles(dir.path()), 1);
    QStringList left = others;
    left << running;
    left.sort();
    EXPECT_EQ(dir.entryList(QDir::Files | QDir::Hidden, QDir::Name), left);
}

} // namespace
