// SPDX-License-Identifier: GPL-3.0-or-later
// The batch JPEG shrink: the listing once, then every file decoded, box-averaged and written, on
// as many threads as asked, with the result of a run on one thread.
#include "core/batch/shrink.h"

#include "core/base/atomic_file.h"
#include "core/base/file_names.h"
#include "core/base/files.h"
#include "core/batch/shrink_file_list.h"
#include "core/image/colour_space.h"
#include "core/image/exif_orientation.h"
#include "core/image/jpeg_codec.h"
#include "core/image/parallel.h"
#include "core/image/picture.h"
#include "core/image/picture_reading.h"
#include "core/image/resize.h"

#include <QColorSpace>
#include <QCoreApplication>

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <new>
#include <optional>
#include <system_error>
#include <thread>

namespace {

// The shared state of one run's workers. Entries are taken in list order from next; everything
// below mutex is written under it.
struct ShrinkRun {
    QStringList sources;
    QStringList targets;
    int32_t longerSide = 0;
    bool keepOrientation = false;
    PhotoMetadata metadata = PhotoMetadata::Keep;
    const std::function<void(int)> *progressed = nullptr;
    std::atomic<int> next{0};
    // A progress callback threw, or the disk is full: take no further entry.
    std::atomic<bool> stop{false};

    std::mutex mutex;
    std::vector<std::optional<QString>> failure; // per entry: why it was skipped
    std::vector<char> tried;                     // per entry
    int done = 0;
    std::optional<QString> diskFull; // the first failure that found the disk full
    std::exception_ptr error;        // the first exception of a progress callback
};

// Shrinks one entry; the reason it was skipped, or nothing when it was written. A full disk
// stops the run: every later file would fail the same way, each after a whole decode.
std::optional<QString> shrinkEntry(ShrinkRun &run, int entry, ShrinkBuffers &buffers)
{
    const QString &source = run.sources[entry];
    try {
        ShrinkOneFile(source, run.targets[entry], run.longerSide, buffers, run.keepOrientation,
                      run.metadata);
        return std::nullopt;
    } catch (const DiskFull &full) {
        run.stop = true;
        std::lock_guard lock(run.mutex);
        if (!run.diskFull)
            run.diskFull = full.description();
        return full.description();
    } catch (const Failure &failure) {
        return failure.description();
    } catch (const std::bad_alloc &) {
        return QCoreApplication::translate("Shrink", "%1 を縮小できません (メモリが足りません)")
            .arg(source);
    } catch (const std::exception &other) {
        return QCoreApplication::translate("Shrink", "%1 を縮小できません (%2)")
            .arg(source, QString::fromUtf8(other.what()));
    }
}

void finishEntry(ShrinkRun &run, int entry, std::optional<QString> failure)
{
    std::lock_guard lock(run.mutex);
    run.tried[size_t(entry)] = 1;
    run.failure[size_t(entry)] = std::move(failure);
    ++run.done;
    if (*run.progressed)
        (*run.progressed)(run.done);
}

void workerLoop(ShrinkRun &run, bool oneOfSeveral)
{
    // A worker among several already keeps a core busy: ResizeAverage must not split its rows
    // over the cores again. A single worker lets it.
    std::optional<SingleBandScope> oneBand;
    if (oneOfSeveral)
        oneBand.emplace();
    ShrinkBuffers buffers;
    try {
        for (int entry = 0; !run.stop && (entry = run.next++) < int(run.sources.size());)
            finishEntry(run, entry, shrinkEntry(run, entry, buffers));
    } catch (...) {
        std::lock_guard lock(run.mutex);
        if (!run.error)
            run.error = std::current_exception();
        run.stop = true;
    }
}

int workerCount(int asked, int files)
{
    const int cores = int(std::max(1u, std::thread::hardware_concurrency()));
    return std::clamp(asked > 0 ? asked : cores, 1, std::max(1, files));
}

// The calling thread is one of the workers. When no further thread can be started the run goes
// on with those that were.
void runWorkers(ShrinkRun &run, int workers)
{
    std::vector<std::thread> threads;
    try {
        for (int i = 1; i < workers; ++i)
            threads.emplace_back(workerLoop, std::ref(run), true);
    } catch (const std::system_error &) {
    }
    workerLoop(run, workers > 1);
    for (std::thread &thread : threads)
        thread.join();
}

void checkJob(const ShrinkJob &job, const QString &source, const QString &destination)
{
    if (source.isEmpty())
        throw Failure(QCoreApplication::translate("Shrink", "変換元フォルダが指定されていません"));
    if (destination.isEmpty())
        throw Failure(QCoreApplication::translate("Shrink", "保存先フォルダが指定されていません"));
    if (job.longerSide < 1)
        throw Failure(QCoreApplication::translate("Shrink", "縮小サイズ幅が正しくありません (%1)")
                          .arg(job.longerSide));
}

QString stoppedText(const QString &diskFull, int untried)
{
    return QCoreApplication::translate("Shrink",
                                       "ディスクがいっぱいになったため縮小を中止しました。残りの "
                                       "%1 ファイルは変換していません (%2)")
        .arg(untried)
        .arg(diskFull);
}

} // namespace

void ShrinkOneFile(const QString &source, const QString &target, int32_t longerSide,
                   ShrinkBuffers &buffers, bool keepOrientation, PhotoMetadata metadata)
{
    ReadFileInto(source, buffers.fileBytes);
    const QImage stored = DecodeJpegInto(buffers.fileBytes, source, buffers.pixels);
    const QImage decoded =
        keepOrientation ? stored : Upright(stored, ExifOrientation(buffers.fileBytes));
    const QSize size = SizeWithLongerSide(decoded.size(), longerSide);
    try {
        QImage scaled = ResizeAverage(size.width(), size.height(), decoded);
        JpegMetadata kept;
        if (metadata == PhotoMetadata::Keep) {
            kept =
                MetadataForCopy(ReadJpegMetadata(buffers.fileBytes), size, !keepOrientation, false);
        } else { // without its profile the photo's colours are only right in sRGB
            scaled.setColorSpace(stored.colorSpace());
            ConvertToSrgb(scaled);
        }
        EncodeJpegInto(scaled, kJpegQuality, buffers.encoded, kept);
    } catch (const Failure &failure) { // these reasons do not name the file
        throw Failure(QCoreApplication::translate("Shrink", "%1 を縮小できません (%2)")
                          .arg(source, failure.description()));
    }
    WriteFileAtomically(target, buffers.encoded);
}

ShrinkResult RunShrink(const ShrinkJob &job, const std::function<void(int total)> &started,
                       const std::function<void(int done)> &progressed)
{
    const QString source = WithTrailingSlash(job.sourceFolder);
    const QString destination = WithTrailingSlash(job.destinationFolder);
    checkJob(job, source, destination);
    ShrinkFileList listing;
    listing.loadExtensions(job.extensionsFile);
    ShrinkRun run;
    listing.collectFiles({source}, run.sources);
    ShrinkResult result;
    result.filesFound = int(run.sources.size());
    if (run.sources.isEmpty())
        return result;
    if (!IsFolder(destination))
        throw Failure(QCoreApplication::translate("Shrink", "保存先フォルダ %1 がありません")
                          .arg(destination));
    RemoveStaleTemporaryFiles(destination);
    for (const QString &path : run.sources)
        run.targets << destination + StripPrefix(path, source);
    run.longerSide = job.longerSide;
    run.keepOrientation = job.keepOrientation;
    run.metadata = job.metadata;
    run.progressed = &progressed;
    run.tried.assign(run.sources.size(), 0);
    run.failure.assign(run.sources.size(), std::nullopt);
    if (started)
        started(result.filesFound);
    runWorkers(run, workerCount(job.workers, result.filesFound));
    if (run.error)
        std::rethrow_exception(run.error);
    for (size_t i = 0; i < run.failure.size(); ++i) {
        if (!run.tried[i])
            continue;
        if (run.failure[i])
            result.failures << *run.failure[i];
        else
            ++result.filesWritten;
    }
    if (run.diskFull)
        result.stopped = stoppedText(*run.diskFull, result.filesFound - run.done);
    return result;
}
