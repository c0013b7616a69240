// SPDX-License-Identifier: GPL-3.0-or-later
// The output options of the cutting verbs and of pack.
#include "cli/output_options.h"

#include "cli/usage_error.h"
#include "cli/verb_parsing.h"

#include <QRegularExpression>

#include <optional>

namespace {

const QString kFormat = QStringLiteral("format");
const QString kAnimate = QStringLiteral("animate");
const QString kDelay = QStringLiteral("delay");
const QString kPingPong = QStringLiteral("pingpong");
const QString kSpeed = QStringLiteral("speed");
const QString kReverse = QStringLiteral("reverse");
const QString kQuality = QStringLiteral("quality");
const QString kNoDither = QStringLiteral("no-dither");
const QString kMixed = QStringLiteral("mixed");
const QString kSheet = QStringLiteral("sheet");
const QString kColumns = QStringLiteral("columns");
const QString kPadding = QStringLiteral("padding");
const QString kAtlas = QStringLiteral("atlas");
const QString kTrim = QStringLiteral("trim");
const QString kBorder = QStringLiteral("border");
const QString kExtrude = QStringLiteral("extrude");
const QString kPowerOfTwo = QStringLiteral("power-of-two");
const QString kMaxSize = QStringLiteral("max-size");
const QString kKeepDuplicates = QStringLiteral("keep-duplicates");
const QString kJson = QStringLiteral("json");

// --max-size follows the output: an atlas's largest side in pixels, a GIF's largest file in bytes.
const QString kMaxSizeMeaning =
    QStringLiteral("--max-size is for --atlas (its largest side in pixels) or --animate FILE.gif "
                   "(its largest file size in bytes, or with k or m: 500k, 2m)");

// A GIF's largest file given to --max-size: bytes, or thousands (k) or millions (m) of them. A
// thousand rather than 1024, so that a limit read either way holds.
qint64 fileSize(const QCommandLineParser &parser)
{
    const QString text = parser.value(kMaxSize);
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("^(\\d{1,12})([kKmM]?)$")).match(text);
    const QString suffix = m.captured(2).toLower();
    const qint64 unit = suffix == u"k" ? 1000 : suffix == u"m" ? 1000000 : 1;
    const qint64 bytes = m.hasMatch() ? m.captured(1).toLongLong() * unit : 0;
    if (bytes < 1)
        throw UsageError{
            QStringLiteral("bad --max-size '%1' for a GIF (bytes, or with k or m: 500k, 2m)")
                .arg(text)};
    return bytes;
}

// Options that only mean something beside one of `owners`.
void requireFor(const QCommandLineParser &parser, const QStringList &owners,
                const QStringList &names)
{
    for (const QString &owner : owners)
        if (parser.isSet(owner))
            return;
    for (const QString &name : names) {
        if (parser.isSet(name))
            throw UsageError{QStringLiteral("--%1 needs --%2").arg(name, owners.join(" or --"))};
    }
}

// The timing of whatever plays or tells durations: --delay replacing the frames' own delays,
// --speed dividing them, --pingpong and --reverse ordering them.
void parseTiming(const QCommandLineParser &parser, AnimationOptions &options)
{
    options.delayMs = WholeNumberOption(parser, kDelay, kMinFrameDelayMs, kMaxFrameDelayMs);
    options.replaceDelays = parser.isSet(kDelay);
    options.pingPong = parser.isSet(kPingPong);
    options.reverse = parser.isSet(kReverse);
    if (parser.isSet(kSpeed)) {
        bool ok = false;
        options.speed = parser.value(kSpeed).toDouble(&ok);
        if (!ok || !(options.speed >= kMinSpeed && options.speed <= kMaxSpeed))
            throw UsageError{QStringLiteral("bad --speed '%1' (%2 to %3: 2 plays twice as fast)")
                                 .arg(parser.value(kSpeed))
                                 .arg(kMinSpeed)
                                 .arg(kMaxSpeed)};
    }
}

AnimationOptions animationOptions(const QCommandLineParser &parser, AnimationFormat format)
{
    AnimationOptions options;
    options.format = format;
    parseTiming(parser, options);
    options.dither = !parser.isSet(kNoDither);
    if (parser.isSet(kQuality)) {
        if (options.format != AnimationFormat::Webp)
            throw UsageError{QStringLiteral("--quality is for WebP")};
        options.quality = WholeNumberOption(parser, kQuality, 0, kMaxQuality);
    }
    if (parser.isSet(kNoDither) && options.format != AnimationFormat::Gif)
        throw UsageError{QStringLiteral("--no-dither is for GIF")};
    if (parser.isSet(kMixed)) {
        if (options.format != AnimationFormat::Webp)
            throw UsageError{QStringLiteral("--mixed is for WebP")};
        options.mixed = true;
    }
    if (parser.isSet(kMaxSize)) {
        if (options.format != AnimationFormat::Gif)
            throw UsageError{kMaxSizeMeaning};
        options.maxBytes = fileSize(parser);
    }
    return options;
}

AnimationOptions animationOptions(const QCommandLineParser &parser, const QString &path)
{
    const std::optional<AnimationFormat> format = AnimationFormatOf(path);
    if (!format)
        throw UsageError{QStringLiteral("--animate needs a file ending in .gif or .webp")};
    return animationOptions(parser, *format);
}

// The format --format names, or fallback when it is not given.
FrameFormat frameFormat(const QCommandLineParser &parser, FrameFormat fallback)
{
    if (!parser.isSet(kFormat))
        return fallback;
    static const std::pair<const char *, FrameFormat> kFormats[] = {{"bmp", FrameFormat::Bmp},
                                                                    {"png", FrameFormat::Png},
                                                                    {"gif", FrameFormat::Gif},
                                                                    {"webp", FrameFormat::Webp}};
    const QString format = parser.value(kFormat);
    for (const auto &[name, value] : kFormats)
        if (format == QLatin1String(name))
            return value;
    throw UsageError{QStringLiteral("bad format '%1'").arg(format)};
}

// What a sheet and an atlas share: a PNG file, the JSON's layout and the timing it tells.
FrameOutput pictureWithData(const QCommandLineParser &parser, OutputKind kind, const QString &name)
{
    FrameOutput output;
    output.kind = kind;
    output.path = parser.value(name);
    if (!IsPngName(output.path))
        throw UsageError{QStringLiteral("--%1 needs a file ending in .png").arg(name)};
    const QString json = parser.value(kJson);
    if (json != QLatin1String("hash") && json != QLatin1String("array"))
        throw UsageError{QStringLiteral("bad JSON layout '%1'").arg(json)};
    output.json = json == QLatin1String("array") ? JsonLayout::Array : JsonLayout::Hash;
    parseTiming(parser, output.animation);
    return output;
}

FrameOutput atlasOutput(const QCommandLineParser &parser)
{
    FrameOutput output = pictureWithData(parser, OutputKind::Atlas, kAtlas);
    AtlasOptions &atlas = output.atlas;
    atlas.trim = parser.isSet(kTrim);
    atlas.padding = WholeNumberOption(parser, kPadding, 0, kMaxAtlasSpacing);
    atlas.border = WholeNumberOption(parser, kBorder, 0, kMaxAtlasSpacing);
    atlas.extrude = WholeNumberOption(parser, kExtrude, 0, kMaxAtlasSpacing);
    atlas.powerOfTwo = parser.isSet(kPowerOfTwo);
    atlas.maxSize = WholeNumberOption(parser, kMaxSize, 1, kMaxAtlasSize);
    atlas.keepDuplicates = parser.isSet(kKeepDuplicates);
    return output;
}

QList<QCommandLineOption> atlasOptions()
{
    return {{kAtlas, QString(), QStringLiteral("OUT")},
            {kTrim, QString()},
            {kBorder, QString(), QStringLiteral("B"), QStringLiteral("0")},
            {kExtrude, QString(), QStringLiteral("E"), QStringLiteral("0")},
            {kPowerOfTwo, QString()},
            {kMaxSize, QString(), QStringLiteral("N"), QString::number(kDefaultAtlasMaxSize)},
            {kKeepDuplicates, QString()},
            {kJson, QString(), QStringLiteral("hash|array"), QStringLiteral("hash")},
            {kPadding, QString(), QStringLiteral("P"), QStringLiteral("0")},
            {kDelay, QString(), QStringLiteral("MS"), QString::number(kDefaultFrameDelayMs)},
            {kPingPong, QString()},
            {kSpeed, QString(), QStringLiteral("F")},
            {kReverse, QString()}};
}

// --max-size is not among them: it has a meaning of its own with --animate FILE.gif.
const QStringList kAtlasSettings{kTrim, kBorder, kExtrude, kPowerOfTwo, kKeepDuplicates};

} // namespace

QList<QCommandLineOption> FrameOutputOptions()
{
    return QList<QCommandLineOption>{
               {kFormat, QString(), QStringLiteral("bmp|png|gif|webp"), QStringLiteral("bmp")},
               {kAnimate, QString(), QStringLiteral("OUT")},
               {kQuality, QString(), QStringLiteral("Q")},
               {kNoDither, QString()},
               {kMixed, QString()},
               {kSheet, QString(), QStringLiteral("OUT")},
               {kColumns, QString(), QStringLiteral("N")}} +
           atlasOptions();
}

bool OutputNamedByOption(const QCommandLineParser &parser)
{
    return parser.isSet(kAnimate) || parser.isSet(kSheet) || parser.isSet(kAtlas);
}

FrameOutput ParseFrameOutput(const QCommandLineParser &parser, const QString &framesPath,
                             FrameFormat fallbackFormat)
{
    if (int(parser.isSet(kAnimate)) + int(parser.isSet(kSheet)) + int(parser.isSet(kAtlas)) > 1)
        throw UsageError{QStringLiteral("--animate, --sheet and --atlas cannot be used together")};
    if (OutputNamedByOption(parser) && parser.isSet(kFormat))
        throw UsageError{QStringLiteral("--format is for numbered frames")};
    const FrameFormat format = frameFormat(parser, fallbackFormat);
    // Numbered GIF or WebP files are animations, and take an animation's settings.
    const bool animatedFiles =
        !OutputNamedByOption(parser) && AnimationFormatOf(format).has_value();
    if (!animatedFiles) {
        requireFor(parser, {kAnimate}, {kQuality, kNoDither, kMixed});
        requireFor(parser, {kAnimate, kSheet, kAtlas}, {kDelay, kPingPong, kSpeed});
    }
    requireFor(parser, {kSheet}, {kColumns});
    requireFor(parser, {kSheet, kAtlas}, {kPadding, kJson});
    requireFor(parser, {kAtlas}, kAtlasSettings);
    if (parser.isSet(kMaxSize) && !parser.isSet(kAnimate) && !parser.isSet(kAtlas) &&
        format != FrameFormat::Gif)
        throw UsageError{kMaxSizeMeaning};

    if (parser.isSet(kAnimate)) {
        FrameOutput output;
        output.kind = OutputKind::Animation;
        output.path = parser.value(kAnimate);
        output.animation = animationOptions(parser, output.path);
        return output;
    }
    if (parser.isSet(kSheet)) {
        if (!parser.isSet(kColumns))
            throw UsageError{QStringLiteral("--sheet needs --columns N")};
        FrameOutput output = pictureWithData(parser, OutputKind::Sheet, kSheet);
        output.sheet.columns = WholeNumberOption(parser, kColumns, 1, 65535);
        output.sheet.padding = WholeNumberOption(parser, kPadding, 0, kMaxSheetPadding);
        return output;
    }
    if (parser.isSet(kAtlas))
        return atlasOutput(parser);
    FrameOutput output;
    output.format = format;
    output.path = framesPath;
    if (animatedFiles)
        output.animation = animationOptions(parser, *AnimationFormatOf(format));
    else
        output.animation.reverse = parser.isSet(kReverse);
    return output;
}

QList<QCommandLineOption> AtlasOutputOptions()
{
    return atlasOptions();
}

FrameOutput ParseAtlasOutput(const QCommandLineParser &parser)
{
    if (!parser.isSet(kAtlas))
        throw UsageError{QStringLiteral("--atlas FILE.png is required")};
    return atlasOutput(parser);
}

void RefuseOutput(const QString &refusal)
{
    if (!refusal.isEmpty())
        throw UsageError{refusal};
}

QStringList InputFiles(const QCommandLineParser &parser, const QStringList &files)
{
    return OutputNamedByOption(parser) ? files : files.first(files.size() - 1);
}
