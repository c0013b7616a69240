// SPDX-License-Identifier: GPL-3.0-or-later
// Writing a run's frames as numbered files, an animation or a sprite sheet.
#include "core/sequence/frame_output.h"

#include "core/base/atomic_file.h"
#include "core/base/file_names.h"
#include "core/base/files.h"
#include "core/base/ordered_work.h"
#include "core/image/bmp_format.h"
#include "core/image/png_format.h"

#include <QFileInfo>

#include <algorithm>
#include <cstdint>

void FrameRun::writeBmp(int k, const QString &path, BmpFrameWriter &writer)
{
    writer.write(path, frame(k));
}

namespace {

void tell(const FrameProgress &progress, int k, int n)
{
    if (progress)
        progress(k, n);
}

// How many frames may wait for their turn at once: two per core keeps every core busy while the
// calling thread writes, within a budget that a run of huge frames cannot exceed.
int framesInFlight(const FrameRun &run)
{
    constexpr int64_t kBudgetBytes = 256 << 20;
    const int64_t frameBytes =
        std::max<int64_t>(int64_t(run.frameSize().width()) * run.frameSize().height() * 4, 1);
    return int(std::clamp<int64_t>(kBudgetBytes / frameBytes, 1, 2 * OrderedWorkThreads()));
}

void writeOneFile(FrameRun &run, const FrameOutput &output, const FrameProgress &progress)
{
    if (output.format == FrameFormat::Png)
        WritePngFile(output.path, run.frame(1));
    else
        WriteBmp24File(output.path, run.frame(1));
    tell(progress, 1, 1);
}

void writeNumberedFiles(FrameRun &run, const FrameOutput &output, const FrameProgress &progress)
{
    const int n = run.count();
    if (output.format == FrameFormat::Bmp) {
        BmpFrameWriter writer;
        for (int k = 1; k <= n; ++k) {
            run.writeBmp(k, FrameFileName(output.path, k, FrameFormat::Bmp), writer);
            tell(progress, k, n);
        }
        return;
    }
    // Deflating a frame costs far more than making or storing it: frames are made and written in
    // order here while the cores encode them.
    struct Frame {
        QString path;
        QImage picture; // shares the run's pixels; the run detaches before it makes the next
    };
    RunInOrder<Frame, QByteArray>(
        n, framesInFlight(run),
        [&](int k) {
            return Frame{FrameFileName(output.path, k, FrameFormat::Png), run.frame(k)};
        },
        [](const Frame &frame) { return EncodePngFor(frame.path, frame.picture); },
        [&](int k, QByteArray png) {
            WriteFileAtomically(FrameFileName(output.path, k, FrameFormat::Png), png);
            tell(progress, k, n);
        });
}

void writeAnimation(FrameRun &run, const FrameOutput &output, const FrameProgress &progress)
{
    const std::vector<int> order = PlayOrder(run.count(), output.animation.pingPong);
    QByteArray file;
    try {
        const std::unique_ptr<AnimationEncoder> encoder =
            MakeAnimationEncoder(run.frameSize(), output.animation);
        // Preparing a frame (a GIF's palette) is the costly part and needs no other frame: the
        // cores prepare frames while this thread adds them in order.
        const int steps = int(order.size());
        RunInOrder<QImage, std::unique_ptr<PreparedFrame>>(
            steps, framesInFlight(run), [&](int i) { return run.frame(order[size_t(i - 1)]); },
            [&](const QImage &frame) { return encoder->prepare(frame); },
            [&](int i, std::unique_ptr<PreparedFrame> frame) {
                encoder->addPrepared(std::move(frame));
                tell(progress, i, steps);
            });
        file = encoder->finish();
    } catch (const std::bad_alloc &) {
        throw;
    } catch (const Failure &failure) {
        throw WriteFailure(output.path, failure.description());
    }
    WriteFileAtomically(output.path, file);
}

void writeSheet(FrameRun &run, const FrameOutput &output, const FrameProgress &progress)
{
    const int n = run.count();
    QByteArray png;
    SheetLayout layout;
    try {
        layout = LayOutSheet(n, run.frameSize(), output.sheet);
        QImage sheet = BlankSheet(layout, run.hasAlpha());
        for (int k = 1; k <= n; ++k) {
            PlaceOnSheet(sheet, layout.cells[size_t(k - 1)], run.frame(k));
            tell(progress, k, n);
        }
        EncodePng(sheet, png);
    } catch (const std::bad_alloc &) {
        throw;
    } catch (const Failure &failure) {
        throw WriteFailure(output.path, failure.description());
    }
    // Each frame is named as it would be as a numbered PNG of the sheet's name.
    QStringList names;
    for (int k = 1; k <= n; ++k)
        names << QFileInfo(FrameFileName(output.path, k, FrameFormat::Png)).fileName();
    WriteFileAtomically(output.path, png);
    WriteFileAtomically(SheetDataPath(output.path),
                        SheetData(layout, QFileInfo(output.path).fileName(), names));
}

} // namespace

bool KeepsAlpha(FrameFormat format)
{
    return format == FrameFormat::Png;
}

bool KeepsAlpha(const FrameOutput &output)
{
    const bool files =
        output.kind == OutputKind::OneFile || output.kind == OutputKind::NumberedFiles;
    return !files || KeepsAlpha(output.format);
}

QStringList OutputFiles(const FrameOutput &output, int frames)
{
    switch (output.kind) {
    case OutputKind::OneFile: return {output.path};
    case OutputKind::NumberedFiles: {
        QStringList names;
        for (int k = 1; k <= frames; ++k)
            names << FrameFileName(output.path, k, output.format);
        return names;
    }
    case OutputKind::Animation: return {output.path};
    case OutputKind::Sheet: return {output.path, SheetDataPath(output.path)};
    }
    return {};
}

QStringList ExistingOutputFiles(const FrameOutput &output, int frames)
{
    if (output.kind == OutputKind::NumberedFiles)
        return ExistingFrameFiles(output.path, frames, output.format);
    QStringList existing;
    for (const QString &path : OutputFiles(output, frames)) {
        const QFileInfo file(path);
        if (file.exists() || file.isSymLink())
            existing << path;
    }
    return existing;
}

void WriteFrameOutput(FrameRun &run, const FrameOutput &output, const FrameProgress &progress)
{
    // Whatever the output, its files go beside output.path: temporary files that killed writers
    // left there go first.
    RemoveStaleTemporaryFiles(FolderOfPath(output.path));
    switch (output.kind) {
    case OutputKind::OneFile: writeOneFile(run, output, progress); break;
    case OutputKind::NumberedFiles: writeNumberedFiles(run, output, progress); break;
    case OutputKind::Animation: writeAnimation(run, output, progress); break;
    case OutputKind::Sheet: writeSheet(run, output, progress); break;
    }
}
