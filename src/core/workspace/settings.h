// SPDX-License-Identifier: GPL-3.0-or-later
// The settings file set.ini: section "set" as earlier versions read and write it, and the view's
// own sections [view] and [recent].
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

// What set.ini keeps between runs, each field under the key of section "set" that files written
// by earlier versions use (in brackets): the window's outer place and size, the cut size, and
// the width the shrink prompt offers.
struct SettingsRecord {
    int32_t windowTop = 0;      // PosX
    int32_t windowLeft = 0;     // PosY
    int32_t windowWidth = 750;  // PosW
    int32_t windowHeight = 550; // PosH
    int32_t cutWidth = 100;     // ImageWidth
    int32_t cutHeight = 100;    // ImageHeight
    int32_t shrinkWidth = 100;  // RWidth

    bool operator==(const SettingsRecord &) const = default;
};

// Fills every field from section "set" of the INI file at path. A missing file, section or key,
// or a value that is not an integer, gives that field's default. Never fails. Returns nothing
// when the file was read or does not exist (a first run, also when its folder is missing).
// Otherwise the record holds the defaults and the text returned is the message for the user, who
// would else wonder why the window forgot its place: what could not be read and why, and that the
// defaults are used: "<path> を読み込めません (<reason>)。既定の設定を使います" (reason: a folder,
// not a regular file (a FIFO), no permission, too large, ...).
std::optional<QString> ReadSettings(const QString &path, SettingsRecord &record);

// Writes the seven keys into section "set" of the INI file at path, keeping every other section,
// key and line as it was; an existing key is replaced in place, a missing one added at the end of
// the section, a missing section at the end of the file. Lines end in CR LF. The file is replaced
// atomically (WriteFileAtomically: a link to it and its permissions stay, a read-only file is
// refused): on failure it is left exactly as it was and Failure "<path> に書き込めません
// (<reason>)" is thrown; an existing file that cannot be read is not replaced.
void WriteSettings(const QString &path, const SettingsRecord &record);

// The pure halves of the two routines, for tests and for the file versions above.
SettingsRecord ParseSettings(const QByteArray &iniText);
QByteArray UpdateSettings(const QByteArray &iniText, const SettingsRecord &record);

// The value rule of set.ini: more than two characters starting with 0x or 0X are hexadecimal,
// anything else is read by ParseInteger; surrounding blanks are ignored.
std::optional<int32_t> ReadIniInteger(QByteArrayView value);

// What the view keeps in set.ini besides section "set", each in a section of its own so that
// section "set" stays exactly as earlier versions read and wrote it: the zoom ([view] Zoom, a
// whole percentage) and the pictures opened last ([recent] File1 .. File8, newest first).
inline constexpr int kRecentFileCount = 8;
struct ViewSettings {
    int32_t zoomPercent = 100;
    QStringList recentFiles; // at most kRecentFileCount paths

    bool operator==(const ViewSettings &) const = default;
};

// Like ParseSettings and UpdateSettings, for the two sections of ViewSettings. Paths are written
// in UTF-8 inside double quotes (a path may begin or end with blanks or quotes); an empty key reads
// as no file, and a path that holds a line break is not kept.
ViewSettings ParseViewSettings(const QByteArray &iniText);
QByteArray UpdateViewSettings(const QByteArray &iniText, const ViewSettings &view);

// Reads ViewSettings from the file at path; never fails (a missing file gives the defaults).
void ReadViewSettings(const QString &path, ViewSettings &view);
// Writes both records into the file at path in one replacement, as WriteSettings does.
void WriteSettings(const QString &path, const SettingsRecord &record, const ViewSettings &view);

// Puts path at the head of a recent-files list, taking out an earlier entry of the same path and
// keeping at most kRecentFileCount entries.
void AddRecentFile(QStringList &files, const QString &path);
