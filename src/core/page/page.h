// SPDX-License-Identifier: GPL-3.0-or-later
// The page maker's files: the mobile HTML page and the 15-line project file, both in CP932.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <array>
#include <optional>

// The fourteen texts of the page maker, in the order of the project file: texts[0] the title,
// texts[1] the picture's URL, texts[2] the text, texts[3] to texts[12] the five links (each its
// shown text, then its URL), texts[13] the text below the links.
struct PageProject {
    std::array<QString, 14> texts;
};

// The sections that a "使用しない" box can leave out, in the order the dialog shows the boxes.
enum class PageSection { Picture, Text, Link1, Link2, Link3, Link4, Link5, Text2 };
inline constexpr int kPageSectionCount = 8;

struct PageOmissions {
    std::array<bool, kPageSectionCount> omitted{}; // by PageSection; all false: nothing left out

    bool operator[](PageSection section) const { return omitted[size_t(section)]; }
    void set(PageSection section, bool omit = true) { omitted[size_t(section)] = omit; }
};

// The section named on the command line: "picture", "text", "link1" ... "link5", "text2".
std::optional<PageSection> PageSectionByName(QStringView name);

// The marker written as the project file's first line (never checked when reading).
inline const QString kProjectMarker = QStringLiteral("vermkrn1.00");

// The page, line by line: six fixed lines plus one line for each section not left out. The field
// texts are inserted unchanged (no escaping), in the letter case the phones expect.
QStringList PageLines(const PageProject &project, const PageOmissions &omissions);

// The page and the project as CP932 bytes, every line ended by CR LF. Throw Failure naming the
// field when a text that would be written has a character CP932 cannot hold (a text left out of
// the page is not checked), or, for the project, a text holding a line break, which would shift
// every later field when read back.
QByteArray EncodePage(const PageProject &project, const PageOmissions &omissions);
QByteArray EncodeProject(const PageProject &project);

// Reads project bytes: the first line is set aside unchecked, lines 2 to 15 are the texts, missing
// lines give empty texts, later lines are ignored. Lines end at CR LF, LF or CR. CP932 or UTF-8,
// as DetectEncoding decides.
PageProject ParseProject(QByteArrayView bytes);

// The file versions. A written file appears whole or not at all, and nothing is written when the
// text cannot be encoded. Throw Failure with a Japanese description naming the file.
void WritePageFile(const QString &path, const PageProject &project, const PageOmissions &omissions);
void WriteProjectFile(const QString &path, const PageProject &project);
PageProject ReadProjectFile(const QString &path);
