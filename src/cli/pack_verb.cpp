// SPDX-License-Identifier: GPL-3.0-or-later
// The pack verb: pictures packed into one atlas, each picture a frame named by its file name.
#include "cli/output_options.h"
#include "cli/reading_options.h"
#include "cli/usage_error.h"
#include "cli/verb_parsing.h"

#include "core/sequence/frame_runs.h"
#include "core/sequence/output_refusal.h"

#include <QFileInfo>
#include <QSet>

ExitCode RunPack(const QStringList &rest)
{
    QCommandLineParser parser;
    parser.addOptions(AtlasOutputOptions());
    parser.addOptions(ReadingOptions());
    const QStringList files = ParseVerbWords(parser, rest);
    if (files.isEmpty())
        throw UsageError{QStringLiteral("expected at least one picture")};
    FrameOutput output = ParseAtlasOutput(parser);
    // The JSON keys frames by name: two pictures of one name would leave one of them unreachable.
    QSet<QString> names;
    for (const QString &file : files) {
        const QString name = QFileInfo(file).fileName();
        if (names.contains(name))
            throw UsageError{QStringLiteral("two pictures are named '%1'").arg(name)};
        names.insert(name);
        output.frameNames << name;
    }
    // Each picture is a frame: a run that the atlas could not hold is refused before any is read.
    RefuseOutput(OutputNameRefusal(output, int(files.size()), files));
    RefuseOutput(OutputSizeRefusal(output, int(files.size()), QSize()));
    std::vector<QImage> pictures;
    for (const QString &file : files)
        pictures.push_back(ReadVerbPicture(parser, file));
    WriteFrameOutput(*MakePictureRun(std::move(pictures)), output);
    return ExitCode::Done;
}
