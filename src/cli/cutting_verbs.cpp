// SPDX-License-Identifier: GPL-3.0-or-later
// The verbs that cut: cut, sequence, blend and fade. Each puts the picture in a document and the
// frame on it as the window does, fills in a cut job, and writes MakeFrameRun's frames (sequence
// --direction auto finds the sprites on the whole picture instead).
#include "cli/output_options.h"
#include "cli/reading_options.h"
#include "cli/sprite_options.h"
#include "cli/usage_error.h"
#include "cli/verb_parsing.h"

#include "core/base/io_error.h"
#include "core/sequence/frame_runs.h"
#include "core/sequence/output_refusal.h"
#include "core/workspace/picture_document.h"

#include <QCommandLineOption>
#include <QCoreApplication>
#include <map>
#include <memory>
#include <optional>
#include <tuple>
#include <utility>

namespace {

// The options of every verb that cuts: the cut size and the frame's top-left corner. A value is
// taken as the next word whatever it starts with, so --at -5,3 reads as a position.
QList<QCommandLineOption> frameOptions()
{
    return QList<QCommandLineOption>{
               {QStringLiteral("size"), QString(), QStringLiteral("WxH")},
               {QStringLiteral("at"), QString(), QStringLiteral("X,Y"), QStringLiteral("0,0")}} +
           ReadingOptions();
}

// The picture of a cutting verb and the frame on it, as the window would have them: the cut
// lowered to the picture, the frame at --at kept inside it.
struct Cutting {
    PictureDocument document;
    CutFrame frame;
};

std::unique_ptr<Cutting> cutting(const QString &picture, const QCommandLineParser &parser)
{
    if (!parser.isSet(QStringLiteral("size")))
        throw UsageError{QStringLiteral("--size WxH is required")};
    const QPoint wh =
        ParsePair(parser.value(QStringLiteral("size")), QStringLiteral("(\\d+)[xX](\\d+)"), "size");
    if (wh.x() < 1 || wh.y() < 1)
        throw UsageError{QStringLiteral("the size must be at least 1x1")};
    const QPoint at = ParsePair(parser.value(QStringLiteral("at")),
                                QStringLiteral("(-?\\d+),(-?\\d+)"), "position");
    auto cut = std::make_unique<Cutting>();
    cut->frame = CutFrame(QSize(wh.x(), wh.y()));
    cut->document.load(LoadVerbPicture(parser, picture), cut->frame, picture);
    cut->frame.moveTo(at);
    return cut;
}

// The output the options ask for: the one file or the numbered files (OUT or BASE, the last file
// argument), an animation, a sheet or an atlas. Refused before the picture is read when its names
// would destroy a file the verb reads, or name nothing.
FrameOutput frameOutput(const QCommandLineParser &parser, const QStringList &files, CutKind kind)
{
    const QString named = OutputNamedByOption(parser) ? QString() : files.last();
    // OUT.gif and OUT.webp are animations: of an animated picture, the cut of every frame.
    FrameFormat format = FrameFormat::Bmp;
    if (const std::optional<AnimationFormat> animation = AnimationFormatOf(named);
        kind == CutKind::Single && animation)
        format = FrameFormatOf(*animation);
    FrameOutput output = ParseFrameOutput(parser, named, format);
    if (kind == CutKind::Single && output.kind == OutputKind::NumberedFiles) // OUT as given
        output.kind = OutputKind::OneFile;
    RefuseOutput(OutputNameRefusal(output, 1, InputFiles(parser, files)));
    return output;
}

// The verb's frames written to job.output. The run's count gives every numbered name and the
// size of an animation or a sheet: both are checked before anything is written.
void writeFrames(const QCommandLineParser &parser, const QStringList &files, const CutJob &job,
                 const Cutting &cut)
{
    const std::unique_ptr<FrameRun> run = MakeFrameRun(cut.document, cut.frame, job);
    // Only a grid of single-colour tiles, or a picture without sprites, writes nothing.
    if (run->count() == 0 && job.kind == CutKind::Auto)
        throw Failure(NoSpritesText());
    if (run->count() == 0)
        throw Failure(QCoreApplication::translate(
            "CommandLine", "書き出すタイルがありません (どのタイルも単色です)"));
    RefuseOutput(OutputRefusal(job.output, *run, InputFiles(parser, files)));
    if (const QString warning = FastGifWarning(*run, job.output); !warning.isEmpty())
        Print(stderr, QStringLiteral("mokaran: %1\n").arg(warning));
    WriteFrameOutput(*run, job.output);
}

// The kind of a sequence and its direction: along a direction, on the grid, or the sprites
// found.
std::pair<CutKind, Direction> parseDirection(const QString &text)
{
    static const std::map<QString, std::pair<CutKind, Direction>> kDirections = {
        {QStringLiteral("right"), {CutKind::Continuous, Direction::Right}},
        {QStringLiteral("left"), {CutKind::Continuous, Direction::Left}},
        {QStringLiteral("down"), {CutKind::Continuous, Direction::Down}},
        {QStringLiteral("up"), {CutKind::Continuous, Direction::Up}},
        {QStringLiteral("grid"), {CutKind::Grid, Direction::Right}},
        {QStringLiteral("auto"), {CutKind::Auto, Direction::Right}}};
    const auto found = kDirections.find(text);
    if (found == kDirections.end())
        throw UsageError{QStringLiteral("bad direction '%1'").arg(text)};
    return found->second;
}

// sequence --direction auto: the sprites found on the whole picture, listed (--list, which takes
// PICTURE alone and writes nothing) or written as any output. The frame's options place nothing
// here, and are refused rather than ignored.
ExitCode findSprites(const QCommandLineParser &parser, const QStringList &files, CutJob job)
{
    const bool list = parser.isSet(QStringLiteral("list"));
    ExpectFiles(parser, files, list ? 1 : 2, !list);
    for (const char *option : {"size", "at", "step", "gap", "skip-empty"})
        if (parser.isSet(QLatin1String(option)))
            throw UsageError{QStringLiteral("--%1 does not go with --direction auto").arg(option)};
    if (list)
        for (const QCommandLineOption &option : FrameOutputOptions())
            if (parser.isSet(option.names().front()))
                throw UsageError{QStringLiteral("--list writes nothing: --%1 does not go with it")
                                     .arg(option.names().front())};
    if (!list)
        job.output = frameOutput(parser, files, job.kind);
    Cutting cut;
    cut.frame = CutFrame(QSize(1, 1));
    cut.document.load(LoadVerbPicture(parser, files[0]), cut.frame, files[0]);
    job.sprites = ParseSpriteSearch(parser, cut.document.picture(), files[0]);
    if (list) {
        Print(stdout, BoxListText(FindSprites(cut.document.picture(), job.sprites)));
        return ExitCode::Done;
    }
    writeFrames(parser, files, job, cut);
    return ExitCode::Done;
}

// The grid's options of the sequence verb, refused with any other direction (and --step with
// the grid, whose tiles step by the cut and the gap).
void setGridOptions(const QCommandLineParser &parser, CutJob &job)
{
    const bool grid = job.kind == CutKind::Grid;
    for (const char *option : {"gap", "skip-empty"})
        if (!grid && parser.isSet(QLatin1String(option)))
            throw UsageError{QStringLiteral("--%1 needs --direction grid").arg(option)};
    if (!grid)
        return;
    if (parser.isSet(QStringLiteral("step")))
        throw UsageError{QStringLiteral("--step does not go with --direction grid")};
    const QPoint gap =
        ParsePair(parser.value(QStringLiteral("gap")), QStringLiteral("(\\d+),(\\d+)"), "gap");
    job.gridGap = QSize(gap.x(), gap.y());
    job.skipEmptyTiles = parser.isSet(QStringLiteral("skip-empty"));
}

} // namespace

ExitCode RunCut(const QStringList &rest)
{
    QCommandLineParser parser;
    parser.addOptions(frameOptions());
    parser.addOptions(FrameOutputOptions());
    const QStringList files = ParseVerb(parser, rest, 2, true);
    CutJob job;
    job.output = frameOutput(parser, files, job.kind);
    writeFrames(parser, files, job, *cutting(files[0], parser));
    return ExitCode::Done;
}

ExitCode RunSequence(const QStringList &rest)
{
    QCommandLineParser parser;
    parser.addOptions(frameOptions());
    parser.addOptions(
        {{QStringLiteral("step"), QString(), QStringLiteral("N|cut"),
          QString::number(kDefaultFrameStep)},
         {QStringLiteral("direction"), QString(), QStringLiteral("DIRECTION"),
          QStringLiteral("right")},
         {QStringLiteral("gap"), QString(), QStringLiteral("GX,GY"), QStringLiteral("0,0")},
         {QStringLiteral("skip-empty"), QString()},
         {QStringLiteral("list"), QString()}});
    parser.addOptions(SpriteSearchOptions());
    parser.addOptions(FrameOutputOptions());
    const QStringList files = ParseVerbWords(parser, rest);
    CutJob job;
    std::tie(job.kind, job.direction) = parseDirection(parser.value(QStringLiteral("direction")));
    if (job.kind == CutKind::Auto)
        return findSprites(parser, files, job);
    ExpectFiles(parser, files, 2, true);
    for (const QString &option : SpriteSearchOptionNames() + QStringList{QStringLiteral("list")})
        if (parser.isSet(option))
            throw UsageError{QStringLiteral("--%1 needs --direction auto").arg(option)};
    setGridOptions(parser, job);
    const QString step = parser.value(QStringLiteral("step"));
    if (step == QLatin1String("cut")) {
        job.step.reset(); // the cut's own width or height along the direction
    } else {
        bool ok = true;
        job.step = step.toInt(&ok);
        if (!ok || *job.step < 1)
            throw UsageError{QStringLiteral("bad step '%1'").arg(step)};
    }
    job.output = frameOutput(parser, files, job.kind);
    writeFrames(parser, files, job, *cutting(files[0], parser));
    return ExitCode::Done;
}

ExitCode RunBlend(const QStringList &rest)
{
    QCommandLineParser parser;
    parser.addOptions(frameOptions());
    parser.addOption({QStringLiteral("white-transparent"), QString()});
    parser.addOptions(FrameOutputOptions());
    const QStringList files = ParseVerb(parser, rest, 3, true);
    CutJob job;
    job.kind = CutKind::Blend;
    job.output = frameOutput(parser, files, job.kind);
    const std::unique_ptr<Cutting> cut = cutting(files[0], parser);
    cut->document.setBlendPicture(ReadVerbPicture(parser, files[1]), files[1]);
    job.whiteTransparent = parser.isSet(QStringLiteral("white-transparent"));
    writeFrames(parser, files, job, *cut);
    return ExitCode::Done;
}

ExitCode RunFade(const QStringList &rest)
{
    QCommandLineParser parser;
    parser.addOptions(frameOptions());
    parser.addOption(
        {QStringLiteral("color"), QString(), QStringLiteral("COLOR"), QStringLiteral("white")});
    parser.addOptions(FrameOutputOptions());
    const QStringList files = ParseVerb(parser, rest, 2, true);
    const QString color = parser.value(QStringLiteral("color"));
    if (color != QLatin1String("white") && color != QLatin1String("black"))
        throw UsageError{QStringLiteral("bad color '%1'").arg(color)};
    CutJob job;
    job.kind = CutKind::Fade;
    job.fadeColour = color == QLatin1String("white") ? FadeColour::White : FadeColour::Black;
    job.output = frameOutput(parser, files, job.kind);
    writeFrames(parser, files, job, *cutting(files[0], parser));
    return ExitCode::Done;
}

ExitCode RunFrames(const QStringList &rest)
{
    QCommandLineParser parser;
    parser.addOptions(ReadingOptions());
    parser.addOptions(FrameOutputOptions());
    const QStringList files = ParseVerb(parser, rest, 2, true);
    CutJob job;
    // Frames are written as they are, transparency and all: PNG unless asked otherwise.
    job.output = ParseFrameOutput(parser, OutputNamedByOption(parser) ? QString() : files.last(),
                                  FrameFormat::Png);
    RefuseOutput(OutputNameRefusal(job.output, 1, InputFiles(parser, files)));
    Cutting cut;
    cut.document.load(LoadVerbPicture(parser, files[0]), cut.frame, files[0]);
    cut.frame = CutFrame(cut.document.size(), cut.document.size()); // the whole of every frame
    writeFrames(parser, files, job, cut);
    return ExitCode::Done;
}
