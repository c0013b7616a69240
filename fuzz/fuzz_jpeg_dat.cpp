// SPDX-License-Identifier: GPL-3.0-or-later
// jpeg.dat on any bytes: its lines and the extensions of its rows, each field taken apart.
#include "core/batch/shrink_file_list.h"

#include "fuzz_target.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    ShrinkFileList list;
    list.readExtensions(FuzzInput(data, size));
    Require(list.extensions.size() <= list.settingLines.size());
    for (const QByteArray &line : list.settingLines) {
        for (int field = 0; field <= 26; ++field)
            Require(GetField(field, line, QByteArrayLiteral("\",")).size() <= line.size());
    }
    return 0;
}
