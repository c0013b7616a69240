// SPDX-License-Identifier: GPL-3.0-or-later
// The reading options of every verb that reads a picture: --keep-orientation leaves a photo's
// pixels as stored instead of turning them upright by its EXIF orientation, --keep-colors leaves
// the numbers as stored instead of converting a picture with a colour profile to sRGB. And the
// shrink's --strip, which writes the outputs without the photos' metadata.
#pragma once

#include "core/batch/shrink.h"
#include "core/image/plugin_reading.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QImage>
#include <QList>

QCommandLineOption KeepOrientationOption();
QCommandLineOption KeepColorsOption();
// Both, for a verb's parser.
QList<QCommandLineOption> ReadingOptions();

// The orientation rule the verb's options ask for (the verb must have declared the option).
Orientation OrientationOf(const QCommandLineParser &parser);
// The colour rule: AsStored when --keep-colors was given (a verb without the option: ToSrgb).
Colours ColoursOf(const QCommandLineParser &parser);

// Reads a picture file of any kind the program takes, with those rules.
QImage ReadVerbPicture(const QCommandLineParser &parser, const QString &path);
// The same with what a JPEG output keeps of it (LoadedPicture::metadata).
LoadedPicture LoadVerbPicture(const QCommandLineParser &parser, const QString &path);

// The shrink's --strip, and what it asks of the outputs.
QCommandLineOption StripOption();
PhotoMetadata MetadataOf(const QCommandLineParser &parser);
