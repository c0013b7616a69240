// SPDX-License-Identifier: GPL-3.0-or-later
// The batch shrink's listing: jpeg.dat rows, GetField, ReplaceAll, StripPrefix and folder listing.
#include "core/base/io_error.h"
#include "core/batch/folder_listing.h"
#include "core/batch/shrink_file_list.h"

#include "test_files.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <unistd.h>

namespace {

std::string show(const QStringList &list)
{
    return list.join(u'|').toStdString();
}

// ---------------------------------------------------------------------------------------------

struct FieldCase {
    const char *name;
    int index;
    QByteArray line;
    QByteArray separator;
    QByteArray expected;
};

TEST(GetField, Table)
{
    const QByteArray quoted = R"("1","1","text","jpg")";
    const QList<FieldCase> cases = {
        // every field keeps its opening quote and loses its closing one
        {"first quoted field", 1, quoted, "\",", "\"1"},
        {"third quoted field", 3, quoted, "\",", "\"text"},
        {"last field loses its last byte", 4, quoted, "\",", "\"jpg"},
        {"index beyond the fields", 5, quoted, "\",", ""},
        {"index zero", 0, quoted, "\",", ""},
        {"no separator: trimmed line less its last byte", 1, " \tabcd \r", "\",", "abc"},
        {"no separator, second field", 2, "abcd", "\",", ""},
        {"empty line", 1, "", "\",", ""},
        {"one-character separator strips nothing", 2, "a,bc,d", ",", "bc"},
        {"three-character separator", 2, "a<->bc<->d", "<->", "bc"},
        {"five characters never match", 1, "ab<-->cd", "<-->|", "ab<-"},
        // 0x81 is a lead byte: 0x81 '"' is one character, so its quote starts no separator
        {"trail byte quote does not split", 1, "x\x81\",y\",z", "\",", "x\x81\",y"},
        {"trail byte comma does not split", 1, "a\x9f,b,c", ",", "a\x9f,b"},
        {"lead byte 0xE0 takes a quote", 2, "\"\xe0\",\"q\",\"r\"", "\",", "\"r"},
        {"lead byte at the very end is one character", 1, "ab\x81", "\",", "ab"},
        {"a quoted comma inside a field splits anyway", 3, R"("1","a",b","x")", "\",", "b"},
    };
    for (const FieldCase &c : cases)
        EXPECT_EQ(GetField(c.index, c.line, c.separator), c.expected) << c.name;
}

TEST(GetField, KeepsTwentyFiveFields)
{
    QByteArray line;
    for (int i = 1; i <= 26; ++i)
        line += "f" + QByteArray::number(i) + ",";
    EXPECT_EQ(GetField(25, line, ","), "f25");
    EXPECT_EQ(GetField(26, line, ","), "");
}

TEST(ReplaceAll, Table)
{
    struct Case {
        QByteArray source, find, replacement, expected;
    };
    const QList<Case> cases = {
        {"\"jpg\"", "\"", "", "jpg"},
        {"aaaa", "aa", "b", "bb"},
        {"aaa", "aa", "b", "ba"},    // no overlapping match
        {"aXa", "a", "aa", "aaXaa"}, // a replacement is not searched again
        {"abcabc", "abc", "", ""},   // removed
        {"abc", "", "x", "abc"},     // nothing to find
        {"\x81"
         "ab",
         "a", "x",
         "\x81"
         "ab"}, // 'a' is the second byte of a character
        {"\x81"
         "aab",
         "a", "x",
         "\x81"
         "axb"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(ReplaceAll(c.source, c.find, c.replacement), c.expected)
            << c.source.toStdString() << " / " << c.find.toStdString();
}

TEST(StripPrefix, Table)
{
    struct Case {
        QString path, prefix, expected;
    };
    const QList<Case> cases = {
        {"/photos/Trip/A.JPG", "/photos/Trip/", "A.JPG"},
        {"/photos/Trip/A.JPG", "/photos/trip/", "/photos/Trip/A.JPG"}, // letter case counts
        {"/photos/a.jpg", "", "/photos/a.jpg"},
        {"/photos/", "/photos/", ""},
        {"/p", "/photos/", "/p"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(StripPrefix(c.path, c.prefix), c.expected) << c.path.toStdString();
}

TEST(Wildcard, Table)
{
    struct Case {
        QString name, pattern;
        bool matches;
    };
    const QList<Case> cases = {
        {"a.jpg", "*.jpg", true},   {"A.JPG", "*.jpg", true},      {"a.Jpeg", "*.JPEG", true},
        {"a.jpgx", "*.jpg", false}, {"a.jpg.png", "*.jpg", false}, {"jpg", "*.jpg", false},
        {"a.b.jpg", "*.jpg", true}, {"x.jpg", "*.j?g", true},      {"x.jg", "*.j?g", false},
        {"ÄB.jpg", "äb.JPG", true}, {"a.jpg", "*", true},          {"", "*", true},
    };
    for (const Case &c : cases)
        EXPECT_EQ(MatchesWildcard(c.name, c.pattern), c.matches)
            << c.name.toStdString() << " ~ " << c.pattern.toStdString();
}

// ---------------------------------------------------------------------------------------------
// jpeg.dat

// "ファイル" in Shift-JIS, and "あ" in UTF-8, whose last byte 0x82 is a Shift-JIS lead byte.
const QByteArray kFileSjis = "\x83\x74\x83\x40\x83\x43\x83\x8b";
const QByteArray kAUtf8 = "\xe3\x81\x82";

QByteArray row(const QByteArray &f1, const QByteArray &f2, const QByteArray &f4)
{
    return "\"" + f1 + "\",\"" + f2 + "\",\"\",\"" + f4 + "\"";
}

QStringList extensionsOf(const QByteArray &contents)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("jpeg.dat");
    PutFile(path, contents);
    ShrinkFileList listing;
    listing.loadExtensions(path);
    return listing.extensions;
}

TEST(JpegDat, Rows)
{
    struct Case {
        const char *name;
        QByteArray contents;
        QStringList expected;
    };
    const QByteArray jpg = row("1", "1", "jpg");
    const QByteArray jpeg = row("1", "1", "jpeg");
    const QList<Case> cases = {
        {"file order", jpg + "\r\n" + jpeg + "\r\n", {"jpg", "jpeg"}},
        {"field 1 is 0", row("0", "1", "jpg") + "\r\n" + jpeg, {"jpeg"}},
        {"field 2 is not 1",
         row("1", "2", "jpg") + "\n" + row("1", "11", "x") + "\n" + row("1", "", "y"),
         {}},
        {"missing closing quote", R"("1","1","","jpg)", {"jp"}},
        {"spaces kept until the pattern is formed", row("1", "1", " jpg "), {" jpg "}},
        {"fewer than four fields", R"("1","1")", {""}},
        {"empty file", "", {}},
        {"CR", jpg + "\r" + jpeg, {"jpg", "jpeg"}},
        {"LF", jpg + "\n" + jpeg + "\n", {"jpg", "jpeg"}},
        {"CR LF with blank lines", "\r\n" + jpg + "\r\n\r\n" + jpeg + "\r\n", {"jpg", "jpeg"}},
        {"NUL ends the text", jpg + "\r\n\0"_qba + jpeg, {"jpg"}},
        {"line trimmed", " \t" + jpg + " \t\r\n", {"jpg"}},
        {"Shift-JIS description", "\"1\",\"1\",\"" + kFileSjis + "\",\"jpg\"", {"jpg"}},
        {"UTF-8 description", "\"1\",\"1\",\"" + kAUtf8 + "\",\"jpg\"", {"jpg"}},
        {"UTF-8 with BOM", "\xef\xbb\xbf" + jpg + "\r\n" + row("1", "1", kAUtf8), {"jpg", "あ"}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(show(extensionsOf(c.contents)), show(c.expected)) << c.name;
}

TEST(JpegDat, SettingLinesAsRead)
{
    QTemporaryDir dir;
    PutFile(dir.filePath("jpeg.dat"), " a \r\nb\n\nc");
    ShrinkFileList listing;
    listing.loadExtensions(dir.filePath("jpeg.dat"));
    EXPECT_EQ(listing.settingLines, (QList<QByteArray>{" a ", "b", "", "c"}));
}

TEST(JpegDat, MissingFileThrowsAndLeavesListsEmpty)
{
    QTemporaryDir dir;
    ShrinkFileList listing;
    listing.extensions << "old";
    listing.settingLines << "old";
    const QString path = dir.filePath("jpeg.dat");
    try {
        listing.loadExtensions(path);
        FAIL() << "no Failure";
    } catch (const Failure &failure) {
        EXPECT_TRUE(failure.description().contains(path)) << failure.what();
    }
    EXPECT_TRUE(listing.extensions.isEmpty());
    EXPECT_TRUE(listing.settingLines.isEmpty());
}

// ---------------------------------------------------------------------------------------------
// Listing

class Listing : public ::testing::Test {
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_folder = m_dir.path() + "/";
        for (const char *name :
             {"a.jpg", "b.JPG", "B.jpg", "z.Jpg", "c.jpeg", "d.png", ".e.jpg", "jpg", "f.jpg.bak"})
            PutFile(m_folder + name, "x");
        ASSERT_TRUE(QDir(m_folder).mkpath("sub.jpg"));
        PutFile(m_folder + "sub.jpg/inner.jpg", "x");
        ASSERT_EQ(::symlink("a.jpg", QFile::encodeName(m_folder + "link.jpg").constData()), 0);
        ASSERT_EQ(::symlink("sub.jpg", QFile::encodeName(m_folder + "dirlink.jpg").constData()), 0);
    }

    QStringList collect(const QList<QByteArray> &extensions, const QString &folder)
    {
        ShrinkFileList listing;
        for (const QByteArray &extension : extensions)
            listing.settingLines << row("1", "1", extension);
        listing.parseExtensions();
        QStringList found{"stale"};
        listing.collectFiles({folder}, found);
        return found;
    }

    QStringList inFolder(const QString &folder, const QStringList &names)
    {
        QStringList paths;
        for (const QString &name : names)
            paths << folder + name;
        return paths;
    }

    QTemporaryDir m_dir;
    QString m_folder;
};

TEST_F(Listing, ListFolderFlatSortedCaseIgnored)
{
    const QStringList list = ListFolder(m_folder, "*.jpg");
    // no hidden file, no folder (nor a link to one), nothing from inside the subfolder
    EXPECT_EQ(show(list),
              show(inFolder(m_folder, {"B.jpg", "a.jpg", "b.JPG", "link.jpg", "z.Jpg"})));
}

TEST_F(Listing, EntryIsFolderTextAsGiven)
{
    const QString doubled = m_dir.path() + "//";
    const QStringList list = ListFolder(doubled, "*.jpeg");
    EXPECT_EQ(show(list), show({doubled + "c.jpeg"}));
}

TEST_F(Listing, MissingFolderGivesNothing)
{
    EXPECT_TRUE(ListFolder(m_folder + "none/", "*.jpg").isEmpty());
    EXPECT_TRUE(ListFolder("", "*.jpg").isEmpty());
}

TEST_F(Listing, CollectGroupsByExtensionInFileOrder)
{
    EXPECT_EQ(show(collect({"jpeg", "jpg"}, m_folder)),
              show(inFolder(m_folder, {"c.jpeg", "B.jpg", "a.jpg", "b.JPG", "link.jpg", "z.Jpg"})));
}

// Mistake: a repeated row of jpeg.dat (or "jpg" beside "JPG") lists every file again, and the
// batch shrinks each of them twice.
TEST_F(Listing, CollectListsEachFileOnce)
{
    const QStringList once = inFolder(m_folder, {"B.jpg", "a.jpg", "b.JPG", "link.jpg", "z.Jpg"});
    EXPECT_EQ(show(collect({"jpg", "JPG", "jpg"}, m_folder)), show(once));
    EXPECT_EQ(show(collect({"jpeg", "jpg", "jpeg"}, m_folder)),
              show(QStringList{m_folder + "c.jpeg"} + once));
}

TEST_F(Listing, CollectTrimsAndSkipsBlankExtensions)
{
    EXPECT_EQ(show(collect({" jpeg\t", "   ", ""}, m_folder)), show({m_folder + "c.jpeg"}));
    EXPECT_TRUE(collect({}, m_folder).isEmpty());
}

} // namespace
