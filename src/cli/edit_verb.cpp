// SPDX-License-Identifier: GPL-3.0-or-later
// The edit verb: the Edit menu's edits in the order given, from the one table of edits.
#include "cli/output_options.h"
#include "cli/reading_options.h"
#include "cli/usage_error.h"
#include "cli/verb_parsing.h"

#include "core/animation/animation.h"
#include "core/base/atomic_file.h"
#include "core/base/file_names.h"
#include "core/base/output_names.h"
#include "core/image/bmp_format.h"
#include "core/image/edit_table.h"
#include "core/image/jpeg_codec.h"
#include "core/image/picture_writing.h"
#include "core/image/pixel_scaling.h"
#include "core/image/plugin_reading.h"

#include <QCommandLineOption>
#include <cmath>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace {

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

} // namespace

ExitCode RunEdit(const QStringList &rest)
{
    // The parser would take file arguments anywhere; the usage line puts PICTURE and OUT first.
    if (rest.size() < 2 || rest[0].startsWith(QLatin1String("--")) ||
        rest[1].startsWith(QLatin1String("--")))
        throw UsageError{QStringLiteral("expected PICTURE OUT before the operations")};
    QCommandLineParser parser;
    parser.addOptions(editOptions());
    const QCommandLineOption nearest(QStringLiteral("nearest"));
    parser.addOption(nearest);
    parser.addOptions(ReadingOptions());
    const QStringList files = ParseVerb(parser, rest, 2);
    const std::vector<EditStep> steps = parseEdits(parser);
    RefuseOutput(OutputNamesRefusal({files[1]}, {files[0]}));
    const LoadedPicture loaded = LoadVerbPicture(parser, files[0]);
    const auto edited = [&](QImage picture) {
        for (const EditStep &step : steps) {
            if (step.edit->kind != EditKind::Resize) {
                picture = ApplyEdit(*step.edit, picture, step.value);
                continue;
            }
            // Asked for, pixels are repeated only where that is exact; any other width says so
            // rather than smoothing what the user wanted kept sharp.
            const int width = int(step.value);
            if (parser.isSet(nearest) && WholeEnlargement(picture.width(), width) == 0)
                throw UsageError{QStringLiteral("--nearest needs a width that is a whole multiple "
                                                "(2x, 3x ...) of the picture's width %1, not %2")
                                     .arg(picture.width())
                                     .arg(width)};
            picture = ResizeToWidth(picture, width, parser.isSet(nearest));
        }
        return picture;
    };
    const QString &out = files[1];
    // An animated picture written as GIF or WebP stays an animation, every frame edited alike and
    // shown as long as before; a still one named .gif is a GIF of that picture alone (a still
    // .webp is the whole-picture WebP below).
    const std::optional<AnimationFormat> format = AnimationFormatOf(out);
    if (format && (loaded.frames.size() > 1 || *format == AnimationFormat::Gif)) {
        const std::vector<QImage> frames =
            loaded.frames.empty() ? std::vector<QImage>{loaded.picture} : loaded.frames;
        AnimationOptions options;
        options.format = *format;
        std::unique_ptr<AnimationEncoder> encoder;
        for (size_t k = 0; k < frames.size(); ++k) {
            const QImage frame = edited(frames[k]);
            if (!encoder)
                encoder = MakeAnimationEncoder(frame.size(), options);
            const int delay = k < loaded.delaysMs.size() ? loaded.delaysMs[k] : 0;
            encoder->add(frame, FrameDelayMs(delay, options));
        }
        RemoveStaleTemporaryFiles(FolderOfPath(out));
        WriteFileAtomically(out, encoder->finish());
        return ExitCode::Done;
    }
    const QImage picture = edited(loaded.picture);
    // The kind by the name (nothing is there yet): JPEG, PNG and WebP as named, BMP otherwise.
    PictureFileKind kind = PictureFileKindOf(out).value_or(PictureFileKind::Bmp);
    if (ContentKindOf({}, out) == ContentKind::Jpeg)
        kind = PictureFileKind::Jpeg;
    // A photo edited keeps its date taken, camera and copyright, as a copy of this size.
    WritePictureFile(out, picture, kind,
                     MetadataForCopy(loaded.metadata, picture.size(), false, false));
    return ExitCode::Done;
}
