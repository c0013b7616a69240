// SPDX-License-Identifier: GPL-3.0-or-later
// The whole reading of a picture file by content, as the commands, the import dialog and the
// portal capture read one: only the kinds the program reads are decoded, whatever else Qt's
// plugins could read; colours converted or kept; a JPEG's metadata made fit for a copy, which a
// save must then be able to write.
#include "core/base/io_error.h"
#include "core/image/jpeg_codec.h"
#include "core/image/picture.h"
#include "core/image/plugin_reading.h"

#include "fuzz_target.h"

#include <QColorSpace>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    // The first byte chooses the name (whose extension tells the kind of bytes without a
    // signature) and how the picture is read.
    static const char *const kNames[] = {"fuzz",     "fuzz.bmp",  "fuzz.jpg", "fuzz.png",
                                         "fuzz.gif", "fuzz.webp", "fuzz.tif", "fuzz.tga"};
    const uint8_t choice = data[0];
    const QByteArray bytes = FuzzInput(data + 1, size - 1);
    ReadingChoices choices;
    choices.orientation = choice & 0x08 ? Orientation::AsStored : Orientation::Upright;
    choices.colours = choice & 0x10 ? Colours::AsStored : Colours::ToSrgb;
    LoadedPicture loaded;
    try {
        loaded = LoadPicture(bytes, QString::fromLatin1(kNames[choice % 8]), choices);
    } catch (const Failure &) {
        return 0;
    }
    Require(!loaded.picture.isNull() && !loaded.picture.colorSpace().isValid());
    UsePixels(loaded.picture);
    // An animation: every frame whole, of the picture's size and format, with its delay; the
    // picture its first frame.
    Require(loaded.frames.size() == loaded.delaysMs.size() && loaded.frames.size() != 1);
    Require(loaded.frames.empty() ||
            loaded.frames.front().constBits() == loaded.picture.constBits());
    for (const QImage &frame : loaded.frames) {
        Require(frame.size() == loaded.picture.size() &&
                frame.format() == loaded.picture.format() && !frame.colorSpace().isValid());
        UsePixels(frame);
    }
    // The save of the edit verb and of the window: whatever metadata the photo held, a copy of it
    // can be written.
    try {
        const QByteArray jpeg = EncodeJpeg(Corner(loaded.picture), kJpegQuality, loaded.metadata);
        Require(ReadJpegMetadata(jpeg).icc == loaded.metadata.icc);
    } catch (const Failure &) {
        Require(false);
    }
    return 0;
}
