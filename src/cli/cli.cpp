// SPDX-License-Identifier: GPL-3.0-or-later
// The command line: mokaran VERB ... works headless over the core.
#include "cli/cli.h"

#include "cli/output_options.h"
#include "cli/reading_options.h"
#include "cli/usage_error.h"

#include "core/base/app_paths.h"
#include "core/base/file_names.h"
#include "core/base/files.h"
#include "core/base/io_error.h"
#include "core/base/version.h"
#include "core/batch/shrink.h"
#include "core/image/bmp_format.h"
#include "core/image/edit_table.h"
#include "core/image/jpeg_codec.h"
#include "core/image/picture_reading.h"
#include "core/image/plugin_reading.h"
#include "core/page/page.h"
#include "core/sequence/frame_runs.h"
#include "core/workspace/picture_document.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QRegularExpression>
#include <cmath>
#include <cstdio>
#include <map>
#include <vector>

namespace {

const char kUsage[] =
    "usage: mokaran                 open the main window\n"
    "       mokaran cut PICTURE OUT --size WxH [--at X,Y] [OUTPUT]\n"
    "       mokaran sequence PICTURE BASE --size WxH [--at X,Y] [--step N|cut]\n"
    "                        [--direction right|left|down|up] [OUTPUT]\n"
    "       mokaran sequence PICTURE BASE --size WxH [--at X,Y] --direction grid\n"
    "                        [--gap GX,GY] [--skip-empty] [OUTPUT]\n"
    "       mokaran blend PICTURE BLEND BASE --size WxH [--at X,Y] [--white-transparent]\n"
    "                     [OUTPUT]\n"
    "       mokaran fade PICTURE BASE --size WxH [--at X,Y] [--color white|black] [OUTPUT]\n"
    "       mokaran edit PICTURE OUT OPERATION...\n"
    "            operations, applied in the order given: --resize T, --rotate DEG, --blur,\n"
    "            --sharpen, --contrast F, --gamma G, --levels\n"
    "       mokaran shrink SOURCE DEST --width T [--extensions FILE] [--in-place]\n"
    "       mokaran page PROJECT OUT [--omit SECTION,...]\n"
    "            sections: picture, text, link1 ... link5, text2\n"
    "       mokaran --help | --version\n"
    "\n"
    "PICTURE and BLEND are BMP, JPEG, PNG, GIF (first frame), WebP, TIFF or TGA files (by\n"
    "content); a photo is turned upright by its EXIF orientation unless --keep-orientation is\n"
    "given (cut, sequence, blend, fade, edit, shrink). The cut size is lowered to the\n"
    "picture; --at is the frame's top-left corner, kept inside the picture (default 0,0).\n"
    "cut writes OUT as a 24-bit BMP; sequence, blend and fade write BASE001.bmp, BASE002.bmp, ...\n"
    "sequence writes every position that fits (--step defaults to 15, --direction to right);\n"
    "with --direction grid, every whole tile from --at, left to right and then down, tiles GX and\n"
    "GY pixels apart (default 0,0), numbered in reading order; --skip-empty leaves out tiles of\n"
    "a single colour.\n"
    "blend and fade write 21 frames (--color defaults to white).\n"
    "OUTPUT: --format bmp|png (default bmp) for OUT and the numbered frames (BASE001.png, ...);\n"
    "or, instead of OUT or BASE, --animate FILE.gif|FILE.webp [--delay MS] [--pingpong]\n"
    "[--quality Q (WebP lossy; lossless without)] [--no-dither (GIF)], looping forever,\n"
    "100 ms a frame by default; or --sheet FILE.png --columns N [--padding P], the frames in\n"
    "one picture and their rectangles in FILE.json. PNG, GIF, WebP and the sheet keep the\n"
    "picture's transparency where frames are cut from it.\n"
    "edit writes OUT as JPEG (quality 90) for .jpg/.jpeg, otherwise as BMP. --resize T shrinks to\n"
    "width T by box averaging (a portrait picture to height T) or enlarges to width T.\n"
    "shrink writes every JPEG of SOURCE listed by jpeg.dat (or FILE) into DEST, its longer side\n"
    "T pixels, at quality 90; files that fail are skipped, listed, and make the exit status 1.\n"
    "DEST may be SOURCE itself, replacing the originals, only with --in-place.\n"
    "page writes the mobile page of a page-maker project file, leaving out the sections named.\n"
    "Exit status: 0 done, 1 the work failed, 2 the command line is wrong.\n";

// Paths in the text come out as the bytes they were given as, whether UTF-8 or not.
void print(FILE *stream, const QString &text)
{
    std::fputs(EncodePath(text).constData(), stream);
}

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

// Reads one verb's words with the parser that declares its options; returns the file arguments,
// which must be exactly `files` of them. No --help option is declared: a verb's --help is an
// unknown option, a usage error like any other.
// A cutting verb whose output --animate or --sheet names (outputByOption) takes one file less.
QStringList parseVerb(QCommandLineParser &parser, const QStringList &rest, int files,
                      bool outputByOption = false)
{
    // parse() skips its first word as the program name.
    if (!parser.parse(QStringList{QStringLiteral("mokaran")} + rest))
        throw UsageError{parseFailure(parser)};
    if (outputByOption && OutputNamedByOption(parser))
        --files;
    const QStringList positional = parser.positionalArguments();
    if (positional.size() != files)
        throw UsageError{QStringLiteral("expected %1 file arguments").arg(files)};
    return positional;
}

// The options of every verb that cuts: the cut size and the frame's top-left corner. A value is
// taken as the next word whatever it starts with, so --at -5,3 reads as a position.
QList<QCommandLineOption> frameOptions()
{
    return {{QStringLiteral("size"), QString(), QStringLiteral("WxH")},
            {QStringLiteral("at"), QString(), QStringLiteral("X,Y"), QStringLiteral("0,0")},
            KeepOrientationOption()};
}

QPoint parsePair(const QString &text, const QString &pattern, const char *what)
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
        parsePair(parser.value(QStringLiteral("size")), QStringLiteral("(\\d+)[xX](\\d+)"), "size");
    if (wh.x() < 1 || wh.y() < 1)
        throw UsageError{QStringLiteral("the size must be at least 1x1")};
    const QPoint at = parsePair(parser.value(QStringLiteral("at")),
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

ExitCode runCut(const QStringList &rest)
{
    QCommandLineParser parser;
    parser.addOptions(frameOptions());
    parser.addOptions(FrameOutputOptions());
    const QStringList files = parseVerb(parser, rest, 2, true);
    writeFrames(parser, files, CutJob{}, *cutting(files[0], parser));
    return ExitCode::Done;
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
        parsePair(parser.value(QStringLiteral("gap")), QStringLiteral("(\\d+),(\\d+)"), "gap");
    job.gridGap = QSize(gap.x(), gap.y());
    job.skipEmptyTiles = parser.isSet(QStringLiteral("skip-empty"));
}

ExitCode runSequence(const QStringList &rest)
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
    const QStringList files = parseVerb(parser, rest, 2, true);
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

ExitCode runBlend(const QStringList &rest)
{
    QCommandLineParser parser;
    parser.addOptions(frameOptions());
    parser.addOption({QStringLiteral("white-transparent"), QString()});
    parser.addOptions(FrameOutputOptions());
    const QStringList files = parseVerb(parser, rest, 3, true);
    const std::unique_ptr<Cutting> cut = cutting(files[0], parser);
    cut->document.setBlendPicture(ReadVerbPicture(parser, files[1]), files[1]);
    CutJob job;
    job.kind = CutKind::Blend;
    job.whiteTransparent = parser.isSet(QStringLiteral("white-transparent"));
    writeFrames(parser, files, job, *cut);
    return ExitCode::Done;
}

ExitCode runFade(const QStringList &rest)
{
    QCommandLineParser parser;
    parser.addOptions(frameOptions());
    parser.addOption(
        {QStringLiteral("color"), QString(), QStringLiteral("COLOR"), QStringLiteral("white")});
    parser.addOptions(FrameOutputOptions());
    const QStringList files = parseVerb(parser, rest, 2, true);
    const QString color = parser.value(QStringLiteral("color"));
    if (color != QLatin1String("white") && color != QLatin1String("black"))
        throw UsageError{QStringLiteral("bad color '%1'").arg(color)};
    CutJob job;
    job.kind = CutKind::Fade;
    job.fadeColour = color == QLatin1String("white") ? FadeColour::White : FadeColour::Black;
    writeFrames(parser, files, job, *cutting(files[0], parser));
    return ExitCode::Done;
}

// One operation of the edit verb, its value already read.
struct EditStep {
    const Edit *edit = nullptr;
    double value = 0;
};

const Edit *editByOption(const QString &option)
{
    for (const Edit &edit : Edits())
        if (option == QLatin1String(edit.option))
            return &edit;
    return nullptr;
}

QList<QCommandLineOption> editOptions()
{
    QList<QCommandLineOption> options;
    for (const Edit &edit : Edits()) {
        if (edit.value == EditValue::None)
            options.append({QLatin1String(edit.option), QString()});
        else
            options.append({QLatin1String(edit.option), QString(), QStringLiteral("VALUE")});
    }
    return options;
}

double editValue(const Edit &edit, const QString &text)
{
    const QString name = QLatin1String(edit.option);
    bool ok = false;
    const double value = text.toDouble(&ok);
    const bool whole = edit.value == EditValue::WholeNumber;
    if (!ok || !std::isfinite(value) ||
        (whole && (value != std::trunc(value) || std::abs(value) > 1e9)))
        throw UsageError{QStringLiteral("--%1 needs a number").arg(name)};
    if (edit.kind == EditKind::Resize && value < 1)
        throw UsageError{QStringLiteral("--resize needs a width of at least 1")};
    return value;
}

// The operations in the order they were typed. optionNames() lists every occurrence in that
// order while values() gathers one option's values apart, so the k-th --rotate takes the k-th
// rotate value.
std::vector<EditStep> parseEdits(const QCommandLineParser &parser)
{
    std::map<QString, qsizetype> occurrences;
    std::vector<EditStep> steps;
    for (const QString &name : parser.optionNames()) {
        const Edit *edit = editByOption(name);
        if (!edit)
            continue; // how the picture is read, not an operation
        EditStep step{edit};
        if (edit->value != EditValue::None)
            step.value = editValue(*edit, parser.values(name).at(occurrences[name]++));
        steps.push_back(step);
    }
    if (steps.empty())
        throw UsageError{QStringLiteral("no operation given")};
    return steps;
}

ExitCode runEdit(const QStringList &rest)
{
    // The parser would take file arguments anywhere; the usage line puts PICTURE and OUT first.
    if (rest.size() < 2 || rest[0].startsWith(QLatin1String("--")) ||
        rest[1].startsWith(QLatin1String("--")))
        throw UsageError{QStringLiteral("expected PICTURE OUT before the operations")};
    QCommandLineParser parser;
    parser.addOptions(editOptions());
    parser.addOption(KeepOrientationOption());
    const QStringList files = parseVerb(parser, rest, 2);
    const std::vector<EditStep> steps = parseEdits(parser);
    QImage picture = ReadVerbPicture(parser, files[0]);
    for (const EditStep &step : steps)
        picture = step.edit->apply(picture, step.value);
    const QString &out = files[1];
    if (ContentKindOf({}, out) == ContentKind::Jpeg) // by the name: nothing is there yet
        WriteJpegFile(out, picture);
    else
        WriteBmpOwnDepthFile(out, picture);
    return ExitCode::Done;
}

QString asFolder(const QString &path)
{
    return WithTrailingSlash(QDir(path).absolutePath());
}

QString defaultExtensionsFile()
{
    const QString exeDir =
        QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QDir::currentPath();
    return ResolveAppPaths(exeDir).dataFile(QStringLiteral("jpeg.dat"));
}

// The one verb that can partly fail: the files that fail are skipped and make the exit status 1.
ExitCode runShrink(const QStringList &rest)
{
    QCommandLineParser parser;
    parser.addOptions(
        {{QStringLiteral("width"), QString(), QStringLiteral("T")},
         {QStringLiteral("extensions"), QString(), QStringLiteral("FILE"), defaultExtensionsFile()},
         KeepOrientationOption(),
         {QStringLiteral("in-place"), QString()}});
    const QStringList files = parseVerb(parser, rest, 2);
    bool ok = false;
    const int width = parser.value(QStringLiteral("width")).toInt(&ok);
    if (!ok || width < 1)
        throw UsageError{QStringLiteral("--width T is required (a whole number of at least 1)")};
    if (!IsFolder(files[0]))
        throw Failure(QCoreApplication::translate("CommandLine", "%1 はフォルダではありません")
                          .arg(files[0]));
    // Every original would be replaced by its shrunk copy: only when asked for in so many words.
    if (IsSameFolder(files[0], files[1]) && !parser.isSet(QStringLiteral("in-place")))
        throw UsageError{QStringLiteral("DEST is SOURCE: the originals would be replaced "
                                        "(add --in-place to do so)")};
    ShrinkJob job;
    job.sourceFolder = asFolder(files[0]);
    job.destinationFolder = asFolder(files[1]);
    job.targetWidth = width;
    job.extensionsFile = parser.value(QStringLiteral("extensions"));
    job.keepOrientation = OrientationOf(parser) == Orientation::AsStored;
    int total = 0;
    const ShrinkResult result = RunShrink(
        job, [&total](int n) { total = n; },
        [&total](int done) {
            print(stderr, QStringLiteral("shrink: %1/%2\n").arg(done).arg(total));
        });
    for (const QString &failure : result.failures)
        print(stderr, QStringLiteral("mokaran: %1\n").arg(failure));
    if (!result.stopped.isEmpty())
        print(stderr, QStringLiteral("mokaran: %1\n").arg(WithFullStop(result.stopped)));
    print(stderr, QStringLiteral("shrink: %1 of %2 files written, %3 failed\n")
                      .arg(result.filesWritten)
                      .arg(result.filesFound)
                      .arg(result.failures.size()));
    return result.failures.isEmpty() && result.stopped.isEmpty() ? ExitCode::Done
                                                                 : ExitCode::Failed;
}

ExitCode runPage(const QStringList &rest)
{
    QCommandLineParser parser;
    parser.addOption({QStringLiteral("omit"), QString(), QStringLiteral("SECTION,...")});
    const QStringList files = parseVerb(parser, rest, 2);
    PageOmissions omissions;
    if (parser.isSet(QStringLiteral("omit"))) {
        const QString omit = parser.value(QStringLiteral("omit"));
        for (const QString &name : omit.split(u',', Qt::SkipEmptyParts)) {
            const auto section = PageSectionByName(name.trimmed());
            if (!section)
                throw UsageError{QStringLiteral("unknown section '%1'").arg(name)};
            omissions.set(*section);
        }
    }
    WritePageFile(files[1], ReadProjectFile(files[0]), omissions);
    return ExitCode::Done;
}

using VerbTable = std::map<QString, ExitCode (*)(const QStringList &)>;

const VerbTable &verbs()
{
    static const VerbTable kVerbs = {
        {QStringLiteral("cut"), runCut},     {QStringLiteral("sequence"), runSequence},
        {QStringLiteral("blend"), runBlend}, {QStringLiteral("fade"), runFade},
        {QStringLiteral("edit"), runEdit},   {QStringLiteral("shrink"), runShrink},
        {QStringLiteral("page"), runPage}};
    return kVerbs;
}

// Runs one verb, turning what it throws into a message and an exit status.
ExitCode runVerb(const QString &verb, const QStringList &rest)
{
    try {
        const auto found = verbs().find(verb);
        if (found == verbs().end())
            throw UsageError{QStringLiteral("unknown command '%1'").arg(verb)};
        return found->second(rest);
    } catch (const UsageError &error) {
        print(stderr, QStringLiteral("mokaran: %1\n").arg(error.message));
        std::fputs(kUsage, stderr);
        return ExitCode::Usage;
    } catch (const std::bad_alloc &) {
        print(stderr,
              QStringLiteral("mokaran: %1\n")
                  .arg(QCoreApplication::translate("CommandLine", "メモリが不足しています")));
        return ExitCode::Failed;
    } catch (const std::exception &failure) {
        print(stderr,
              QStringLiteral("mokaran: %1\n").arg(WithFullStop(QString::fromUtf8(failure.what()))));
        return ExitCode::Failed;
    }
}

} // namespace

bool IsCommandLineVerb(const QString &word)
{
    return verbs().contains(word);
}

int RunCommandLine(const QStringList &args)
{
    if (args.isEmpty())
        return static_cast<int>(ExitCode::Usage);
    const QString &verb = args.front();
    if (verb == QLatin1String("--help") || verb == QLatin1String("-h")) {
        std::fputs("MOKARAN: cut pieces out of pictures.\n\n", stdout);
        std::fputs(kUsage, stdout);
        return static_cast<int>(ExitCode::Done);
    }
    if (verb == QLatin1String("--version")) {
        std::printf("mokaran %s (%s)\n", kVersion, kReleaseDate);
        return static_cast<int>(ExitCode::Done);
    }
    return static_cast<int>(runVerb(verb, args.mid(1)));
}
