// SPDX-License-Identifier: GPL-3.0-or-later
// The reading option of every verb that reads a picture: --keep-orientation leaves a photo's
// pixels as stored instead of turning them upright by its EXIF orientation.
#pragma once

#include "core/image/exif_orientation.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QImage>

QCommandLineOption KeepOrientationOption();

// The orientation rule the verb's options ask for (the verb must have declared the option).
Orientation OrientationOf(const QCommandLineParser &parser);

// Reads a picture file of any kind the program takes, with that rule.
QImage ReadVerbPicture(const QCommandLineParser &parser, const QString &path);
