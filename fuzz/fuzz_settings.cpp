// set.ini on any bytes: read it, write a record into it, and read back exactly that record.
#include "core/workspace/settings.h"

#include "fuzz_target.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray text = FuzzInput(data, size);
    SettingsRecord record = ParseSettings(text);
    record.PosX ^= 0x5a5a;
    record.ImageHeight = -record.ImageHeight - 1;
    const QByteArray written = UpdateSettings(text, record);
    Require(ParseSettings(written) == record);
    Require(UpdateSettings(written, record) == written);
    return 0;
}
