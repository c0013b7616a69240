// SPDX-License-Identifier: GPL-3.0-or-later
// What every verb shares.
#include "cli/verb_parsing.h"

#include "cli/output_options.h"
#include "cli/usage_error.h"

#include "core/base/file_names.h"

#include <QRegularExpression>

namespace {

// The parser names an unknown option without its dashes; put them back, two before a name and one
// before a single letter, so the message names the word on the command line.
QString parseFailure(const QCommandLineParser &parser)
{
    const QStringList unknown = parser.unknownOptionNames();
    if (unknown.isEmpty())
        return parser.errorText(); // a value missing after the last option, or given to a flag
    const QString &name = unknown.front();
    return QStringLiteral("unknown option '%1%2'")
        .arg(name.size() == 1 ? QLatin1String("-") : QLatin1String("--"), name);
}

} // namespace

void Print(FILE *stream, const QString &text)
{
    std::fputs(EncodePath(text).constData(), stream);
}

QStringList ParseVerbWords(QCommandLineParser &parser, const QStringList &rest)
{
    // parse() skips its first word as the program name.
    if (!parser.parse(QStringList{QStringLiteral("mokaran")} + rest))
        throw UsageError{parseFailure(parser)};
    return parser.positionalArguments();
}

void ExpectFiles(const QCommandLineParser &parser, const QStringList &positional, int files,
                 bool outputByOption)
{
    if (outputByOption && OutputNamedByOption(parser))
        --files;
    if (positional.size() != files)
        throw UsageError{QStringLiteral("expected %1 file arguments").arg(files)};
}

QStringList ParseVerb(QCommandLineParser &parser, const QStringList &rest, int files,
                      bool outputByOption)
{
    const QStringList positional = ParseVerbWords(parser, rest);
    ExpectFiles(parser, positional, files, outputByOption);
    return positional;
}

int WholeNumberOption(const QCommandLineParser &parser, const QString &name, int low, int high)
{
    bool ok = false;
    const int value = parser.value(name).toInt(&ok);
    if (!ok || value < low || value > high)
        throw UsageError{
            QStringLiteral("--%1 needs a whole number from %2 to %3").arg(name).arg(low).arg(high)};
    return value;
}

QPoint ParsePair(const QString &text, const QString &pattern, const char *what)
{
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("^") + pattern + QStringLiteral("$")).match(text);
    if (!m.hasMatch())
        throw UsageError{QStringLiteral("bad %1 '%2'").arg(QLatin1String(what), text)};
    bool okX = false, okY = false;
    const QPoint p(m.captured(1).toInt(&okX), m.captured(2).toInt(&okY));
    if (!okX || !okY)
        throw UsageError{QStringLiteral("bad %1 '%2'").arg(QLatin1String(what), text)};
    return p;
}
