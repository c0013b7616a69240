// The settings file set.ini: reading and writing section "set".
#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>

// What set.ini keeps between runs. PosX is the window's top edge and PosY its left edge.
struct SettingsRecord {
    int32_t PosX = 0;
    int32_t PosY = 0;
    int32_t PosW = 750;
    int32_t PosH = 550;
    int32_t ImageWidth = 100;
    int32_t ImageHeight = 100;
    int32_t RWidth = 100;

    bool operator==(const SettingsRecord &) const = default;
};

// Fills every field from section "set" of the INI file at path. A missing file, section or key,
// or a value that is not an integer, gives that field's default. Never fails.
void ReadSettings(const QString &path, SettingsRecord &record);

// Writes the seven keys into section "set" of the INI file at path, keeping every other section,
// key and line as it was; an existing key is replaced in place, a missing one added at the end of
// the section, a missing section at the end of the file. Lines end in CR LF. The file is replaced
// atomically: on failure it is left exactly as it was and Failure("<path> に書き込めません") is
// thrown.
void WriteSettings(const QString &path, const SettingsRecord &record);

// The pure halves of the two routines, for tests and for the file versions above.
SettingsRecord ParseSettings(const QByteArray &iniText);
QByteArray UpdateSettings(const QByteArray &iniText, const SettingsRecord &record);

// The value rule of set.ini: more than two characters starting with 0x or 0X are hexadecimal,
// anything else is read by ParseInteger; surrounding blanks are ignored.
std::optional<int32_t> ReadIniInteger(QByteArrayView value);
