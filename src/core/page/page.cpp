// SPDX-License-Identifier: GPL-3.0-or-later
// The page maker's files: the mobile HTML page and the project file.
#include "core/page/page.h"

#include "core/base/atomic_file.h"
#include "core/base/files.h"
#include "core/base/text_codec.h"

#include <QCoreApplication>

namespace {

constexpr int kFieldCount = 14;
constexpr int kProjectLines = 1 + kFieldCount;
// Reading stops at the fifteenth line end, so any text file can be opened; only a file whose
// first fifteen lines alone are this large is refused, as no one types such a field.
constexpr FileReading kProjectFileReading{.limit = 16 * 1024 * 1024,
                                          .stopAfterLines = kProjectLines};
const QByteArray kLineEnd = QByteArrayLiteral("\r\n");

// How the page maker's dialog names each field, for messages: the section heading, then the
// caption.
QString fieldName(int field)
{
    static const std::array<const char *, kFieldCount> kNames = {
        QT_TRANSLATE_NOOP("Page", "タイトル"),
        QT_TRANSLATE_NOOP("Page", "画像 ファイル存在ＵＲＬ"),
        QT_TRANSLATE_NOOP("Page", "テキスト"),
        QT_TRANSLATE_NOOP("Page", "リンク１ 表示テキスト"),
        QT_TRANSLATE_NOOP("Page", "リンク１ リンク先ＵＲＬ"),
        QT_TRANSLATE_NOOP("Page", "リンク２ 表示テキスト"),
        QT_TRANSLATE_NOOP("Page", "リンク２ リンク先ＵＲＬ"),
        QT_TRANSLATE_NOOP("Page", "リンク３ 表示テキスト"),
        QT_TRANSLATE_NOOP("Page", "リンク３ リンク先ＵＲＬ"),
        QT_TRANSLATE_NOOP("Page", "リンク４ 表示テキスト"),
        QT_TRANSLATE_NOOP("Page", "リンク４ リンク先ＵＲＬ"),
        QT_TRANSLATE_NOOP("Page", "リンク５ 表示テキスト"),
        QT_TRANSLATE_NOOP("Page", "リンク５ リンク先ＵＲＬ"),
        QT_TRANSLATE_NOOP("Page", "下のテキスト"),
    };
    return QCoreApplication::translate("Page", kNames[size_t(field)]);
}

// The section whose box leaves the field out; the title is always written.
std::optional<PageSection> sectionOfField(int field)
{
    if (field == 0)
        return std::nullopt;
    if (field == 1)
        return PageSection::Picture;
    if (field == 2)
        return PageSection::Text;
    if (field == kFieldCount - 1)
        return PageSection::Text2;
    return PageSection(int(PageSection::Link1) + (field - 3) / 2);
}

// The first character (a surrogate pair counts as one) that CP932 cannot hold.
QString firstUnwritable(const QString &text)
{
    for (qsizetype i = 0; i < text.size();) {
        const bool pair =
            text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
        const QString character = text.mid(i, pair ? 2 : 1);
        if (!EncodeCp932(character))
            return character;
        i += character.size();
    }
    return {};
}

void checkWritable(const PageProject &project, int field)
{
    const QString &text = project.texts[size_t(field)];
    if (EncodeCp932(text))
        return;
    const QString bad = firstUnwritable(text);
    const char32_t code = bad.size() == 2 ? QChar::surrogateToUcs4(bad[0], bad[1])
                                          : (bad.isEmpty() ? 0 : bad[0].unicode());
    // A lone surrogate or a control character would only confuse when shown.
    const QString shown =
        QChar::isPrint(code) ? QCoreApplication::translate("Page", "「%1」").arg(bad) : QString();
    throw Failure(
        QCoreApplication::translate("Page", "「%1」に Shift-JIS で書けない文字%2があります")
            .arg(fieldName(field), shown));
}

QByteArray encodeLines(const QStringList &lines)
{
    const auto bytes = EncodeCp932(lines.join(QString::fromLatin1(kLineEnd)) + kLineEnd);
    if (!bytes) // the fields were checked; the fixed fragments are ASCII
        throw Failure(QCoreApplication::translate("Page", "Shift-JIS に変換できません"));
    return *bytes;
}

// Where the first count lines end (the position of the last one's line end, or the end of bytes).
// CR and LF never occur inside a CP932 or UTF-8 character, so bytes can be split before decoding.
qsizetype endOfLines(QByteArrayView bytes, int count)
{
    const std::vector<TextLine> lines = SplitLines(bytes, count);
    return qsizetype(lines.size()) == count ? lines.back().end : bytes.size();
}

// The file up to its fifteenth line end (a little more when that falls inside a read).
QByteArray readProjectLines(const QString &path)
{
    try {
        return ReadFile(path, kProjectFileReading);
    } catch (const Failure &failure) {
        throw ReadFailure(path, failure.description());
    }
}

} // namespace

std::optional<PageSection> PageSectionByName(QStringView name)
{
    static const std::array<QString, kPageSectionCount> kNames = {
        QStringLiteral("picture"), QStringLiteral("text"),  QStringLiteral("link1"),
        QStringLiteral("link2"),   QStringLiteral("link3"), QStringLiteral("link4"),
        QStringLiteral("link5"),   QStringLiteral("text2"),
    };
    for (int i = 0; i < kPageSectionCount; ++i) {
        if (name == kNames[size_t(i)])
            return PageSection(i);
    }
    return std::nullopt;
}

QStringList PageLines(const PageProject &project, const PageOmissions &omissions)
{
    const auto &t = project.texts;
    QStringList lines;
    lines << QStringLiteral("<HTML><HEAD><TITLE>") + t[0] + QStringLiteral("</TITLE></HEAD>");
    lines << QStringLiteral("<BODY>") << QStringLiteral("<!-- MKRN eihp ver1.00 -->");
    if (!omissions[PageSection::Picture])
        lines << QStringLiteral("<CENTER><IMG SRC=\"") + t[1] + QStringLiteral("\"></CENTER><BR>");
    // The paragraph opens with a lower-case p and closes with an upper-case one: pages made by
    // earlier versions and those made now stay byte for byte the same.
    if (!omissions[PageSection::Text])
        lines << QStringLiteral("<p>") + t[2] + QStringLiteral("</P>");
    lines << QStringLiteral("<HR>");
    for (int link = 0; link < 5; ++link) {
        if (omissions[PageSection(int(PageSection::Link1) + link)])
            continue;
        const QString &shown = t[size_t(3 + 2 * link)];
        const QString &url = t[size_t(4 + 2 * link)];
        lines << QStringLiteral("<A HREF=\"") + url + QStringLiteral("\">") + shown +
                     QStringLiteral("</A><BR>");
    }
    lines << QStringLiteral("<HR>");
    if (!omissions[PageSection::Text2])
        lines << QStringLiteral("<p>") + t[13] + QStringLiteral("</P>");
    lines << QStringLiteral("</BODY></HTML>");
    return lines;
}

QByteArray EncodePage(const PageProject &project, const PageOmissions &omissions)
{
    for (int field = 0; field < kFieldCount; ++field) {
        const auto section = sectionOfField(field);
        if (!section || !omissions[*section])
            checkWritable(project, field);
    }
    return encodeLines(PageLines(project, omissions));
}

QByteArray EncodeProject(const PageProject &project)
{
    QStringList lines{kProjectMarker};
    for (int field = 0; field < kFieldCount; ++field) {
        const QString &text = project.texts[size_t(field)];
        if (text.contains(u'\r') || text.contains(u'\n'))
            throw Failure(QCoreApplication::translate("Page", "「%1」に改行があります")
                              .arg(fieldName(field)));
        checkWritable(project, field);
        lines << text;
    }
    return encodeLines(lines);
}

PageProject ParseProject(QByteArrayView bytes)
{
    bytes = bytes.first(endOfLines(bytes, kProjectLines));
    const QString text = DecodeText(bytes, DetectEncoding(bytes));
    PageProject project;
    const std::vector<TextLine> lines = SplitLines(QStringView(text), kProjectLines);
    // The marker line is set aside unread.
    for (size_t line = 1; line < lines.size(); ++line)
        project.texts[line - 1] =
            text.sliced(lines[line].start, lines[line].end - lines[line].start);
    return project;
}

void WritePageFile(const QString &path, const PageProject &project, const PageOmissions &omissions)
{
    WriteFileAtomically(path, EncodePage(project, omissions));
}

void WriteProjectFile(const QString &path, const PageProject &project)
{
    WriteFileAtomically(path, EncodeProject(project));
}

PageProject ReadProjectFile(const QString &path)
{
    return ParseProject(readProjectLines(path));
}
