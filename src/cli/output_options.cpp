// SPDX-License-Identifier: GPL-3.0-or-later
// The output options of the cutting verbs.
#include "cli/output_options.h"

#include "cli/usage_error.h"

namespace {

const QString kFormat = QStringLiteral("format");
const QString kAnimate = QStringLiteral("animate");
const QString kDelay = QStringLiteral("delay");
const QString kPingPong = QStringLiteral("pingpong");
const QString kQuality = QStringLiteral("quality");
const QString kNoDither = QStringLiteral("no-dither");
const QString kSheet = QStringLiteral("sheet");
const QString kColumns = QStringLiteral("columns");
const QString kPadding = QStringLiteral("padding");

// A whole number within [low, high] given to --name.
int wholeNumber(const QCommandLineParser &parser, const QString &name, int low, int high)
{
    bool ok = false;
    const int value = parser.value(name).toInt(&ok);
    if (!ok || value < low || value > high)
        throw UsageError{
            QStringLiteral("--%1 needs a whole number from %2 to %3").arg(name).arg(low).arg(high)};
    return value;
}

// Options that only mean something beside `owner`.
void requireFor(const QCommandLineParser &parser, const QString &owner, const QStringList &names)
{
    if (parser.isSet(owner))
        return;
    for (const QString &name : names) {
        if (parser.isSet(name))
            throw UsageError{QStringLiteral("--%1 needs --%2").arg(name, owner)};
    }
}

AnimationOptions animationOptions(const QCommandLineParser &parser, const QString &path)
{
    AnimationOptions options;
    const std::optional<AnimationFormat> format = AnimationFormatOf(path);
    if (!format)
        throw UsageError{QStringLiteral("--animate needs a file ending in .gif or .webp")};
    options.format = *format;
    options.delayMs = wholeNumber(parser, kDelay, kMinFrameDelayMs, kMaxFrameDelayMs);
    options.pingPong = parser.isSet(kPingPong);
    options.dither = !parser.isSet(kNoDither);
    if (parser.isSet(kQuality)) {
        if (options.format != AnimationFormat::Webp)
            throw UsageError{QStringLiteral("--quality is for WebP")};
        options.quality = wholeNumber(parser, kQuality, 0, kMaxQuality);
    }
    if (parser.isSet(kNoDither) && options.format != AnimationFormat::Gif)
        throw UsageError{QStringLiteral("--no-dither is for GIF")};
    return options;
}

} // namespace

QList<QCommandLineOption> FrameOutputOptions()
{
    return {{kFormat, QString(), QStringLiteral("bmp|png"), QStringLiteral("bmp")},
            {kAnimate, QString(), QStringLiteral("OUT")},
            {kDelay, QString(), QStringLiteral("MS"), QString::number(kDefaultFrameDelayMs)},
            {kPingPong, QString()},
            {kQuality, QString(), QStringLiteral("Q")},
            {kNoDither, QString()},
            {kSheet, QString(), QStringLiteral("OUT")},
            {kColumns, QString(), QStringLiteral("N")},
            {kPadding, QString(), QStringLiteral("P"), QStringLiteral("0")}};
}

bool OutputNamedByOption(const QCommandLineParser &parser)
{
    return parser.isSet(kAnimate) || parser.isSet(kSheet);
}

FrameOutput ParseFrameOutput(const QCommandLineParser &parser, const QString &framesPath)
{
    requireFor(parser, kAnimate, {kDelay, kPingPong, kQuality, kNoDither});
    requireFor(parser, kSheet, {kColumns, kPadding});
    if (parser.isSet(kAnimate) && parser.isSet(kSheet))
        throw UsageError{QStringLiteral("--animate and --sheet cannot be used together")};
    if (OutputNamedByOption(parser) && parser.isSet(kFormat))
        throw UsageError{QStringLiteral("--format is for numbered frames")};

    FrameOutput output;
    if (parser.isSet(kAnimate)) {
        output.kind = OutputKind::Animation;
        output.path = parser.value(kAnimate);
        output.animation = animationOptions(parser, output.path);
        return output;
    }
    if (parser.isSet(kSheet)) {
        if (!parser.isSet(kColumns))
            throw UsageError{QStringLiteral("--sheet needs --columns N")};
        output.kind = OutputKind::Sheet;
        output.path = parser.value(kSheet);
        output.sheet.columns = wholeNumber(parser, kColumns, 1, 65535);
        output.sheet.padding = wholeNumber(parser, kPadding, 0, kMaxSheetPadding);
        return output;
    }
    const QString format = parser.value(kFormat);
    if (format == QLatin1String("png"))
        output.format = FrameFormat::Png;
    else if (format != QLatin1String("bmp"))
        throw UsageError{QStringLiteral("bad format '%1'").arg(format)};
    output.path = framesPath;
    return output;
}
