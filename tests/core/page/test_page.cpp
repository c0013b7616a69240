// SPDX-License-Identifier: GPL-3.0-or-later
// The page maker's files: page lines and bytes, project encoding and reading, refusals.
#include "core/base/io_error.h"
#include "core/page/page.h"

#include "test_files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Each field holds its own name, so every line shows which field went where.
PageProject namedTexts()
{
    PageProject project;
    for (size_t i = 0; i < project.texts.size(); ++i)
        project.texts[i] = QStringLiteral("e%1").arg(i + 1);
    return project;
}

PageOmissions allOmitted()
{
    PageOmissions omissions;
    omissions.omitted.fill(true);
    return omissions;
}

std::string failureOf(const std::function<void()> &run)
{
    try {
        run();
    } catch (const Failure &failure) {
        return failure.what();
    }
    return "(no failure)";
}

} // namespace

TEST(PageLines, AllSectionsLeftOutGiveSixLines)
{
    const QStringList expected = {
        QStringLiteral("<HTML><HEAD><TITLE></TITLE></HEAD>"),
        QStringLiteral("<BODY>"),
        QStringLiteral("<!-- MKRN eihp ver1.00 -->"),
        QStringLiteral("<HR>"),
        QStringLiteral("<HR>"),
        QStringLiteral("</BODY></HTML>"),
    };
    EXPECT_EQ(PageLines(PageProject{}, allOmitted()), expected);
    EXPECT_EQ(EncodePage(PageProject{}, allOmitted()), expected.join("\r\n").toLatin1() + "\r\n");
}

TEST(PageLines, NothingLeftOutGivesFourteenLines)
{
    const QStringList expected = {
        QStringLiteral("<HTML><HEAD><TITLE></TITLE></HEAD>"),
        QStringLiteral("<BODY>"),
        QStringLiteral("<!-- MKRN eihp ver1.00 -->"),
        QStringLiteral("<CENTER><IMG SRC=\"\"></CENTER><BR>"),
        QStringLiteral("<p></P>"),
        QStringLiteral("<HR>"),
        QStringLiteral("<A HREF=\"\"></A><BR>"),
        QStringLiteral("<A HREF=\"\"></A><BR>"),
        QStringLiteral("<A HREF=\"\"></A><BR>"),
        QStringLiteral("<A HREF=\"\"></A><BR>"),
        QStringLiteral("<A HREF=\"\"></A><BR>"),
        QStringLiteral("<HR>"),
        QStringLiteral("<p></P>"),
        QStringLiteral("</BODY></HTML>"),
    };
    EXPECT_EQ(PageLines(PageProject{}, PageOmissions{}), expected);
}

// Each field lands in its own line (a link's URL before its display text), and each box leaves
// out exactly that line and no other.
TEST(PageLines, EachBoxLeavesOutItsOwnLine)
{
    const struct {
        const char *name;
        PageSection section;
        const char *missing;
    } rows[] = {
        {"picture", PageSection::Picture, "<CENTER><IMG SRC=\"e2\"></CENTER><BR>"},
        {"text", PageSection::Text, "<p>e3</P>"},
        {"link1", PageSection::Link1, "<A HREF=\"e5\">e4</A><BR>"},
        {"link2", PageSection::Link2, "<A HREF=\"e7\">e6</A><BR>"},
        {"link3", PageSection::Link3, "<A HREF=\"e9\">e8</A><BR>"},
        {"link4", PageSection::Link4, "<A HREF=\"e11\">e10</A><BR>"},
        {"link5", PageSection::Link5, "<A HREF=\"e13\">e12</A><BR>"},
        {"text2", PageSection::Text2, "<p>e14</P>"},
    };
    const QStringList full = PageLines(namedTexts(), PageOmissions{});
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        PageOmissions omissions;
        omissions.set(row.section);
        QStringList expected = full;
        ASSERT_TRUE(expected.removeOne(QString::fromLatin1(row.missing)));
        EXPECT_EQ(PageLines(namedTexts(), omissions), expected);
        EXPECT_EQ(PageSectionByName(QString::fromLatin1(row.name)), row.section);
    }
    EXPECT_FALSE(PageSectionByName(u"link6"));
    EXPECT_FALSE(PageSectionByName(u"Picture"));
    EXPECT_FALSE(PageSectionByName(u""));
}

TEST(EncodePage, ShiftJisBytesWithCrLfAfterEveryLine)
{
    PageProject project;
    project.texts[0] = QStringLiteral("日本"); // 93 FA 96 7B
    project.texts[1] = QStringLiteral("http://a/b.jpg");
    project.texts[2] = QStringLiteral("テスト～"); // 83 65 83 58 83 67 81 60
    project.texts[3] = QStringLiteral("①");        // 87 40
    project.texts[4] = QStringLiteral("http://c/");
    project.texts[13] = QStringLiteral("\\~"); // stays 5C 7E
    const QByteArray expected = "<HTML><HEAD><TITLE>\x93\xFA\x96\x7B</TITLE></HEAD>\r\n"
                                "<BODY>\r\n"
                                "<!-- MKRN eihp ver1.00 -->\r\n"
                                "<CENTER><IMG SRC=\"http://a/b.jpg\"></CENTER><BR>\r\n"
                                "<p>\x83\x65\x83\x58\x83\x67\x81\x60</P>\r\n"
                                "<HR>\r\n"
                                "<A HREF=\"http://c/\">\x87\x40</A><BR>\r\n"
                                "<A HREF=\"\"></A><BR>\r\n"
                                "<A HREF=\"\"></A><BR>\r\n"
                                "<A HREF=\"\"></A><BR>\r\n"
                                "<A HREF=\"\"></A><BR>\r\n"
                                "<HR>\r\n"
                                "<p>\\~</P>\r\n"
                                "</BODY></HTML>\r\n";
    EXPECT_EQ(EncodePage(project, PageOmissions{}), expected);
}

TEST(EncodePage, MarkupInFieldsIsWrittenUnchanged)
{
    PageProject project;
    project.texts[0] = QStringLiteral("a<b>&c");
    project.texts[2] = QStringLiteral("<font color=\"red\">&amp;</font>");
    project.texts[4] = QStringLiteral("x.cgi?a=1&b=\"2\"");
    const QByteArray page = EncodePage(project, PageOmissions{});
    EXPECT_TRUE(page.contains("<TITLE>a<b>&c</TITLE>"));
    EXPECT_TRUE(page.contains("<p><font color=\"red\">&amp;</font></P>\r\n"));
    EXPECT_TRUE(page.contains("<A HREF=\"x.cgi?a=1&b=\"2\"\"></A><BR>\r\n"));
}

TEST(Project, RoundTripKeepsEveryText)
{
    PageProject project = namedTexts();
    project.texts[0] = QStringLiteral("携帯ページ～①Ⅰ㈱髙");
    project.texts[2] = QStringLiteral("  spaces kept  ");
    project.texts[5] = QString();
    project.texts[7] = QStringLiteral("<A&B> \"q\" \\ ~ ｶﾅ");
    project.texts[13] = QStringLiteral("最後");
    const QByteArray bytes = EncodeProject(project);
    EXPECT_TRUE(bytes.startsWith("vermkrn1.00\r\n"));
    EXPECT_TRUE(bytes.endsWith("\x8D\xC5\x8C\xE3\r\n")); // 最後
    EXPECT_EQ(bytes.count("\r\n"), 15);
    EXPECT_EQ(bytes.count('\n'), 15);
    EXPECT_EQ(ParseProject(bytes).texts, project.texts);
}

TEST(Project, ReadingRules)
{
    const auto texts = [](std::initializer_list<const char *> first) {
        PageProject project;
        size_t i = 0;
        for (const char *text : first)
            project.texts[i++] = QString::fromUtf8(text);
        return project.texts;
    };
    QByteArray fifteen = "m";
    for (int i = 1; i <= 14; ++i)
        fifteen += "\r\nt" + QByteArray::number(i);
    const auto allFourteen = ParseProject(fifteen).texts;
    ASSERT_EQ(allFourteen[0], "t1");
    ASSERT_EQ(allFourteen[13], "t14");

    const struct {
        const char *name;
        QByteArray bytes;
        std::array<QString, 14> expected;
    } rows[] = {
        {"empty file", "", texts({})},
        {"marker only", "vermkrn1.00\r\n", texts({})},
        {"short file", "vermkrn1.00\r\nT\r\nP\r\n", texts({"T", "P"})},
        {"foreign first line", "<html>\r\na\r\nb", texts({"a", "b"})},
        {"LF ends", "m\na\nb\n", texts({"a", "b"})},
        {"CR ends", "m\ra\rb\r", texts({"a", "b"})},
        {"mixed ends", "m\r\na\rb\nc", texts({"a", "b", "c"})},
        {"blank lines stay lines", "m\r\n\r\nb\r\n\r\n", texts({"", "b", ""})},
        {"lines after the fifteenth", fifteen + "\r\nextra\r\nmore", allFourteen},
        {"Shift-JIS", "m\r\n\x93\xFA\x96\x7B\r\n\x81\x60", texts({"日本", "～"})},
        {"UTF-8", "m\r\n\xE6\x97\xA5\xE6\x9C\xAC\r\n\xEF\xBD\x9E", texts({"日本", "～"})},
        {"UTF-8 with BOM", "\xEF\xBB\xBFm\r\nabc", texts({"abc"})},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(ParseProject(row.bytes).texts, row.expected);
    }
}

TEST(Project, LineBreakInsideAFieldIsRefused)
{
    PageProject project;
    project.texts[6] = QStringLiteral("two\nlines");
    const std::string message = failureOf([&] { EncodeProject(project); });
    EXPECT_NE(message.find("リンク２ リンク先ＵＲＬ"), std::string::npos) << message;
}

class PageFiles : public ::testing::Test {
  protected:
    QTemporaryDir m_dir;
    QString file(const QString &name) const { return m_dir.filePath(name); }
    QStringList entries() const
    {
        return QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }
};

TEST_F(PageFiles, WritersReplaceTheFileAndReadBack)
{
    PageProject project = namedTexts();
    project.texts[1] = QStringLiteral("画像.jpg");
    PutFile(file("p.mkp"), "old content that is longer than nothing\r\n");
    WriteProjectFile(file("p.mkp"), project);
    EXPECT_EQ(FileBytes(file("p.mkp")), EncodeProject(project));
    EXPECT_EQ(ReadProjectFile(file("p.mkp")).texts, project.texts);

    WritePageFile(file("ページ.html"), project, PageOmissions{});
    EXPECT_EQ(FileBytes(file("ページ.html")), EncodePage(project, PageOmissions{}));
    EXPECT_EQ(entries(), QStringList({"p.mkp", "ページ.html"})); // no temporary file left
}

// An emoji has no Shift-JIS form: the message names the field and no file is made or changed.
TEST_F(PageFiles, UnwritableCharacterNamesTheFieldAndWritesNothing)
{
    PageProject project;
    project.texts[3] = QStringLiteral("abc😀");
    const std::string pageMessage =
        failureOf([&] { WritePageFile(file("new.html"), project, PageOmissions{}); });
    EXPECT_NE(pageMessage.find("「リンク１ 表示テキスト」"), std::string::npos) << pageMessage;
    EXPECT_NE(pageMessage.find("😀"), std::string::npos) << pageMessage;

    PutFile(file("old.mkp"), "vermkrn1.00\r\nkept\r\n");
    const std::string projectMessage =
        failureOf([&] { WriteProjectFile(file("old.mkp"), project); });
    EXPECT_NE(projectMessage.find("「リンク１ 表示テキスト」"), std::string::npos);
    EXPECT_EQ(FileBytes(file("old.mkp")), "vermkrn1.00\r\nkept\r\n");
    EXPECT_EQ(entries(), QStringList({"old.mkp"}));

    // A section left out of the page is not written, so its text does not stand in the way.
    PageOmissions omissions;
    omissions.set(PageSection::Link1);
    WritePageFile(file("new.html"), project, omissions);
    EXPECT_FALSE(FileBytes(file("new.html")).contains("abc"));
}

TEST_F(PageFiles, FailuresNameTheFile)
{
    const QString missing = file("none.mkp");
    std::string message = failureOf([&] { ReadProjectFile(missing); });
    EXPECT_NE(message.find(missing.toStdString()), std::string::npos) << message;
    EXPECT_NE(message.find("ファイルが見つかりません"), std::string::npos) << message;

    const QString nowhere = file("no/such/folder/page.html");
    message = failureOf([&] { WritePageFile(nowhere, PageProject{}, PageOmissions{}); });
    EXPECT_NE(message.find(nowhere.toStdString()), std::string::npos) << message;
}

// Only the first fifteen lines are read: a huge file after them is no obstacle, a line longer
// than one read still arrives whole, and only absurdly long lines are refused.
TEST_F(PageFiles, ReadsFifteenLinesOfAnyFile)
{
    // Eight CR LF ends fit in the first read; each must count once, or reading stops early.
    QByteArray longMiddle = "m\r\n";
    for (int i = 1; i <= 7; ++i)
        longMiddle += "t" + QByteArray::number(i) + "\r\n";
    longMiddle += QByteArray(100000, 'x') + "\r\n";
    for (int i = 9; i <= 14; ++i)
        longMiddle += "t" + QByteArray::number(i) + "\r\n";
    PutFile(file("long.txt"), longMiddle);
    const PageProject withLongLine = ReadProjectFile(file("long.txt"));
    EXPECT_EQ(withLongLine.texts[7].size(), 100000);
    EXPECT_EQ(withLongLine.texts[13], "t14");

    QByteArray trailer = "m\r\nT\r\n";
    for (int i = 2; i <= 14; ++i)
        trailer += "t" + QByteArray::number(i) + "\r\n";
    trailer += QByteArray(20 * 1024 * 1024, 'z');
    PutFile(file("trailer.txt"), trailer);
    const PageProject read = ReadProjectFile(file("trailer.txt"));
    EXPECT_EQ(read.texts[0], "T");
    EXPECT_EQ(read.texts[13], "t14");

    PutFile(file("huge.txt"), QByteArray(20 * 1024 * 1024, 'z'));
    EXPECT_NE(failureOf([&] { ReadProjectFile(file("huge.txt")); }).find("大きすぎ"),
              std::string::npos);
}
