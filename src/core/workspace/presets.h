// SPDX-License-Identifier: GPL-3.0-or-later
// The cut-size preset file data.dat.
#pragma once

#include <QByteArrayView>
#include <QString>
#include <cstdint>
#include <vector>

// Records of data.dat beyond this many are ignored.
inline constexpr size_t kMaxPresets = 100;

struct Preset {
    QString name;
    int32_t width = 0;
    int32_t height = 0;

    bool operator==(const Preset &) const = default;
};

// Parses the records of a preset file (name line, width, height; repeated) and appends each
// record to presets as soon as it is complete, so records read before a failure are kept, until
// presets holds kMaxPresets of them.
// Throws IoError(106) when a width or height is not a number.
void ParsePresets(QByteArrayView bytes, std::vector<Preset> &presets);

// Reads the file at path and parses it. Throws IoError with the code of the failure (2 when the
// file does not exist, 5 when it may not be read, 106 for a malformed number, ...).
void ReadPresets(const QString &path, std::vector<Preset> &presets);
