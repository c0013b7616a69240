// The settings file set.ini: a small INI reader and writer for section "set".
#include "core/workspace/settings.h"

#include "core/base/atomic_file.h"
#include "core/base/files.h"
#include "core/base/number_text.h"

#include <QFileInfo>
#include <algorithm>
#include <array>
#include <optional>
#include <vector>

namespace {

// Only this many characters of a value are read, whatever follows them: set.ini files written by
// earlier versions read the same.
constexpr qsizetype kMaxValueLength = 2047;
// set.ini holds a few short lines; anything far larger is not a settings file, and reading it
// whole could exhaust memory. Only a regular file is read: a FIFO or a device would block or
// never end.
constexpr FileReading kSettingsFileReading{.limit = 16 * 1024 * 1024,
                                           .special = SpecialFiles::Refused};

const QByteArray kSection = QByteArrayLiteral("set");

struct KeyField {
    const char *name;
    int32_t SettingsRecord::*field;
};

// The order in which the keys are written.
constexpr std::array<KeyField, 7> kKeys{{
    {"PosX", &SettingsRecord::PosX},
    {"PosY", &SettingsRecord::PosY},
    {"PosW", &SettingsRecord::PosW},
    {"PosH", &SettingsRecord::PosH},
    {"ImageWidth", &SettingsRecord::ImageWidth},
    {"ImageHeight", &SettingsRecord::ImageHeight},
    {"RWidth", &SettingsRecord::RWidth},
}};

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}

QByteArrayView trimBlanks(QByteArrayView text)
{
    while (!text.isEmpty() && isBlank(text.front()))
        text = text.sliced(1);
    while (!text.isEmpty() && isBlank(text.back()))
        text.chop(1);
    return text;
}

// Section and key names match regardless of the case of ASCII letters only, so that bytes of a
// Japanese name can never fold into an ASCII one.
bool sameName(QByteArrayView a, QByteArrayView b)
{
    if (a.size() != b.size())
        return false;
    const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
    for (qsizetype i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i]))
            return false;
    return true;
}

// "[name]" gives name; a line that is not a section header gives nullopt.
std::optional<QByteArrayView> sectionName(QByteArrayView line)
{
    line = trimBlanks(line);
    if (!line.startsWith('['))
        return std::nullopt;
    line = line.sliced(1);
    const qsizetype close = line.indexOf(']');
    return trimBlanks(close < 0 ? line : line.first(close));
}

struct KeyLine {
    QByteArrayView key;
    QByteArrayView value;
};

// "key = value" inside a section; comments (';') and blank lines are not keys. A line without
// '=' is a key with an empty value.
std::optional<KeyLine> keyLine(QByteArrayView line)
{
    line = trimBlanks(line);
    if (line.isEmpty() || line.startsWith(';'))
        return std::nullopt;
    const qsizetype equals = line.indexOf('=');
    if (equals < 0)
        return KeyLine{line, {}};
    return KeyLine{trimBlanks(line.first(equals)), trimBlanks(line.sliced(equals + 1))};
}

// The value as it is read: one pair of matching quotes removed, then cut to kMaxValueLength.
QByteArrayView unquotedValue(QByteArrayView value)
{
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        value = value.sliced(1, value.size() - 2);
    return value.first(qMin(value.size(), kMaxValueLength));
}

// Where section "set" lies in the file. Only its first occurrence counts: a second one, which a
// hand-edited file may hold, is neither read nor changed.
struct SetSection {
    std::optional<size_t> header;
    size_t lastContent = 0;                        // last non-blank line of the section
    std::array<std::optional<size_t>, 7> keyLines; // first line of each key, in kKeys order
};

SetSection findSetSection(QByteArrayView text, const std::vector<TextLine> &lines)
{
    SetSection set;
    for (size_t i = 0; i < lines.size(); ++i) {
        const QByteArrayView line = text.sliced(lines[i].start, lines[i].end - lines[i].start);
        if (const auto name = sectionName(line)) {
            if (set.header)
                break;
            if (sameName(*name, kSection))
                set.header = set.lastContent = i;
            continue;
        }
        if (!set.header)
            continue;
        if (!trimBlanks(line).isEmpty())
            set.lastContent = i;
        const auto key = keyLine(line);
        for (size_t k = 0; key && k < kKeys.size(); ++k)
            if (!set.keyLines[k] && sameName(key->key, kKeys[k].name))
                set.keyLines[k] = i;
    }
    return set;
}

QByteArray keyText(const KeyField &key, const SettingsRecord &record)
{
    return QByteArray(key.name) + '=' + QByteArray::number(record.*key.field) + "\r\n";
}

std::optional<QByteArray> readSmallFile(const QString &path)
{
    try {
        return ReadFile(path, kSettingsFileReading);
    } catch (const Failure &) {
        return std::nullopt;
    }
}

} // namespace

std::optional<int32_t> ReadIniInteger(QByteArrayView value)
{
    // "0x" with digits after it is hexadecimal; ParseInteger reads exactly that, and "0x" alone
    // is no number for either rule.
    return ParseInteger(trimBlanks(value));
}

SettingsRecord ParseSettings(const QByteArray &iniText)
{
    SettingsRecord record;
    const std::vector<TextLine> lines = SplitLines(iniText);
    const SetSection set = findSetSection(iniText, lines);
    for (size_t k = 0; k < kKeys.size(); ++k) {
        if (!set.keyLines[k])
            continue;
        const TextLine &line = lines[*set.keyLines[k]];
        const auto key = keyLine(QByteArrayView(iniText).sliced(line.start, line.end - line.start));
        if (const auto value = ReadIniInteger(unquotedValue(key->value)))
            record.*kKeys[k].field = *value;
    }
    return record;
}

QByteArray UpdateSettings(const QByteArray &iniText, const SettingsRecord &record)
{
    const std::vector<TextLine> lines = SplitLines(iniText);
    const SetSection set = findSetSection(iniText, lines);
    QByteArray missing;
    for (size_t k = 0; k < kKeys.size(); ++k)
        if (!set.keyLines[k])
            missing += keyText(kKeys[k], record);
    if (!set.header)
        missing.prepend("[" + kSection + "]\r\n");

    QByteArray out;
    out.reserve(iniText.size() + missing.size() + 128);
    for (size_t i = 0; i < lines.size(); ++i) {
        const TextLine &line = lines[i];
        const auto replaced = std::find(set.keyLines.begin(), set.keyLines.end(), i);
        if (replaced != set.keyLines.end()) {
            out += keyText(kKeys[replaced - set.keyLines.begin()], record);
        } else {
            out += iniText.sliced(line.start, line.next - line.start);
            // The line after which something is inserted needs a line end of its own.
            const bool insertAfter = set.header ? i == set.lastContent : i + 1 == lines.size();
            if (insertAfter && line.next == line.end && !missing.isEmpty())
                out += "\r\n";
        }
        if (set.header && i == set.lastContent)
            out += missing;
    }
    if (!set.header)
        out += missing;
    return out;
}

void ReadSettings(const QString &path, SettingsRecord &record)
{
    const auto bytes = readSmallFile(path);
    record = bytes ? ParseSettings(*bytes) : SettingsRecord{};
}

void WriteSettings(const QString &path, const SettingsRecord &record)
{
    QByteArray old;
    const QFileInfo info(path);
    if (info.exists()) {
        // The other sections and keys must survive, so a file that cannot be read is not
        // replaced; a read-only file is the user's wish to keep it as it is.
        const auto bytes = info.isWritable() ? readSmallFile(path) : std::nullopt;
        if (!bytes)
            throw WriteFailure(path);
        old = *bytes;
    }
    try {
        WriteFileAtomically(path, UpdateSettings(old, record),
                            ExistingFile::LinkAndPermissionsKept);
    } catch (const Failure &) {
        throw WriteFailure(path); // the message of set.ini names no reason
    }
}
