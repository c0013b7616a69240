// SPDX-License-Identifier: GPL-3.0-or-later
// The settings file set.ini: a small INI reader and writer for section "set" and the view's own
// sections.
#include "core/workspace/settings.h"

#include "core/base/atomic_file.h"
#include "core/base/file_names.h"
#include "core/base/files.h"
#include "core/base/number_text.h"

#include <QCoreApplication>
#include <algorithm>
#include <array>
#include <cerrno>
#include <optional>
#include <sys/stat.h>
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
    {"PosX", &SettingsRecord::windowTop},
    {"PosY", &SettingsRecord::windowLeft},
    {"PosW", &SettingsRecord::windowWidth},
    {"PosH", &SettingsRecord::windowHeight},
    {"ImageWidth", &SettingsRecord::cutWidth},
    {"ImageHeight", &SettingsRecord::cutHeight},
    {"RWidth", &SettingsRecord::shrinkWidth},
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

// Where a section lies in the file. Only its first occurrence counts: a second one, which a
// hand-edited file may hold, is neither read nor changed.
struct IniSection {
    std::optional<size_t> header;
    size_t lastContent = 0;                      // last non-blank line of the section
    std::vector<std::optional<size_t>> keyLines; // first line of each key asked for, in order
};

IniSection findSection(QByteArrayView text, const std::vector<TextLine> &lines,
                       QByteArrayView section, const std::vector<QByteArray> &keys)
{
    IniSection found;
    found.keyLines.resize(keys.size());
    for (size_t i = 0; i < lines.size(); ++i) {
        const QByteArrayView line = text.sliced(lines[i].start, lines[i].end - lines[i].start);
        if (const auto name = sectionName(line)) {
            if (found.header)
                break;
            if (sameName(*name, section))
                found.header = found.lastContent = i;
            continue;
        }
        if (!found.header)
            continue;
        if (!trimBlanks(line).isEmpty())
            found.lastContent = i;
        const auto key = keyLine(line);
        for (size_t k = 0; key && k < keys.size(); ++k)
            if (!found.keyLines[k] && sameName(key->key, keys[k]))
                found.keyLines[k] = i;
    }
    return found;
}

// The values of keys in section, as read (unquoted and cut); nullopt for a key that is missing.
std::vector<std::optional<QByteArrayView>> readSection(QByteArrayView text, QByteArrayView section,
                                                       const std::vector<QByteArray> &keys)
{
    const std::vector<TextLine> lines = SplitLines(text);
    const IniSection found = findSection(text, lines, section, keys);
    std::vector<std::optional<QByteArrayView>> values(keys.size());
    for (size_t k = 0; k < keys.size(); ++k) {
        if (!found.keyLines[k])
            continue;
        const TextLine &line = lines[*found.keyLines[k]];
        values[k] = unquotedValue(keyLine(text.sliced(line.start, line.end - line.start))->value);
    }
    return values;
}

struct IniKey {
    QByteArray name;
    QByteArray value;
};

// Writes keys into section: an existing key is replaced in place, a missing one added after the
// section's last line, a missing section at the end of the text. Every other byte is kept.
QByteArray updateSection(const QByteArray &text, QByteArrayView section,
                         const std::vector<IniKey> &keys)
{
    std::vector<QByteArray> names;
    for (const IniKey &key : keys)
        names.push_back(key.name);
    const std::vector<TextLine> lines = SplitLines(text);
    const IniSection found = findSection(text, lines, section, names);
    const auto keyText = [&keys](size_t k) { return keys[k].name + '=' + keys[k].value + "\r\n"; };
    QByteArray missing;
    for (size_t k = 0; k < keys.size(); ++k)
        if (!found.keyLines[k])
            missing += keyText(k);
    if (!found.header)
        missing.prepend("[" + section.toByteArray() + "]\r\n");

    QByteArray out;
    out.reserve(text.size() + missing.size() + 128);
    for (size_t i = 0; i < lines.size(); ++i) {
        const TextLine &line = lines[i];
        const auto replaced = std::find(found.keyLines.begin(), found.keyLines.end(), i);
        if (replaced != found.keyLines.end()) {
            out += keyText(size_t(replaced - found.keyLines.begin()));
        } else {
            out += text.sliced(line.start, line.next - line.start);
            // The line after which something is inserted needs a line end of its own.
            const bool insertAfter = found.header ? i == found.lastContent : i + 1 == lines.size();
            if (insertAfter && line.next == line.end && !missing.isEmpty())
                out += "\r\n";
        }
        if (found.header && i == found.lastContent)
            out += missing;
    }
    if (!found.header)
        out += missing;
    return out;
}

std::vector<QByteArray> setKeyNames()
{
    std::vector<QByteArray> names;
    for (const KeyField &key : kKeys)
        names.emplace_back(key.name);
    return names;
}

// The file's bytes, or why it cannot be read (the reason alone, without the path); a missing
// file (or folder) is a first run and reads as empty.
QByteArray readSmallFile(const QString &path, std::optional<QString> &why)
{
    try {
        return ReadFile(path, kSettingsFileReading);
    } catch (const IoError &error) {
        if (error.code() != IoCodeFromErrno(ENOENT))
            why = error.description();
    } catch (const Failure &failure) {
        why = failure.description();
    }
    return {};
}

bool exists(const QString &path)
{
    struct stat info {};
    return ::stat(EncodePath(path).constData(), &info) == 0;
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
    const auto values = readSection(iniText, kSection, setKeyNames());
    for (size_t k = 0; k < kKeys.size(); ++k) {
        if (!values[k])
            continue;
        if (const auto value = ReadIniInteger(*values[k]))
            record.*kKeys[k].field = *value;
    }
    return record;
}

QByteArray UpdateSettings(const QByteArray &iniText, const SettingsRecord &record)
{
    std::vector<IniKey> keys;
    for (const KeyField &key : kKeys)
        keys.push_back({key.name, QByteArray::number(record.*key.field)});
    return updateSection(iniText, kSection, keys);
}

std::optional<QString> ReadSettings(const QString &path, SettingsRecord &record)
{
    std::optional<QString> why;
    const QByteArray bytes = readSmallFile(path, why);
    record = ParseSettings(bytes);
    if (!why)
        return std::nullopt;
    return ReadFailure(path, *why).description() +
           QCoreApplication::translate("Settings", "。既定の設定を使います");
}

namespace {

const QByteArray kViewSection = QByteArrayLiteral("view");
const QByteArray kRecentSection = QByteArrayLiteral("recent");

std::vector<QByteArray> recentKeyNames()
{
    std::vector<QByteArray> names;
    for (int i = 1; i <= kRecentFileCount; ++i)
        names.push_back("File" + QByteArray::number(i));
    return names;
}

bool holdsLineBreak(const QString &path)
{
    return path.contains(u'\r') || path.contains(u'\n');
}

// Replaces the file at path with change(its bytes); WriteSettings describes the rules.
template <typename Change> void rewriteSettingsFile(const QString &path, Change change)
{
    QByteArray old;
    if (exists(path)) {
        // The other sections and keys must survive, so a file that cannot be read is not
        // replaced.
        std::optional<QString> why;
        old = readSmallFile(path, why);
        if (why)
            throw WriteFailure(path, *why);
    }
    // Keeps a link to set.ini and the file's permissions, and refuses a read-only set.ini: a
    // user may keep it private, link it from elsewhere, or protect it, and each save keeps that.
    WriteFileAtomically(path, change(old));
}

} // namespace

void WriteSettings(const QString &path, const SettingsRecord &record)
{
    rewriteSettingsFile(path, [&](const QByteArray &old) { return UpdateSettings(old, record); });
}

void WriteSettings(const QString &path, const SettingsRecord &record, const ViewSettings &view)
{
    rewriteSettingsFile(path, [&](const QByteArray &old) {
        return UpdateViewSettings(UpdateSettings(old, record), view);
    });
}

ViewSettings ParseViewSettings(const QByteArray &iniText)
{
    ViewSettings view;
    const auto zoom = readSection(iniText, kViewSection, {QByteArrayLiteral("Zoom")}).front();
    if (const auto percent = zoom ? ReadIniInteger(*zoom) : std::nullopt)
        view.zoomPercent = *percent;
    for (const auto &value : readSection(iniText, kRecentSection, recentKeyNames())) {
        const QString path = value ? QString::fromUtf8(*value) : QString();
        if (!path.isEmpty() && !holdsLineBreak(path) && !view.recentFiles.contains(path))
            view.recentFiles << path;
    }
    return view;
}

QByteArray UpdateViewSettings(const QByteArray &iniText, const ViewSettings &view)
{
    QByteArray text =
        updateSection(iniText, kViewSection, {{"Zoom", QByteArray::number(view.zoomPercent)}});
    QStringList kept;
    for (const QString &path : view.recentFiles)
        if (!holdsLineBreak(path) && kept.size() < kRecentFileCount)
            kept << path;
    std::vector<IniKey> files;
    for (const QByteArray &name : recentKeyNames()) {
        const qsizetype i = qsizetype(files.size());
        // Unused keys are written empty, so a shorter list leaves no older entry behind.
        files.push_back({name, i < kept.size() ? '"' + kept[i].toUtf8() + '"' : QByteArray()});
    }
    return updateSection(text, kRecentSection, files);
}

void ReadViewSettings(const QString &path, ViewSettings &view)
{
    // What cannot be read was reported when the window's own keys were read: the view's keys
    // take their defaults without a second message.
    std::optional<QString> why;
    const QByteArray bytes = readSmallFile(path, why);
    view = why ? ViewSettings{} : ParseViewSettings(bytes);
}

void AddRecentFile(QStringList &files, const QString &path)
{
    files.removeAll(path);
    files.prepend(path);
    while (files.size() > kRecentFileCount)
        files.removeLast();
}
