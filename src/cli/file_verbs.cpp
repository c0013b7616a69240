// SPDX-License-Identifier: GPL-3.0-or-later
// The verbs over whole files: the batch shrink and the page maker's page.
#include "cli/reading_options.h"
#include "cli/usage_error.h"
#include "cli/verb_parsing.h"

#include "core/base/app_paths.h"
#include "core/base/file_names.h"
#include "core/base/files.h"
#include "core/base/io_error.h"
#include "core/base/output_names.h"
#include "core/batch/shrink.h"
#include "core/page/page.h"

#include <QCommandLineOption>
#include <QCoreApplication>
#include <QDir>

namespace {

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

} // namespace

// The one verb that can partly fail: the files that fail are skipped and make the exit status 1.
ExitCode RunShrink(const QStringList &rest)
{
    QCommandLineParser parser;
    parser.addOptions(
        {{QStringLiteral("width"), QString(), QStringLiteral("T")},
         {QStringLiteral("extensions"), QString(), QStringLiteral("FILE"), defaultExtensionsFile()},
         KeepOrientationOption(),
         StripOption(),
         {QStringLiteral("in-place"), QString()}});
    const QStringList files = ParseVerb(parser, rest, 2);
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
    job.longerSide = width;
    job.extensionsFile = parser.value(QStringLiteral("extensions"));
    job.keepOrientation = OrientationOf(parser) == Orientation::AsStored;
    job.metadata = MetadataOf(parser);
    int total = 0;
    const ShrinkResult result = RunShrink(
        job, [&total](int n) { total = n; },
        [&total](int done) {
            Print(stderr, QStringLiteral("shrink: %1/%2\n").arg(done).arg(total));
        });
    for (const QString &failure : result.failures)
        Print(stderr, QStringLiteral("mokaran: %1\n").arg(failure));
    if (!result.stopped.isEmpty())
        Print(stderr, QStringLiteral("mokaran: %1\n").arg(WithFullStop(result.stopped)));
    Print(stderr, QStringLiteral("shrink: %1 of %2 files written, %3 failed\n")
                      .arg(result.filesWritten)
                      .arg(result.filesFound)
                      .arg(result.failures.size()));
    return result.failures.isEmpty() && result.stopped.isEmpty() ? ExitCode::Done
                                                                 : ExitCode::Failed;
}

ExitCode RunPage(const QStringList &rest)
{
    QCommandLineParser parser;
    parser.addOption({QStringLiteral("omit"), QString(), QStringLiteral("SECTION,...")});
    const QStringList files = ParseVerb(parser, rest, 2);
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
    // The page written over its own project would lose the project for good.
    if (const QString refusal = OutputNamesRefusal({files[1]}, {files[0]}); !refusal.isEmpty())
        throw UsageError{refusal};
    WritePageFile(files[1], ReadProjectFile(files[0]), omissions);
    return ExitCode::Done;
}
