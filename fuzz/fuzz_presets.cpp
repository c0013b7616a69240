// SPDX-License-Identifier: GPL-3.0-or-later
// data.dat on any bytes: the records read before a malformed number are kept.
#include "core/base/io_error.h"
#include "core/workspace/presets.h"

#include "fuzz_target.h"

#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::vector<Preset> presets;
    try {
        ParsePresets(FuzzInput(data, size), presets);
    } catch (const IoError &error) {
        Require(error.code() == 106);
    }
    for (const Preset &preset : presets)
        Require(!preset.name.contains(QChar(u'\n')) && !preset.name.contains(QChar(u'\r')));
    return 0;
}
