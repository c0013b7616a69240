// SPDX-License-Identifier: GPL-3.0-or-later
// The page maker's project file on any bytes: read it, and what can be written again reads back
// as the same project; the page of it is made too.
#include "core/base/io_error.h"
#include "core/base/text_codec.h"
#include "core/page/page.h"

#include "fuzz_target.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const PageProject project = ParseProject(FuzzInput(data, size));
    try {
        const QByteArray written = EncodeProject(project);
        // Written in CP932. Bytes that are valid UTF-8 as well (a few kanji can be) are read as
        // UTF-8, as files from Linux editors must be: only the others must come back unchanged.
        if (DetectEncoding(written) == TextEncoding::Cp932)
            Require(ParseProject(written).texts == project.texts);
    } catch (const Failure &) { // a text that CP932 cannot hold, or a line break inside a field
    }
    try {
        EncodePage(project, PageOmissions{});
    } catch (const Failure &) {
    }
    return 0;
}
