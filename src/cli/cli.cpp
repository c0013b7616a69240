// The command line: mokaran VERB ... works headless over the core.
#include "cli/cli.h"

#include "core/base/app_paths.h"
#include "core/base/io_error.h"
#include "core/base/version.h"
#include "core/batch/shrink.h"
#include "core/image/edits.h"
#include "core/image/filters.h"
#include "core/image/picture_io.h"
#include "core/image/rotate.h"
#include "core/page/page.h"
#include "core/sequence/frames.h"
#include "core/workspace/workspace.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <cmath>
#include <cstdio>
#include <map>
#include <optional>
#include <vector>

namespace {

const char kUsage[] =
    "usage: mokaran                 open the main window\n"
    "       mokaran cut PICTURE OUT --size WxH [--at X,Y]\n"
    "       mokaran sequence PICTURE BASE --size WxH [--at X,Y] [--step N|cut]\n"
    "                        [--direction right|left|down|up]\n"
    "       mokaran blend PICTURE BLEND BASE --size WxH [--at X,Y] [--white-transparent]\n"
    "       mokaran fade PICTURE BASE --size WxH [--at X,Y] [--color white|black]\n"
    "       mokaran edit PICTURE OUT OPERATION...\n"
    "            operations, applied in the order given: --resize T, --rotate DEG, --blur,\n"
    "            --sharpen, --contrast F, --gamma G, --levels\n"
    "       mokaran shrink SOURCE DEST --width T [--extensions FILE]\n"
    "       mokaran page PROJECT OUT [--omit SECTION,...]\n"
    "            sections: picture, text, link1 ... link5, text2\n"
    "       mokaran --help | --version\n"
    "\n"
    "PICTURE and BLEND are BMP or JPEG files (by extension). The cut size is lowered to the\n"
    "picture; --at is the frame's top-left corner, kept inside the picture (default 0,0).\n"
    "cut writes OUT as a 24-bit BMP; sequence, blend and fade write BASE001.bmp, BASE002.bmp, ...\n"
    "sequence writes every position that fits (--step defaults to 15, --direction to right);\n"
    "blend and fade write 21 frames (--color defaults to white).\n"
    "edit writes OUT as JPEG (quality 90) for .jpg/.jpeg, otherwise as BMP. --resize T shrinks to\n"
    "width T by box averaging (a portrait picture to height T) or enlarges to width T.\n"
    "shrink writes every JPEG of SOURCE listed by jpeg.dat (or FILE) into DEST, its longer side\n"
    "T pixels, at quality 90; files that fail are skipped, listed, and make the exit status 1.\n"
    "page writes the mobile page of a page-maker project file, leaving out the sections named.\n"
    "Exit status: 0 done, 1 the work failed, 2 the command line is wrong.\n";

void print(FILE *stream, const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
}

// The command line is wrong: the caller prints the usage and exits 2.
struct UsageError {
    QString message;
};

// Positional arguments and --options of one verb.
struct Arguments {
    QStringList positional;
    std::map<QString, QString> options; // flags map to ""

    // flags: options that take no value.
    Arguments(const QStringList &args, const QStringList &known, const QStringList &flags)
    {
        for (qsizetype i = 0; i < args.size(); ++i) {
            const QString &arg = args[i];
            if (!arg.startsWith(QLatin1String("--"))) {
                positional << arg;
                continue;
            }
            if (flags.contains(arg)) {
                options[arg] = QString();
            } else if (known.contains(arg) && i + 1 < args.size()) {
                options[arg] = args[++i];
            } else {
                throw UsageError{QStringLiteral("unknown or incomplete option '%1'").arg(arg)};
            }
        }
    }
    std::optional<QString> value(const QString &name) const
    {
        const auto found = options.find(name);
        if (found == options.end())
            return std::nullopt;
        return found->second;
    }
};

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

// Loads the picture and places the frame as the window would: the cut lowered to the picture,
// the frame kept inside it, CutImage filled.
Workspace cutWorkspace(const QString &picture, const Arguments &args)
{
    const auto size = args.value(QStringLiteral("--size"));
    if (!size)
        throw UsageError{QStringLiteral("--size WxH is required")};
    const QPoint wh = parsePair(*size, QStringLiteral("(\\d+)[xX](\\d+)"), "size");
    if (wh.x() < 1 || wh.y() < 1)
        throw UsageError{QStringLiteral("the size must be at least 1x1")};
    const QPoint at = parsePair(args.value(QStringLiteral("--at")).value_or(QStringLiteral("0,0")),
                                QStringLiteral("(-?\\d+),(-?\\d+)"), "position");

    Workspace ws;
    SetWorkPicture(ws, ReadPicture(picture));
    ws.CutWidth = wh.x();
    ws.CutHeight = wh.y();
    LowerCutToCanvas(ws);
    ws.FrameX = at.x();
    ws.FrameY = at.y();
    ClampFrame(ws);
    FillCutImage(ws);
    return ws;
}

void expectPositional(const Arguments &args, int count)
{
    if (args.positional.size() != count)
        throw UsageError{QStringLiteral("expected %1 file arguments").arg(count)};
}

FrameWriter frameWriter(BmpFrameWriter &writer)
{
    return [&writer](const QString &path, const QImage &picture) { writer.write(path, picture); };
}

void runCut(const QStringList &rest)
{
    const Arguments args(rest, {QStringLiteral("--size"), QStringLiteral("--at")}, {});
    expectPositional(args, 2);
    const Workspace ws = cutWorkspace(args.positional[0], args);
    WriteBmp24File(args.positional[1], ws.CutImage);
}

Direction parseDirection(const QString &text)
{
    static const std::map<QString, Direction> directions = {
        {QStringLiteral("right"), Direction::Right},
        {QStringLiteral("left"), Direction::Left},
        {QStringLiteral("down"), Direction::Down},
        {QStringLiteral("up"), Direction::Up}};
    const auto found = directions.find(text);
    if (found == directions.end())
        throw UsageError{QStringLiteral("bad direction '%1'").arg(text)};
    return found->second;
}

void runSequence(const QStringList &rest)
{
    const Arguments args(rest,
                         {QStringLiteral("--size"), QStringLiteral("--at"),
                          QStringLiteral("--step"), QStringLiteral("--direction")},
                         {});
    expectPositional(args, 2);
    const Direction direction =
        parseDirection(args.value(QStringLiteral("--direction")).value_or(QStringLiteral("right")));
    const QString step = args.value(QStringLiteral("--step")).value_or(QStringLiteral("15"));
    bool ok = true;
    const int pixels = step == QLatin1String("cut") ? 0 : step.toInt(&ok);
    if (!ok || (step != QLatin1String("cut") && pixels < 1))
        throw UsageError{QStringLiteral("bad step '%1'").arg(step)};

    Workspace ws = cutWorkspace(args.positional[0], args);
    ws.FrameDirection = direction;
    const bool across = direction == Direction::Right || direction == Direction::Left;
    ws.FrameStep = step == QLatin1String("cut") ? (across ? ws.CutWidth : ws.CutHeight) : pixels;
    BmpFrameWriter writer;
    WriteContinuousFrames(ws, args.positional[1], frameWriter(writer));
}

void runBlend(const QStringList &rest)
{
    const Arguments args(rest, {QStringLiteral("--size"), QStringLiteral("--at")},
                         {QStringLiteral("--white-transparent")});
    expectPositional(args, 3);
    Workspace ws = cutWorkspace(args.positional[0], args);
    ws.BlendImage = ReadPicture(args.positional[1]);
    const MixKind kind = args.value(QStringLiteral("--white-transparent"))
                             ? MixKind::BlendWhiteTransparent
                             : MixKind::Blend;
    BmpFrameWriter writer;
    WriteMixFrames(ws, kind, args.positional[2], writer);
}

void runFade(const QStringList &rest)
{
    const Arguments args(
        rest, {QStringLiteral("--size"), QStringLiteral("--at"), QStringLiteral("--color")}, {});
    expectPositional(args, 2);
    const QString color = args.value(QStringLiteral("--color")).value_or(QStringLiteral("white"));
    if (color != QLatin1String("white") && color != QLatin1String("black"))
        throw UsageError{QStringLiteral("bad color '%1'").arg(color)};
    Workspace ws = cutWorkspace(args.positional[0], args);
    BmpFrameWriter writer;
    WriteMixFrames(ws,
                   color == QLatin1String("white") ? MixKind::FadeToWhite : MixKind::FadeToBlack,
                   args.positional[1], writer);
}

// One edit of the edit verb, its value already read.
struct EditStep {
    QString name;
    double value = 0;
};

std::vector<EditStep> parseEdits(const QStringList &words)
{
    static const QStringList withValue = {QStringLiteral("--resize"), QStringLiteral("--rotate"),
                                          QStringLiteral("--contrast"), QStringLiteral("--gamma")};
    static const QStringList plain = {QStringLiteral("--blur"), QStringLiteral("--sharpen"),
                                      QStringLiteral("--levels")};
    std::vector<EditStep> steps;
    for (qsizetype i = 0; i < words.size(); ++i) {
        EditStep step{words[i]};
        if (withValue.contains(step.name)) {
            bool ok = i + 1 < words.size();
            step.value = ok ? words[++i].toDouble(&ok) : 0;
            const bool whole =
                step.name == QLatin1String("--resize") || step.name == QLatin1String("--rotate");
            if (!ok || !std::isfinite(step.value) ||
                (whole && (step.value != std::trunc(step.value) || std::abs(step.value) > 1e9)))
                throw UsageError{QStringLiteral("%1 needs a number").arg(step.name)};
            if (step.name == QLatin1String("--resize") && step.value < 1)
                throw UsageError{QStringLiteral("--resize needs a width of at least 1")};
        } else if (!plain.contains(step.name)) {
            throw UsageError{QStringLiteral("unknown operation '%1'").arg(step.name)};
        }
        steps.push_back(step);
    }
    if (steps.empty())
        throw UsageError{QStringLiteral("no operation given")};
    return steps;
}

QImage applyEdit(const QImage &picture, const EditStep &step)
{
    const PixelRect all = WholePicture(picture);
    if (step.name == QLatin1String("--resize"))
        return ScaleToWidth(picture, int32_t(step.value));
    if (step.name == QLatin1String("--rotate"))
        return Rotate(int32_t(step.value), picture, 1.0);
    if (step.name == QLatin1String("--blur") || step.name == QLatin1String("--sharpen"))
        return Filter3x3(step.name == QLatin1String("--blur") ? FilterKind::Blur
                                                              : FilterKind::Sharpen,
                         all, picture);
    if (step.name == QLatin1String("--contrast"))
        return Contrast(step.value, all, picture);
    if (step.name == QLatin1String("--gamma"))
        return Gamma(step.value, step.value, step.value, all, picture);
    QImage levelled = picture;
    LevelCorrect(levelled);
    return levelled;
}

void runEdit(const QStringList &rest)
{
    if (rest.size() < 2 || rest[0].startsWith(QLatin1String("--")) ||
        rest[1].startsWith(QLatin1String("--")))
        throw UsageError{QStringLiteral("expected PICTURE OUT before the operations")};
    const std::vector<EditStep> steps = parseEdits(rest.mid(2));
    QImage picture = ReadPicture(rest[0]);
    for (const EditStep &step : steps)
        picture = applyEdit(picture, step);
    const QString out = rest[1];
    if (PictureKindOf(out) == PictureKind::Jpeg)
        WriteJpegFile(out, picture, 90);
    else
        WriteBmpOwnDepthFile(out, picture);
}

QString asFolder(const QString &path)
{
    const QString absolute = QDir(path).absolutePath();
    return absolute.endsWith(u'/') ? absolute : absolute + u'/';
}

QString defaultExtensionsFile()
{
    const QString exeDir =
        QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QDir::currentPath();
    return ResolveAppPaths(exeDir).dataFile(QStringLiteral("jpeg.dat"));
}

// Returns true when every file was written.
bool runShrink(const QStringList &rest)
{
    const Arguments args(rest, {QStringLiteral("--width"), QStringLiteral("--extensions")}, {});
    expectPositional(args, 2);
    bool ok = false;
    const int width = args.value(QStringLiteral("--width")).value_or(QString()).toInt(&ok);
    if (!ok || width < 1)
        throw UsageError{QStringLiteral("--width T is required (a whole number of at least 1)")};
    if (!QFileInfo(args.positional[0]).isDir())
        throw Failure(QStringLiteral("%1 はフォルダではありません").arg(args.positional[0]));
    ShrinkJob job;
    job.sourceFolder = asFolder(args.positional[0]);
    job.destinationFolder = asFolder(args.positional[1]);
    job.targetWidth = width;
    job.extensionsFile =
        args.value(QStringLiteral("--extensions")).value_or(defaultExtensionsFile());
    int total = 0;
    const ShrinkResult result = RunShrink(
        job, [&total](int n) { total = n; },
        [&total](int done) {
            print(stderr, QStringLiteral("shrink: %1/%2\n").arg(done).arg(total));
        });
    for (const QString &failure : result.failures)
        print(stderr, QStringLiteral("mokaran: %1\n").arg(failure));
    print(stderr, QStringLiteral("shrink: %1 of %2 files written, %3 failed\n")
                      .arg(result.filesWritten)
                      .arg(result.filesFound)
                      .arg(result.failures.size()));
    return result.failures.isEmpty();
}

void runPage(const QStringList &rest)
{
    const Arguments args(rest, {QStringLiteral("--omit")}, {});
    expectPositional(args, 2);
    PageOmissions omissions;
    if (const auto omit = args.value(QStringLiteral("--omit"))) {
        for (const QString &name : omit->split(u',', Qt::SkipEmptyParts)) {
            const auto section = PageSectionByName(name.trimmed());
            if (!section)
                throw UsageError{QStringLiteral("unknown section '%1'").arg(name)};
            omissions.set(*section);
        }
    }
    WritePageFile(args.positional[1], ReadProjectFile(args.positional[0]), omissions);
}

} // namespace

int RunCommandLine(const QStringList &args)
{
    if (args.isEmpty())
        return kCliUsage;
    const QString &verb = args.front();
    if (verb == QLatin1String("--help") || verb == QLatin1String("-h")) {
        std::fputs("MOKARAN: cut pieces out of pictures.\n\n", stdout);
        std::fputs(kUsage, stdout);
        return kCliDone;
    }
    if (verb == QLatin1String("--version")) {
        std::printf("mokaran %s (%s)\n", kVersion, kReleaseDate);
        return kCliDone;
    }
    static const std::map<QString, void (*)(const QStringList &)> verbs = {
        {QStringLiteral("cut"), runCut},     {QStringLiteral("sequence"), runSequence},
        {QStringLiteral("blend"), runBlend}, {QStringLiteral("fade"), runFade},
        {QStringLiteral("edit"), runEdit},   {QStringLiteral("page"), runPage}};
    const auto found = verbs.find(verb);
    try {
        if (verb == QLatin1String("shrink")) // the one verb that can partly fail
            return runShrink(args.mid(1)) ? kCliDone : kCliFailed;
        if (found == verbs.end())
            throw UsageError{QStringLiteral("unknown command '%1'").arg(verb)};
        found->second(args.mid(1));
        return kCliDone;
    } catch (const UsageError &error) {
        print(stderr, QStringLiteral("mokaran: %1\n").arg(error.message));
        std::fputs(kUsage, stderr);
        return kCliUsage;
    } catch (const std::bad_alloc &) {
        print(stderr,
              QStringLiteral("mokaran: %1\n").arg(QStringLiteral("メモリが不足しています")));
        return kCliFailed;
    } catch (const std::exception &failure) {
        print(stderr,
              QStringLiteral("mokaran: %1\n").arg(WithFullStop(QString::fromUtf8(failure.what()))));
        return kCliFailed;
    }
}
