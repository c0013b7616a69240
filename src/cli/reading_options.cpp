// SPDX-License-Identifier: GPL-3.0-or-later
// The reading option of the verbs.
#include "cli/reading_options.h"

#include "core/image/plugin_reading.h"

namespace {

const QString kKeepOrientation = QStringLiteral("keep-orientation");

} // namespace

QCommandLineOption KeepOrientationOption()
{
    return QCommandLineOption(kKeepOrientation);
}

Orientation OrientationOf(const QCommandLineParser &parser)
{
    return parser.isSet(kKeepOrientation) ? Orientation::AsStored : Orientation::Upright;
}

QImage ReadVerbPicture(const QCommandLineParser &parser, const QString &path)
{
    return ReadPictureFile(path, OrientationOf(parser));
}
