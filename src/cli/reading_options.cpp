// SPDX-License-Identifier: GPL-3.0-or-later
// The reading options of the verbs.
#include "cli/reading_options.h"

namespace {

const QString kKeepOrientation = QStringLiteral("keep-orientation");
const QString kKeepColors = QStringLiteral("keep-colors");
const QString kStrip = QStringLiteral("strip");

// Whether the option was given. optionNames() lists only what the words held, so asking for an
// option the verb did not declare is no mistake (isSet() would complain on standard error).
bool given(const QCommandLineParser &parser, const QString &name)
{
    return parser.optionNames().contains(name);
}

} // namespace

QCommandLineOption KeepOrientationOption()
{
    return QCommandLineOption(kKeepOrientation);
}

QCommandLineOption KeepColorsOption()
{
    return QCommandLineOption(kKeepColors);
}

QList<QCommandLineOption> ReadingOptions()
{
    return {KeepOrientationOption(), KeepColorsOption()};
}

Orientation OrientationOf(const QCommandLineParser &parser)
{
    return given(parser, kKeepOrientation) ? Orientation::AsStored : Orientation::Upright;
}

Colours ColoursOf(const QCommandLineParser &parser)
{
    return given(parser, kKeepColors) ? Colours::AsStored : Colours::ToSrgb;
}

LoadedPicture LoadVerbPicture(const QCommandLineParser &parser, const QString &path)
{
    return ReadPicture(path, {OrientationOf(parser), ColoursOf(parser), nullptr});
}

QImage ReadVerbPicture(const QCommandLineParser &parser, const QString &path)
{
    return LoadVerbPicture(parser, path).picture;
}

QCommandLineOption StripOption()
{
    return QCommandLineOption(kStrip);
}

PhotoMetadata MetadataOf(const QCommandLineParser &parser)
{
    return given(parser, kStrip) ? PhotoMetadata::Strip : PhotoMetadata::Keep;
}
