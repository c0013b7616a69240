// SPDX-License-Identifier: GPL-3.0-or-later
// What every verb shares: reading its words, its pairs of numbers, and printing paths as given.
#pragma once

#include "cli/cli.h"

#include <QCommandLineParser>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <cstdio>

// Paths in the text come out as the bytes they were given as, whether UTF-8 or not.
void Print(FILE *stream, const QString &text);

// Reads one verb's words with the parser that declares its options; returns the file arguments,
// which must be exactly `files` of them. No --help option is declared: a verb's --help is an
// unknown option, a usage error like any other.
// A cutting verb whose output --animate, --sheet or --atlas names (outputByOption) takes one file
// less.
QStringList ParseVerb(QCommandLineParser &parser, const QStringList &rest, int files,
                      bool outputByOption = false);
// ParseVerb in two steps, for a verb whose options decide how many files it takes: the words
// read (the file arguments returned, however many), then their number checked.
QStringList ParseVerbWords(QCommandLineParser &parser, const QStringList &rest);
void ExpectFiles(const QCommandLineParser &parser, const QStringList &positional, int files,
                 bool outputByOption = false);

// The whole number within [low, high] given to --name; throws UsageError saying the range
// otherwise.
int WholeNumberOption(const QCommandLineParser &parser, const QString &name, int low, int high);

// Two whole numbers from text matching ^pattern$ (its first two captures); throws UsageError
// naming `what` otherwise.
QPoint ParsePair(const QString &text, const QString &pattern, const char *what);

// The verbs, each given the words after its name.
ExitCode RunCut(const QStringList &rest);
ExitCode RunSequence(const QStringList &rest);
ExitCode RunBlend(const QStringList &rest);
ExitCode RunFade(const QStringList &rest);
ExitCode RunEdit(const QStringList &rest);
ExitCode RunShrink(const QStringList &rest);
ExitCode RunPage(const QStringList &rest);
ExitCode RunGrid(const QStringList &rest);
ExitCode RunPack(const QStringList &rest);
ExitCode RunFrames(const QStringList &rest);
