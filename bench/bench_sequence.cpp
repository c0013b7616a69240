// SPDX-License-Identifier: GPL-3.0-or-later
// The sequence outputs on a 4000 x 3000 picture, each beside a plain loop that writes the same
// files from memory: how much the program's own path (MakeFrameRun, WriteFrameOutput: the cut,
// FrameFileName, BmpFrameWriter with its temporary file and rename, the mixing) costs over the bare
// writing of the bytes.
//
//   build/bench/bench_sequence
//   MOKARAN_BENCH_DUMP=folder build/bench/bench_sequence   writes the pictures used, then stops
//
// Each iteration writes into a new folder under one temporary folder (TMPDIR, else /tmp), after a
// sync outside the timing; all of it (about 11 GB) is removed when the program ends. Before
// timing, every job is run once both ways and the files compared byte for byte.
#include "bench_support.h"
#include "core/base/io_error.h"
#include "core/image/bmp_format.h"
#include "core/image/picture.h"
#include "core/sequence/frame_files.h"
#include "core/sequence/frame_runs.h"
#include "core/sequence/mixing.h"

#include <QByteArray>
#include <QDir>
#include <QImage>
#include <QString>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr int kPictureWidth = 4000;
constexpr int kPictureHeight = 3000;
constexpr int kTile = 200; // the cut of the continuous run and of the tiles
constexpr int kTileColumns = kPictureWidth / kTile;
constexpr int kTileRows = kPictureHeight / kTile;
constexpr int kTiles = kTileColumns * kTileRows;
// Every position of a 200-pixel frame moved one pixel at a time across 4000 pixels.
constexpr int kContinuousFrames = kPictureWidth - kTile + 1;
constexpr int kMixWidth = 400;
constexpr int kMixHeight = 300;
constexpr int kMixX = 1800; // the cut of the blended run, near the middle of the picture
constexpr int kMixY = 1350;
constexpr int kBmpHeader = 54;

uint8_t clampByte(int v)
{
    return uint8_t(std::clamp(v, 0, 255));
}

// Gradients with noise of +-16, like a photo: every byte differs from its neighbours, so nothing
// on the way to the disk can take a shortcut over runs of equal bytes. A fixed start value keeps
// the picture the same from run to run.
QImage photoLikePicture(int width, int height, uint32_t start)
{
    QImage picture(width, height, kPictureFormat);
    uint32_t state = start;
    for (int y = 0; y < height; ++y) {
        uchar *row = picture.scanLine(y);
        for (int x = 0; x < width; ++x, row += 3) {
            state = state * 1664525u + 1013904223u; // Numerical Recipes' LCG; top bits used
            const int n0 = int(state >> 27) - 16;
            const int n1 = int((state >> 22) & 31) - 16;
            const int n2 = int((state >> 17) & 31) - 16;
            row[0] = clampByte(x * 255 / (width - 1) + n0);
            row[1] = clampByte(y * 255 / (height - 1) + n1);
            row[2] = clampByte((x + y) * 255 / (width + height - 2) + n2);
        }
    }
    return picture;
}

// ---------------------------------------------------------------------------------------------
// The plain loop: 24-bit BMP bytes built in a buffer kept from frame to frame, written with stdio.

qsizetype bmpStride(int width)
{
    return (qsizetype(width) * 3 + 3) / 4 * 4;
}

void putLe(std::vector<uint8_t> &file, size_t at, uint32_t v, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        file[at + size_t(i)] = uint8_t(v >> (8 * i));
}

// A whole BMP file of width x height with its header filled and the pixels zero.
std::vector<uint8_t> bmpFile(int width, int height)
{
    const uint32_t imageBytes = uint32_t(bmpStride(width) * height);
    std::vector<uint8_t> file(kBmpHeader + imageBytes, 0);
    file[0] = 'B';
    file[1] = 'M';
    putLe(file, 2, kBmpHeader + imageBytes, 4);
    putLe(file, 10, kBmpHeader, 4);
    putLe(file, 14, 40, 4);
    putLe(file, 18, uint32_t(width), 4);
    putLe(file, 22, uint32_t(height), 4); // positive: rows bottom-up
    putLe(file, 26, 1, 2);
    putLe(file, 28, 24, 2);
    putLe(file, 34, imageBytes, 4);
    putLe(file, 38, 3780, 4); // 96 dpi, as the program writes
    putLe(file, 42, 3780, 4);
    return file;
}

// Copies the width x height area at (x, y) of picture into file's rows, bottom-up.
void cropInto(const QImage &picture, int x, int y, int width, int height,
              std::vector<uint8_t> &file)
{
    const qsizetype stride = bmpStride(width);
    uint8_t *bottom = file.data() + kBmpHeader + (height - 1) * stride;
    for (int row = 0; row < height; ++row)
        std::memcpy(bottom - row * stride, picture.constScanLine(y + row) + 3 * x,
                    size_t(width) * 3);
}

void writePlain(const char *name, const std::vector<uint8_t> &file)
{
    FILE *out = std::fopen(name, "wb");
    if (!out)
        throw std::runtime_error(std::string("cannot create ") + name);
    const bool written = std::fwrite(file.data(), 1, file.size(), out) == file.size();
    if (std::fclose(out) != 0 || !written)
        throw std::runtime_error(std::string("cannot write ") + name);
}

// ---------------------------------------------------------------------------------------------
// The pictures and the jobs

struct Pictures {
    QImage photo = photoLikePicture(kPictureWidth, kPictureHeight, 1);
    QImage blend = photoLikePicture(kMixWidth, kMixHeight, 2).mirrored(true, true);
    QImage mixCut = photo.copy(kMixX, kMixY, kMixWidth, kMixHeight);
    // The plain blended run starts from its 21 files already in memory.
    std::vector<std::vector<uint8_t>> mixFiles;

    Pictures()
    {
        const std::unique_ptr<FrameRun> mixes = MixRun(mixCut, blend, MixKind::Blend);
        for (int k = 1; k <= kMixFrames; ++k) {
            mixFiles.push_back(bmpFile(kMixWidth, kMixHeight));
            cropInto(mixes->frame(k), 0, 0, kMixWidth, kMixHeight, mixFiles.back());
        }
    }
};

const Pictures &pictures()
{
    static const Pictures made;
    return made;
}

// The program's path: the photo in a document, the frame at (x, y), the job's frames written as
// numbered BMP files under base, or, without a writer, only made.
void runOurs(const QRect &frame, CutJob job, const QString &base, bool writing)
{
    PictureDocument document;
    CutFrame cut(frame.size());
    document.load(pictures().photo, cut);
    cut.moveTo(frame.topLeft());
    document.setBlendPicture(pictures().blend, {});
    job.output.path = base;
    const std::unique_ptr<FrameRun> run = MakeFrameRun(document, cut, job);
    if (writing) {
        WriteFrameOutput(*run, job.output);
        return;
    }
    for (int k = 1; k <= run->count(); ++k)
        benchmark::DoNotOptimize(run->frame(k).constBits());
}

CutJob stepping(std::optional<int> step)
{
    CutJob job;
    job.kind = CutKind::Continuous;
    job.step = step;
    return job;
}

// Each job writes its files into folder (which ends without "/").
using Job = std::function<void(const std::string &folder)>;
// The program's runs write as it saves, or make their frames for nobody: what cutting and mixing
// cost alone. The plain loops take how a file is put on disk.
using OursRun = void (*)(const std::string &folder, bool writing);
using PutFile = void (*)(const char *name, const std::vector<uint8_t> &file);
using PlainRun = void (*)(const std::string &folder, PutFile put);

// The program's continuous run, frame moved right one pixel at a time from (0, 0).
void oursContinuous(const std::string &folder, bool writing)
{
    runOurs({0, 0, kTile, kTile}, stepping(1), QString::fromStdString(folder + "/walk"), writing);
}

void plainContinuous(const std::string &folder, PutFile put)
{
    const QImage &photo = pictures().photo;
    std::vector<uint8_t> file = bmpFile(kTile, kTile);
    char name[4096];
    for (int k = 1; k <= kContinuousFrames; ++k) {
        cropInto(photo, k - 1, 0, kTile, kTile, file);
        std::snprintf(name, sizeof name, "%s/walk%03d.bmp", folder.c_str(), k);
        put(name, file);
    }
}

// Tiles as the program makes them: one continuous run per row, stepping a whole tile.
void oursTiles(const std::string &folder, bool writing)
{
    for (int row = 0; row < kTileRows; ++row) {
        const QString base =
            QString::fromStdString(folder) + QStringLiteral("/row%1_").arg(row, 2, 10, QChar(u'0'));
        runOurs({0, row * kTile, kTile, kTile}, stepping(std::nullopt), base, writing);
    }
}

void plainTiles(const std::string &folder, PutFile put)
{
    const QImage &photo = pictures().photo;
    std::vector<uint8_t> file = bmpFile(kTile, kTile);
    char name[4096];
    for (int row = 0; row < kTileRows; ++row) {
        for (int column = 0; column < kTileColumns; ++column) {
            cropInto(photo, column * kTile, row * kTile, kTile, kTile, file);
            std::snprintf(name, sizeof name, "%s/row%02d_%03d.bmp", folder.c_str(), row,
                          column + 1);
            put(name, file);
        }
    }
}

void oursBlend(const std::string &folder, bool writing)
{
    CutJob job;
    job.kind = CutKind::Blend;
    runOurs({kMixX, kMixY, kMixWidth, kMixHeight}, job, QString::fromStdString(folder + "/mix"),
            writing);
}

void plainBlend(const std::string &folder, PutFile put)
{
    char name[4096];
    for (int k = 1; k <= kMixFrames; ++k) {
        std::snprintf(name, sizeof name, "%s/mix%03d.bmp", folder.c_str(), k);
        put(name, pictures().mixFiles[size_t(k - 1)]);
    }
}

// The program's run as it saves.
Job withFiles(OursRun run)
{
    return [run](const std::string &folder) { run(folder, true); };
}

// The program's run with frames handed to nobody: what cutting and mixing cost alone.
Job withoutFiles(OursRun run)
{
    return [run](const std::string &folder) { run(folder, false); };
}

Job plainLoop(PlainRun run, PutFile put)
{
    return [run, put](const std::string &folder) { run(folder, put); };
}

// The plain loop writing through a temporary name and a rename, as the program's writer does:
// what the all-or-nothing rule costs by itself.
void writePlainRenamed(const char *name, const std::vector<uint8_t> &file)
{
    const std::string temporary = std::string(name) + ".tmp";
    writePlain(temporary.c_str(), file);
    if (std::rename(temporary.c_str(), name) != 0)
        throw std::runtime_error(std::string("cannot rename to ") + name);
}

// ---------------------------------------------------------------------------------------------
// Running

std::vector<fs::path> filesIn(const std::string &folder)
{
    std::vector<fs::path> found(fs::directory_iterator(folder), fs::directory_iterator{});
    std::sort(found.begin(), found.end());
    return found;
}

// frames: the frames a job makes; files: those it should leave in its folder.
void runJob(benchmark::State &state, const Job &job, int frames, int files)
{
    std::string folder;
    try {
        for (auto _ : state) {
            state.PauseTiming();
            if (RecycleFolders() && !folder.empty())
                fs::remove_all(folder);
            // The files of the run before reach the disk now rather than during this run.
            ::sync();
            folder = FreshFolder("run");
            state.ResumeTiming();
            job(folder);
        }
    } catch (const std::exception &e) {
        state.SkipWithError(e.what());
        return;
    }
    const int written = int(filesIn(folder).size());
    if (RecycleFolders())
        fs::remove_all(folder);
    if (written != files) {
        state.SkipWithError("wrong number of files written");
        return;
    }
    state.counters["frames"] = frames;
    state.counters["frames/s"] = benchmark::Counter(double(frames) * double(state.iterations()),
                                                    benchmark::Counter::kIsRate);
}

std::string contents(const fs::path &file)
{
    std::string bytes(size_t(fs::file_size(file)), '\0');
    std::ifstream in(file, std::ios::binary);
    in.read(bytes.data(), std::streamsize(bytes.size()));
    return in ? bytes : std::string();
}

// Runs both versions of a job once and compares their files, so the plain loop is known to do
// the same work; false (with a message) when they differ.
bool sameFiles(const char *name, const Job &ours, const Job &plain, int frames)
{
    const std::string a = FreshFolder("check-ours");
    const std::string b = FreshFolder("check-plain");
    ours(a);
    plain(b);
    const std::vector<fs::path> oursFiles = filesIn(a);
    const std::vector<fs::path> plainFiles = filesIn(b);
    bool same = int(oursFiles.size()) == frames && oursFiles.size() == plainFiles.size();
    for (size_t i = 0; same && i < oursFiles.size(); ++i)
        same = oursFiles[i].filename() == plainFiles[i].filename() &&
               contents(oursFiles[i]) == contents(plainFiles[i]);
    std::fprintf(stderr, "%s: %zu files written, %zu by the plain loop, %s\n", name,
                 oursFiles.size(), plainFiles.size(), same ? "identical" : "DIFFERENT");
    return same;
}

struct JobKind {
    const char *name;
    OursRun ours;
    PlainRun plain;
    int frames;
    int iterations; // the continuous run writes about 450 MB an iteration; the others are small
};

const JobKind kJobs[] = {
    {"continuous_1px", oursContinuous, plainContinuous, kContinuousFrames, 1},
    {"tiles", oursTiles, plainTiles, kTiles, 5},
    {"blend_21", oursBlend, plainBlend, kMixFrames, 5},
};

// Each benchmark runs kRepetitions times. Other work on the machine and the state of the file
// system drift during a run, so compare medians, best with --benchmark_enable_random_interleaving
// (as compare_sequence.sh does): the program's run and the plain loop then take turns.
constexpr int kRepetitions = 5;

void registerJob(const std::string &name, const Job &run, const JobKind &job, int files)
{
    const int frames = job.frames;
    benchmark::RegisterBenchmark(
        name.c_str(),
        [run, frames, files](benchmark::State &state) { runJob(state, run, frames, files); })
        ->Iterations(job.iterations)
        ->Repetitions(kRepetitions)
        ->UseRealTime()
        ->Unit(benchmark::kMillisecond);
}

// The pictures as BMP files, for other programs doing the same jobs: the photo, the cut of the
// blended run and its blend picture.
int dumpPictures(const QString &folder)
{
    try {
        QDir().mkpath(folder);
        WriteBmp24File(folder + QStringLiteral("/source.bmp"), pictures().photo);
        WriteBmp24File(folder + QStringLiteral("/mix_cut.bmp"), pictures().mixCut);
        WriteBmp24File(folder + QStringLiteral("/mix_blend.bmp"), pictures().blend);
    } catch (const Failure &e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    std::printf("mix_cut at %d,%d size %dx%d\n", kMixX, kMixY, kMixWidth, kMixHeight);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    KeepPictureMemoryForReuse(); // as the program does at start
    const QByteArray dump = qgetenv("MOKARAN_BENCH_DUMP");
    if (!dump.isEmpty())
        return dumpPictures(QString::fromLocal8Bit(dump));

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    for (const JobKind &job : kJobs) {
        const Job ours = withFiles(job.ours);
        const Job plain = plainLoop(job.plain, writePlain);
        try {
            if (!sameFiles(job.name, ours, plain, job.frames))
                return 1;
        } catch (const std::exception &e) {
            std::fprintf(stderr, "%s: %s\n", job.name, e.what());
            return 1;
        }
        const std::string name = job.name;
        registerJob(name + "/ours", ours, job, job.frames);
        registerJob(name + "/plain_loop", plain, job, job.frames);
        // Where the difference goes: the program's run without files, and the plain loop with
        // the program's temporary file and rename.
        registerJob(name + "/ours_without_files", withoutFiles(job.ours), job, 0);
        registerJob(name + "/plain_loop_with_rename", plainLoop(job.plain, writePlainRenamed), job,
                    job.frames);
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
