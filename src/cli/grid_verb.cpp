// SPDX-License-Identifier: GPL-3.0-or-later
// The grid verb: the regular grid a sprite sheet's sprites lie on, guessed from the rows and
// columns that are wholly background, printed as JSON for the grid cut's options.
#include "cli/reading_options.h"
#include "cli/sprite_options.h"
#include "cli/verb_parsing.h"

#include "core/base/io_error.h"
#include "core/sequence/grid_guess.h"

ExitCode RunGrid(const QStringList &rest)
{
    QCommandLineParser parser;
    parser.addOptions(BackgroundOptions());
    parser.addOptions(ReadingOptions());
    const QStringList files = ParseVerb(parser, rest, 1);
    const QImage picture = ReadVerbPicture(parser, files[0]);
    const std::optional<GridGuess> grid =
        GuessGrid(picture, ParseBackground(parser, picture, files[0]));
    if (!grid)
        throw Failure(NoRegularGridText());
    Print(stdout, QStringLiteral("{\"cell\":[%1,%2],\"offset\":[%3,%4],\"gap\":[%5,%6],"
                                 "\"columns\":%7,\"rows\":%8}\n")
                      .arg(grid->cell.width())
                      .arg(grid->cell.height())
                      .arg(grid->offset.x())
                      .arg(grid->offset.y())
                      .arg(grid->gap.width())
                      .arg(grid->gap.height())
                      .arg(grid->columns)
                      .arg(grid->rows));
    return ExitCode::Done;
}
