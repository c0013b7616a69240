// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of set.ini and data.dat: number reading, the INI reader and writer, the preset records.
#include "core/base/io_error.h"
#include "core/base/number_text.h"
#include "core/workspace/presets.h"
#include "core/workspace/settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

void setMode(const QString &path, mode_t mode)
{
    ASSERT_EQ(chmod(QFile::encodeName(path).constData(), mode), 0);
}

// Root ignores permission bits, so permission cases run in a child process that gives up root
// first. Returns the check's result as the child's exit status; 90 when root could not be left.
int inUnprivilegedChild(const std::function<int()> &check)
{
    const pid_t pid = fork();
    if (pid == 0) {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
            _exit(90);
        _exit(check());
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(ParseInteger, ReadsDecimalAndHexadecimalTokens)
{
    const struct {
        const char *token;
        std::optional<int32_t> expected;
    } rows[] = {
        {"240", 240},
        {"+7", 7},
        {"-15", -15},
        {"2147483647", INT32_MAX},
        {"-2147483648", INT32_MIN},
        {"2147483648", std::nullopt},
        {"-2147483649", std::nullopt},
        {"99999999999999999999", std::nullopt},
        {"$40", 64},
        {"0X4f", 79},
        {"-$10", -16},
        {"$FFFFFFFF", -1},
        {"$100000000", std::nullopt},
        {"0x", std::nullopt},
        {"$", std::nullopt},
        {"", std::nullopt},
        {"-", std::nullopt},
        {"12a", std::nullopt},
        {" 1", std::nullopt},
        {"0x-5", std::nullopt},
    };
    for (const auto &row : rows)
        EXPECT_EQ(ParseInteger(row.token), row.expected) << '"' << row.token << '"';
    EXPECT_EQ(ReadIniInteger(" \t0x40 "), 64) << "set.ini values ignore surrounding blanks";
}

SettingsRecord with(const std::function<void(SettingsRecord &)> &change)
{
    SettingsRecord record;
    change(record);
    return record;
}

TEST(ParseSettings, FollowsTheProfileFileRules)
{
    const SettingsRecord defaults;
    const auto posW = [](int32_t w) { return with([w](auto &r) { r.windowWidth = w; }); };
    const char garbage[] = "\0\xFF[set\x01\r\n=\0=PosW";
    const QByteArray longValue = "1" + QByteArray(2046, ' ') + "x"; // the "x" lies past 2047
    const struct {
        const char *label;
        QByteArray text;
        SettingsRecord expected;
    } rows[] = {
        {"empty file", "", defaults},
        {"all keys",
         "[set]\r\nPosX=1\r\nPosY=-2\r\nPosW=800\r\nPosH=600\r\nImageWidth=64\r\n"
         "ImageHeight=48\r\nRWidth=320\r\n",
         SettingsRecord{1, -2, 800, 600, 64, 48, 320}},
        {"PosW not a number", "[set]\r\nPosW=wide\r\n", defaults},
        {"hexadecimal", "[set]\r\nImageWidth=0x40\r\nImageHeight=$40\r\n",
         with([](auto &r) { r.cutWidth = r.cutHeight = 64; })},
        {"0x alone", "[set]\r\nImageWidth=0x\r\n", defaults},
        {"letter case and blanks", "  [ SeT ]\r\n  posw  =  900  \r\n", posW(900)},
        {"double quotes", "[set]\nPosW=\"901\"\n", posW(901)},
        {"single quotes", "[set]\nPosW='902'\n", posW(902)},
        {"unmatched quotes", "[set]\nPosW=\"903'\n", defaults},
        {"CR lines", "[set]\rPosH=700\rPosW=1",
         with([](auto &r) { r.windowHeight = 700, r.windowWidth = 1; })},
        {"other section, no section, comment",
         "PosW=1\r\n[other]\r\nPosW=2\r\n[set]\r\n;PosW=3\r\n", defaults},
        {"first of two keys and two sections", "[set]\r\nPosW=801\r\nPosW=2\r\n[set]\r\nPosW=3\r\n",
         posW(801)},
        {"value cut to 2047 characters", "[set]\r\nPosW=" + longValue + "\r\n", posW(1)},
        {"binary garbage", QByteArray(garbage, sizeof garbage - 1), defaults},
        {"huge line before the section", QByteArray(200000, 'z') + "\n[set]\nPosW=1000\n",
         posW(1000)},
    };
    for (const auto &row : rows)
        EXPECT_EQ(ParseSettings(row.text), row.expected) << row.label;
}

const SettingsRecord kSample{10, -20, 800, 600, 64, 48, 320};
const QByteArray kSampleKeys = "PosX=10\r\nPosY=-20\r\nPosW=800\r\nPosH=600\r\nImageWidth=64\r\n"
                               "ImageHeight=48\r\nRWidth=320\r\n";

TEST(UpdateSettings, KeepsEverythingElseByteForByte)
{
    const struct {
        const char *label;
        QByteArray before;
        QByteArray after;
    } rows[] = {
        {"new file", "", "[set]\r\n" + kSampleKeys},
        {"section added after a last line without line end", "; mine\n[other]\nA=1",
         "; mine\n[other]\nA=1\r\n[set]\r\n" + kSampleKeys},
        {"key replaced in place, missing ones after the section's last line",
         "; top\n[other]\nPosW=5\n[Set]\nposw = 1\nFoo=bar\n;note\n\n[tail]\nB=2",
         "; top\n[other]\nPosW=5\n[Set]\nPosW=800\r\nFoo=bar\n;note\n"
         "PosX=10\r\nPosY=-20\r\nPosH=600\r\nImageWidth=64\r\nImageHeight=48\r\nRWidth=320\r\n"
         "\n[tail]\nB=2"},
        {"section last, its last line without line end", "[set]\r\nX=1",
         "[set]\r\nX=1\r\n" + kSampleKeys},
        {"replaced last line gets its line end", "[set]\r\n" + kSampleKeys.chopped(2),
         "[set]\r\n" + kSampleKeys},
        {"only the first of two sections", "[set]\r\n[set]\r\nPosX=1\r\n",
         "[set]\r\n" + kSampleKeys + "[set]\r\nPosX=1\r\n"},
    };
    for (const auto &row : rows)
        EXPECT_EQ(UpdateSettings(row.before, kSample), row.after) << row.label;
}

TEST(UpdateSettings, WhatIsWrittenReadsBack)
{
    const SettingsRecord records[] = {kSample, {INT32_MIN, INT32_MAX, 0, -1, 1, 2, 3}};
    for (const auto &record : records)
        for (const QByteArray start :
             {"", "[set]\nPosW=abc\n", "[a]\r\nx=1\r\n[SET]\r\nrwidth='7'"}) {
            const QByteArray written = UpdateSettings(start, record);
            EXPECT_EQ(ParseSettings(written), record) << written.constData();
            EXPECT_EQ(UpdateSettings(written, record), written) << "a second write changes nothing";
        }
}

// The zoom and the recent pictures live in sections of their own. Catches a write that touches
// section "set" (stored files rely on its exact keys), recent paths that do not come back as
// written (blanks, quotes, Japanese), a shorter list that leaves an older entry behind, and a
// list that grows past eight.
TEST(ViewSettings, OwnSectionsRoundTripAndLeaveTheRestAlone)
{
    const QByteArray before = "; mine\r\n[set]\r\n" + kSampleKeys + "[other]\nk=v\n";
    ViewSettings view;
    view.zoomPercent = 33;
    view.recentFiles = {QStringLiteral("/pictures/歩く.bmp"), QStringLiteral(" /a b/'q'.jpg "),
                        QStringLiteral("\"/quoted\"")};
    const QByteArray written = UpdateViewSettings(before, view);
    EXPECT_TRUE(written.startsWith(before)) << written.constData();
    EXPECT_EQ(ParseViewSettings(written), view);
    EXPECT_EQ(ParseSettings(written), kSample);
    EXPECT_EQ(UpdateViewSettings(written, view), written) << "a second write changes nothing";

    ViewSettings shorter = view;
    shorter.recentFiles = {QStringLiteral("/one.bmp")};
    shorter.zoomPercent = 400;
    EXPECT_EQ(ParseViewSettings(UpdateViewSettings(written, shorter)), shorter);
    EXPECT_EQ(ParseViewSettings("[set]\r\nPosW=1\r\n"), ViewSettings{}); // earlier files: 100 %

    QStringList recent;
    for (int i = 0; i < 10; ++i)
        AddRecentFile(recent, QStringLiteral("/p%1.bmp").arg(i));
    AddRecentFile(recent, QStringLiteral("/p5.bmp")); // opened again: to the top, once
    EXPECT_EQ(recent, (QStringList{"/p5.bmp", "/p9.bmp", "/p8.bmp", "/p7.bmp", "/p6.bmp", "/p4.bmp",
                                   "/p3.bmp", "/p2.bmp"}));
}

class SettingsFile : public testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }
    QString path() const { return m_dir.filePath(QStringLiteral("set.ini")); }
    QTemporaryDir m_dir;
};

TEST_F(SettingsFile, MissingOrGarbageFileGivesDefaults)
{
    SettingsRecord record = kSample;
    ReadSettings(path(), record);
    EXPECT_EQ(record, SettingsRecord{});

    QByteArray garbage;
    for (uint32_t i = 0; i < 300000; ++i)
        garbage += char(i * 7919u % 256u);
    writeAll(path(), garbage);
    record = kSample;
    ReadSettings(path(), record);
    EXPECT_EQ(record, SettingsRecord{});
}

// Mistake: a set.ini that exists but cannot be read gives the defaults without a word, and the
// user only learns at exit that it could not be written. A missing one is a first run, no fault.
TEST_F(SettingsFile, ReadingSaysWhyTheFileCouldNotBeRead)
{
    SettingsRecord record = kSample;
    EXPECT_EQ(ReadSettings(path(), record), std::nullopt);
    EXPECT_EQ(record, SettingsRecord{});

    ASSERT_TRUE(QDir(m_dir.path()).mkdir(QStringLiteral("set.ini")));
    record = kSample;
    EXPECT_EQ(ReadSettings(path(), record),
              path() +
                  QStringLiteral(
                      " を読み込めません (ファイルではなくフォルダです)。既定の設定を使います"));
    EXPECT_EQ(record, SettingsRecord{});
    ASSERT_TRUE(QDir(m_dir.path()).rmdir(QStringLiteral("set.ini")));

    writeAll(path(), "[set]\r\nPosW=900\r\n");
    setMode(m_dir.path(), 0755);
    setMode(path(), 0);
    EXPECT_EQ(inUnprivilegedChild([&] {
                  SettingsRecord unread = kSample;
                  const auto problem = ReadSettings(path(), unread);
                  return problem &&
                                 problem->contains(
                                     QStringLiteral("(ファイルへのアクセスが拒否されました)")) &&
                                 unread == SettingsRecord{}
                             ? 0
                             : 1;
              }),
              0);
}

TEST_F(SettingsFile, WriteCreatesAndUpdatesTheFile)
{
    WriteSettings(path(), kSample);
    EXPECT_EQ(readAll(path()), "[set]\r\n" + kSampleKeys);

    writeAll(path(), "; keep me\n[set]\nPosW=1\n[other]\nk=v\n");
    SettingsRecord changed = kSample;
    changed.windowWidth = 1024;
    WriteSettings(path(), changed);
    SettingsRecord read;
    ReadSettings(path(), read);
    EXPECT_EQ(read, changed);
    EXPECT_TRUE(readAll(path()).startsWith("; keep me\n[set]\nPosW=1024\r\nPosX=10\r\n"));
    EXPECT_TRUE(readAll(path()).endsWith("RWidth=320\r\n[other]\nk=v\n"));
}

TEST_F(SettingsFile, FailedWriteLeavesTheOldFileAndSaysWhere)
{
    const QByteArray old = "[set]\r\nPosW=1\r\n; mine\r\n";
    const QString folder = m_dir.filePath(QStringLiteral("locked"));
    const QString file = folder + QStringLiteral("/set.ini");
    ASSERT_TRUE(QDir().mkdir(folder));
    writeAll(file, old);
    setMode(m_dir.path(), 0755);
    setMode(file, 0666); // the file may be written; only the folder refuses the replacement
    setMode(folder, 0555);

    // The reason says that the folder, not the file, refuses.
    const QString expected =
        file +
        QStringLiteral(" に書き込めません (フォルダ %1 に書き込む権限がありません)").arg(folder);
    const int result = inUnprivilegedChild([&] {
        try {
            WriteSettings(file, kSample);
            return 1;
        } catch (const Failure &failure) {
            return failure.description() == expected ? 0 : 2;
        }
    });
    setMode(folder, 0755);
    EXPECT_EQ(result, 0) << "1: no failure, 2: wrong text";
    EXPECT_EQ(readAll(file), old);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{"set.ini"});
}

// set.ini is replaced through a temporary file: a writer that renamed it over the path would turn
// a linked set.ini into a plain file and a private one into a readable one.
TEST_F(SettingsFile, WriteKeepsTheLinkAndThePermissions)
{
    const QString target = m_dir.filePath(QStringLiteral("kept.ini"));
    writeAll(target, "[other]\r\nk=v\r\n");
    setMode(target, 0600);
    ASSERT_EQ(::symlink("kept.ini", QFile::encodeName(path()).constData()), 0);

    WriteSettings(path(), kSample);
    EXPECT_TRUE(QFileInfo(path()).isSymLink());
    EXPECT_EQ(readAll(target), "[other]\r\nk=v\r\n[set]\r\n" + kSampleKeys);
    struct stat info {};
    ASSERT_EQ(::stat(QFile::encodeName(target).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
}

Preset preset(const QString &name, int32_t width, int32_t height)
{
    return Preset{name, width, height};
}

TEST(ParsePresets, ReadsRecordsAsTheFileHoldsThem)
{
    const QString freeSize = QStringLiteral("任意切り取りサイズ");
    const QByteArray freeSizeSjis =
        "\x94\x43\x88\xD3\x90\xD8\x82\xE8\x8E\xE6\x82\xE8\x83\x54\x83\x43"
        "\x83\x59";
    const struct {
        const char *label;
        QByteArray bytes;
        std::vector<Preset> expected;
        int error; // 0: none
    } rows[] = {
        {"one record, final line end", "QVGA\r\n320\r\n240\r\n", {preset("QVGA", 320, 240)}, 0},
        {"one more empty line is a record",
         "QVGA\r\n320\r\n240\r\n\r\n",
         {preset("QVGA", 320, 240), preset("", 0, 0)},
         0},
        {"LF and CR lines", "A\n1\n2\nB\r3\r4\r", {preset("A", 1, 2), preset("B", 3, 4)}, 0},
        {"unit after the number",
         "  Wide \r\n  240 px\r\n\t100\tpx",
         {preset("  Wide ", 240, 100)},
         0},
        {"name then end of file", "Lonely", {preset("Lonely", 0, 0)}, 0},
        {"empty file", "", {}, 0},
        {"blank and control lines before numbers do not count",
         "A\r\n\r\n\x01 5\r\n\r\n6\r\nB\n7",
         {preset("A", 5, 6), preset("B", 7, 0)},
         0},
        {"second number on a line is skipped", "A\r\n1 2\r\n3\r\n", {preset("A", 1, 3)}, 0},
        {"hexadecimal", "H\r\n$40\r\n0x40\r\n", {preset("H", 64, 64)}, 0},
        {"letters stop the reading, earlier records stay",
         "A\r\n1\r\n2\r\nB\r\nabc\r\n3\r\n",
         {preset("A", 1, 2)},
         106},
        {"32-character token", "A\r\n" + QByteArray(30, '0') + "12\r\n1", {preset("A", 12, 1)}, 0},
        {"33-character token", "A\r\n" + QByteArray(31, '0') + "12\r\n1", {}, 106},
        {"Ctrl-Z ends the file",
         "A\r\n1\r\n2\r\n\x1A"
         "B\r\n3\r\n4\r\n",
         {preset("A", 1, 2)},
         0},
        {"Ctrl-Z inside a name",
         "Ab\x1A"
         "c\r\n1\r\n2\r\n",
         {preset("Ab", 0, 0)},
         0},
        {"Shift-JIS name", freeSizeSjis + "\r\n0\r\n0\r\n", {preset(freeSize, 0, 0)}, 0},
        {"UTF-8 name", freeSize.toUtf8() + "\n1\n2\n", {preset(freeSize, 1, 2)}, 0},
        {"UTF-8 byte-order mark",
         "\xEF\xBB\xBF"
         "A\n1\n2\n",
         {preset("A", 1, 2)},
         0},
    };
    for (const auto &row : rows) {
        std::vector<Preset> presets;
        int error = 0;
        try {
            ParsePresets(row.bytes, presets);
        } catch (const IoError &e) {
            error = e.code();
        }
        EXPECT_EQ(error, row.error) << row.label;
        EXPECT_EQ(presets, row.expected) << row.label;
    }
    // Records past the hundredth are ignored, though still read for their faults.
    QByteArray many;
    for (int i = 0; i < 130; ++i)
        many += QByteArray::number(i) + "\n" + QByteArray::number(i) + "\n1\n";
    std::vector<Preset> presets;
    ParsePresets(many, presets);
    ASSERT_EQ(presets.size(), kMaxPresets);
    EXPECT_EQ(presets.back(), preset("99", 99, 1));
    presets.clear();
    EXPECT_THROW(ParsePresets(many + "late\nabc\n1\n", presets), IoError);
}

TEST(ReadPresets, ReportsFileErrorsByCode)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString data = dir.filePath(QStringLiteral("data.dat"));
    writeAll(data, "A\r\n1\r\n2\r\n");
    std::vector<Preset> presets{preset("earlier", 1, 1)};
    ReadPresets(data, presets);
    EXPECT_EQ(presets, (std::vector<Preset>{preset("earlier", 1, 1), preset("A", 1, 2)}));

    const auto codeOf = [&](const QString &path) {
        try {
            ReadPresets(path, presets);
        } catch (const IoError &e) {
            return e.code();
        }
        return 0;
    };
    EXPECT_EQ(codeOf(dir.filePath(QStringLiteral("missing.dat"))), 2);
    EXPECT_EQ(codeOf(dir.path()), EISDIR);
    setMode(dir.path(), 0755);
    setMode(data, 0);
    EXPECT_EQ(inUnprivilegedChild([&] { return codeOf(data); }), 5);
}

} // namespace
