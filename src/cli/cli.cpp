// SPDX-License-Identifier: GPL-3.0-or-later
// The command line: mokaran VERB ... works headless over the core. This file holds the usage and
// runs the verb named; the verbs live by group in cutting_verbs.cpp, edit_verb.cpp,
// file_verbs.cpp, grid_verb.cpp and pack_verb.cpp.
#include "cli/cli.h"

#include "cli/usage_error.h"
#include "cli/verb_parsing.h"

#include "core/base/io_error.h"
#include "core/base/version.h"

#include <QCoreApplication>
#include <cstdio>
#include <map>

namespace {

const char kUsage[] =
    "usage: mokaran                 open the main window\n"
    "       mokaran cut PICTURE OUT --size WxH [--at X,Y] [OUTPUT]\n"
    "       mokaran sequence PICTURE BASE --size WxH [--at X,Y] [--step N|cut]\n"
    "                        [--direction right|left|down|up] [OUTPUT]\n"
    "       mokaran sequence PICTURE BASE --size WxH [--at X,Y] --direction grid\n"
    "                        [--gap GX,GY] [--skip-empty] [OUTPUT]\n"
    "       mokaran sequence PICTURE BASE --direction auto [SPRITES] [OUTPUT]\n"
    "       mokaran sequence PICTURE --direction auto [SPRITES] --list\n"
    "            SPRITES: [--background transparent|corner|#RRGGBB] [--tolerance T]\n"
    "                     [--merge D] [--min-area N]\n"
    "       mokaran grid PICTURE [--background transparent|corner|#RRGGBB] [--tolerance T]\n"
    "       mokaran pack PICTURE... --atlas FILE.png [ATLAS] [--json hash|array] [--delay MS]\n"
    "                    [--pingpong]\n"
    "       mokaran frames ANIMATION BASE [OUTPUT]\n"
    "       mokaran blend PICTURE BLEND BASE --size WxH [--at X,Y] [--white-transparent]\n"
    "                     [OUTPUT]\n"
    "       mokaran fade PICTURE BASE --size WxH [--at X,Y] [--color white|black] [OUTPUT]\n"
    "       mokaran edit PICTURE OUT OPERATION... [--nearest]\n"
    "            operations, applied in the order given: --resize T, --rotate DEG, --blur,\n"
    "            --sharpen, --contrast F, --gamma G, --levels\n"
    "       mokaran shrink SOURCE DEST --width T [--extensions FILE] [--in-place] [--strip]\n"
    "       mokaran page PROJECT OUT [--omit SECTION,...]\n"
    "            sections: picture, text, link1 ... link5, text2\n"
    "       mokaran --help | --version\n"
    "\n"
    "PICTURE and BLEND are BMP, JPEG, PNG, GIF, WebP, TIFF or TGA files (by content); a photo\n"
    "is turned upright by its EXIF orientation unless --keep-orientation is given (cut,\n"
    "sequence, blend, fade, edit, shrink, frames), and a picture with a colour profile\n"
    "converted to sRGB unless --keep-colors is given (the same verbs but shrink). The cut size\n"
    "is lowered to the picture; --at is the frame's top-left corner, kept inside the picture\n"
    "(default 0,0). An animated GIF or WebP is read whole, every frame with its delay: its cut\n"
    "is an animation (cut PICTURE OUT.gif or OUT.webp, or --format gif|webp), and with\n"
    "--format gif|webp each tile, position or sprite of sequence is one too (BASE001.gif, ...);\n"
    "numbered PNG or BMP files, a sheet and an atlas take the cut of each frame. blend, fade,\n"
    "and the files of sequence in other formats, cut the first frame.\n"
    "cut writes OUT as a 24-bit BMP; sequence, blend and fade write BASE001.bmp, BASE002.bmp, ...\n"
    "sequence writes every position that fits (--step defaults to 15, --direction to right);\n"
    "with --direction grid, every whole tile from --at, left to right and then down, tiles GX and\n"
    "GY pixels apart (default 0,0), numbered in reading order; --skip-empty leaves out tiles of\n"
    "a single colour.\n"
    "With --direction auto, the sprites of the whole picture: the boxes around 8-connected\n"
    "pixels that are not background (alpha 0 for a picture with transparency, else the colour\n"
    "the corners share, or the colour given; each channel within T, default 24 for a JPEG, else\n"
    "0), boxes closer than D pixels joined (default 0), boxes under N pixels of area dropped\n"
    "(default 4), numbered row by row and left to right; each frame is the size of its box.\n"
    "--list prints the boxes as JSON, [{\"x\":0,\"y\":0,\"w\":8,\"h\":8}, ...], and writes "
    "nothing.\n"
    "grid prints the grid the sprites lie on, found from the rows and columns that are wholly\n"
    "background: {\"cell\":[W,H],\"offset\":[X,Y],\"gap\":[GX,GY],\"columns\":C,\"rows\":R}, the\n"
    "--size, --at and --gap of the grid cut.\n"
    "blend and fade write 21 frames (--color defaults to white).\n"
    "pack writes the pictures into one atlas, each a frame named by its file name.\n"
    "frames writes every frame of ANIMATION whole, as BASE001.png, ... (--format png, the\n"
    "default, or bmp, gif, webp), or with --sheet, --atlas or --animate OTHER.gif|OTHER.webp.\n"
    "OUTPUT: --format bmp|png|gif|webp (default bmp) for OUT and the numbered frames;\n"
    "or, instead of OUT or BASE, --animate FILE.gif|FILE.webp [--delay MS] [--pingpong]\n"
    "[--quality Q (WebP lossy; lossless without)] [--mixed (WebP: each frame lossy, at Q or\n"
    "75, or lossless, whichever is smaller)] [--no-dither (GIF)] [--max-size SIZE (GIF: the\n"
    "quality lowered until the file holds in SIZE bytes, or 500k, 2m; a failure when even the\n"
    "lowest does not)], looping forever, 100 ms a frame by default; or --sheet FILE.png\n"
    "--columns N [--padding P], the frames in rows; or --atlas FILE.png [ATLAS], the frames\n"
    "packed. A sheet and an atlas come with FILE.json, the layout engines load (--json hash, the\n"
    "default, or array), whose durations and tag --delay and --pingpong set. PNG, GIF, WebP, the\n"
    "sheet and the atlas keep the picture's transparency where frames are cut from it.\n"
    "The frames of an animation keep their own delays unless --delay replaces them; --speed F\n"
    "divides every delay by F (0.01 to 100); --reverse writes the frames last to first. A GIF\n"
    "delay under 20 ms is warned of: browsers play it as 100 ms.\n"
    "ATLAS: [--trim] [--padding P] [--border B] [--extrude E] [--power-of-two] [--max-size N]\n"
    "[--keep-duplicates]: frames trimmed of their fully transparent borders, P pixels apart and\n"
    "B from the edge (default 0), each frame's edge repeated E pixels outward, the sides rounded\n"
    "up to powers of two, at most N pixels (default 4096); identical frames are stored once.\n"
    "edit writes OUT as JPEG (quality 90) for .jpg/.jpeg, PNG for .png, lossless WebP for .webp\n"
    "(both keeping transparency), GIF for .gif, otherwise as BMP; an animation edited to .gif or\n"
    ".webp stays one, every frame edited (to another kind, its first frame). --resize T shrinks\n"
    "to width T by box averaging (a portrait picture to height T) or enlarges to width T; with\n"
    "--nearest, to a whole multiple of the width by repeating each pixel, so that pixel art\n"
    "stays sharp.\n"
    "shrink writes every JPEG of SOURCE listed by jpeg.dat (or FILE) into DEST, its longer side\n"
    "T pixels, at quality 90, keeping the photos' EXIF, XMP, IPTC and colour profile unless\n"
    "--strip is given; files that fail are skipped, listed, and make the exit status 1.\n"
    "DEST may be SOURCE itself, replacing the originals, only with --in-place.\n"
    "page writes the mobile page of a page-maker project file, leaving out the sections named.\n"
    "Exit status: 0 done, 1 the work failed, 2 the command line is wrong, or an output would\n"
    "replace a picture read, has no name, or holds more than 10000 animation frames, 65536 sheet\n"
    "or atlas frames, or a sheet beyond the picture limit (1 GiB of 24-bit pixels).\n";

using VerbTable = std::map<QString, ExitCode (*)(const QStringList &)>;

const VerbTable &verbs()
{
    static const VerbTable kVerbs = {
        {QStringLiteral("cut"), RunCut},     {QStringLiteral("sequence"), RunSequence},
        {QStringLiteral("blend"), RunBlend}, {QStringLiteral("fade"), RunFade},
        {QStringLiteral("edit"), RunEdit},   {QStringLiteral("shrink"), RunShrink},
        {QStringLiteral("page"), RunPage},   {QStringLiteral("grid"), RunGrid},
        {QStringLiteral("pack"), RunPack},   {QStringLiteral("frames"), RunFrames}};
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
        Print(stderr, QStringLiteral("mokaran: %1\n").arg(error.message));
        std::fputs(kUsage, stderr);
        return ExitCode::Usage;
    } catch (const std::bad_alloc &) {
        Print(stderr,
              QStringLiteral("mokaran: %1\n")
                  .arg(QCoreApplication::translate("CommandLine", "メモリが不足しています")));
        return ExitCode::Failed;
    } catch (const std::exception &failure) {
        Print(stderr,
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
