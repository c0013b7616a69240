// SPDX-License-Identifier: GPL-3.0-or-later
// The verbs that cut: cut, sequence, blend and fade. Each puts the picture in a document and the
// frame on it as the window does, fills in a cut job, and writes MakeFrameRun's frames.
#include "cli/output_options.h"
#include "cli/reading_options.h"
#include "cli/usage_error.h"
#include "cli/verb_parsing.h"

#include "core/base/io_error.h"
#include "core/sequence/frame_runs.h"
#include "core/workspace/picture_document.h"

#include <QCommandLineOption>
#include <QCoreApplication>
#include <map>
#include <memory>
#include <optional>

namespace {

// The options of every verb that cuts: the cut size and the frame's top-left corner. A value is
// taken as the next word whatever it starts with, so --at -5,3 reads as a position.
QList<QCommandLineOption> frameOptions()
{
    return {{QStringLiteral("size"), QString(), QStringLiteral("WxH")},
            {QStringLiteral("at"), QString(), QStringLiteral("X,Y"), QStringLiteral("0,0")},
            KeepOrientationOption()};
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
    cut->document.load(ReadVerbPicture(parser, picture), cut->frame);
    cut->frame.moveTo(at);
    return cut;
}

// The verb's frames written as the output options ask: the one file or the numbered files (OUT or
// BASE, the last file argument), an animation or a sheet.
void writeFrames(const QCommandLineParser &parser, const QStringList &files, CutJob job,
                 const Cutting &cut)
{
    const bool single = job.kind == CutKind::Single;
    job.output = ParseFrameOutput(parser, OutputNamedByOption(parser) ? QString() : files.last());
    if (single && job.output.kind == OutputKind::NumberedFiles) // OUT as given, not numbered
        job.output.kind = OutputKind::OneFile;
    const std::unique_ptr<FrameRun> run = MakeFrameRun(cut.document, cut.frame, job);
    if (run->count() == 0) // only a grid of single-colour tiles writes nothing
        throw Failure(QCoreApplication::translate(
            "CommandLine", "書き出すタイルがありません (どのタイルも単色です)"));
    WriteFrameOutput(*run, job.output);
}

// The direction of a sequence; grid is a kind of its own.
std::optional<Direction> parseDirection(const QString &text)
{
    static const std::map<QString, std::optional<Direction>> kDirections = {
        {QStringLiteral("right"), Direction::Right},
        {QStringLiteral("left"), Direction::Left},
        {QStringLiteral("down"), Direction::Down},
        {QStringLiteral("up"), Direction::Up},
        {QStringLiteral("grid"), std::nullopt}};
    const auto found = kDirections.find(text);
    if (found == kDirections.end())
        throw UsageError{QStringLiteral("bad direction '%1'").arg(text)};
    return found->second;
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
    writeFrames(parser, files, CutJob{}, *cutting(files[0], parser));
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
         {QStringLiteral("skip-empty"), QString()}});
    parser.addOptions(FrameOutputOptions());
    const QStringList files = ParseVerb(parser, rest, 2, true);
    CutJob job;
    const std::optional<Direction> direction =
        parseDirection(parser.value(QStringLiteral("direction")));
    job.kind = direction ? CutKind::Continuous : CutKind::Grid;
    job.direction = direction.value_or(Direction::Right);
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
    const std::unique_ptr<Cutting> cut = cutting(files[0], parser);
    cut->document.setBlendPicture(ReadVerbPicture(parser, files[1]), files[1]);
    CutJob job;
    job.kind = CutKind::Blend;
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
    writeFrames(parser, files, job, *cutting(files[0], parser));
    return ExitCode::Done;
}
