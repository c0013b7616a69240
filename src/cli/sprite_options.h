// SPDX-License-Identifier: GPL-3.0-or-later
// The options that tell sprites from their background (sequence --direction auto, grid):
//
//   --background transparent|corner|#RRGGBB   transparent for a picture with transparency,
//                                              else corner (the colour the corners share)
//   --tolerance T                              0 to 255; default 24 for a JPEG, else 0
//   --merge D, --min-area N                    finding only: boxes closer than D join (0),
//                                              boxes under N pixels of area are dropped (4)
#pragma once

#include "core/sequence/sprite_finding.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QImage>
#include <QList>
#include <QStringList>

QList<QCommandLineOption> BackgroundOptions();
QList<QCommandLineOption> SpriteSearchOptions(); // BackgroundOptions, --merge and --min-area

// The names of SpriteSearchOptions, which mean nothing without --direction auto.
QStringList SpriteSearchOptionNames();

// The background the options ask for, the picture's own (DefaultBackground, by the kind of the
// file at path) for what they leave out. Throws UsageError for a wrong value.
SpriteBackground ParseBackground(const QCommandLineParser &parser, const QImage &picture,
                                 const QString &path);
SpriteSearch ParseSpriteSearch(const QCommandLineParser &parser, const QImage &picture,
                               const QString &path);

// The boxes as --list prints them: [{"x":0,"y":0,"w":8,"h":8}, ...] and a line end.
QString BoxListText(const std::vector<QRect> &boxes);
