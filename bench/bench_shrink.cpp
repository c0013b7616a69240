// SPDX-License-Identifier: GPL-3.0-or-later
// The batch JPEG shrink over a folder of photographs, beside a plain libjpeg loop doing the same
// work: how much the program's run (the listing, ReadFileInto, DecodeJpegInto, SizeWithLongerSide,
// ResizeAverage, EncodeJpegInto, the temporary file and rename, the workers) costs over the bare
// decode, average, encode and write. compare_shrink.sh sets it beside other programs.
//
//   MOKARAN_BENCH_MAKE=folder build/bench/bench_shrink    writes the input pictures, then stops
//   MOKARAN_BENCH_INPUT=folder build/bench/bench_shrink --benchmark_repetitions=3
//
// The input folder holds 24 photo-like 4000 x 3000 JPEGs (big_NN.jpg), 24 of 1600 x 1200
// (small_NN.jpg), quality 90 and 4:2:0, and a jpeg.dat listing "jpg". Without MOKARAN_BENCH_INPUT
// the pictures are made in the temporary folder first. Each set is shrunk on its own, to 200 and
// to 1024: a benchmark's time is one run over the 24 files of its set, and ms_per_file divides it.
// Five ways: ours_1_worker (RunShrink with one worker, whose ResizeAverage may still split its rows
// over the cores), ours_1_thread (the same kept to one thread), ours_2_workers, plain_loop (one
// thread) and plain_loop_2_threads (the files shared out between two threads).
// Each run writes into a new folder (after a sync outside the timing) under one temporary folder
// (TMPDIR, else /tmp), removed when the program ends. Before timing, the program's run and the
// plain loop shrink each set once and their files are compared byte for byte.
#include "bench_support.h"
#include "core/base/io_error.h"
#include "core/batch/shrink.h"
#include "core/image/jpeg_codec.h"
#include "core/image/parallel.h"
#include "core/image/picture.h"
#include "core/image/picture_reading.h"
#include "core/image/resize.h"

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

#include <jpeglib.h> // after <cstdio>: it needs FILE and size_t declared

namespace {

namespace fs = std::filesystem;

constexpr int kFilesPerSet = 24;

struct PictureSet {
    const char *name;   // in the benchmark names
    const char *prefix; // of the file names
    int width;
    int height;
};

const PictureSet kSets[] = {{"12MP", "big_", 4000, 3000}, {"2MP", "small_", 1600, 1200}};
const int kTargets[] = {200, 1024};

// ---------------------------------------------------------------------------------------------
// The input pictures

// A mixing hash of a pixel's position: the same noise for the same seed on every run.
uint32_t hashOf(uint32_t x, uint32_t y, uint32_t seed)
{
    uint32_t h = x * 0x9E3779B1u ^ y * 0x85EBCA77u ^ seed * 0xC2B2AE3Du;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    return h ^ (h >> 15);
}

// Waves along one axis, as a table: a slow swell (light over a landscape) and a finer ripple
// (texture: foliage, fabric), each with its own frequency and phase per picture.
struct AxisWaves {
    std::vector<float> swell;
    std::vector<float> ripple;
    std::vector<float> grain; // a few pixels long: grass, hair, gravel

    AxisWaves(int length, uint32_t seed)
    {
        const double slow = 2.0 + seed % 3, fine = 0.05 + 0.01 * (seed % 7), phase = seed * 0.7;
        for (int i = 0; i < length; ++i) {
            const double t = double(i) / length;
            swell.push_back(float(std::sin(6.283 * slow * t + phase)));
            ripple.push_back(float(std::sin(fine * i + phase) + 0.5 * std::sin(2.9 * fine * i)));
            grain.push_back(float(std::sin((0.9 + 0.05 * (seed % 5)) * i + phase)));
        }
    }
};

// The tone of the coarse patch holding (x, y): patches of about 1/12 of the picture whose edges
// wave, so that they fall across the 8 x 8 blocks as a photo's objects do.
float patchTone(int x, int y, int width, int height, uint32_t seed)
{
    const int cellX = (x + int(20 * std::sin(y * 0.01))) * 12 / width;
    const int cellY = (y + int(20 * std::sin(x * 0.013))) * 9 / height;
    return float(int(hashOf(uint32_t(cellX + 1), uint32_t(cellY + 1), seed) % 61) - 30);
}

uint8_t toByte(float v)
{
    return uint8_t(std::clamp(v, 0.0f, 255.0f));
}

// Gradients, patches, texture and sensor-like noise (strong in the light, weak in the colours):
// at quality 90 a 4000 x 3000 picture takes some 3 to 5 MB, as a photograph does.
QImage photoLikePicture(int width, int height, uint32_t seed)
{
    QImage picture(width, height, kPictureFormat);
    const AxisWaves across(width, seed), down(height, seed + 17);
    for (int y = 0; y < height; ++y) {
        uchar *row = picture.scanLine(y);
        float tone = 0;
        for (int x = 0; x < width; ++x, row += 3) {
            if (x % 16 == 0) // the patch changes slowly: looked up once per 16 pixels
                tone = patchTone(x, y, width, height, seed);
            const uint32_t h = hashOf(uint32_t(x), uint32_t(y), seed);
            const float light = 110 + 50 * across.swell[size_t(x)] * down.swell[size_t(y)] + tone +
                                14 * across.ripple[size_t(x)] * down.ripple[size_t(y)] +
                                8 * across.grain[size_t(x)] * down.grain[size_t(y)] *
                                    (1 + across.swell[size_t(x)]) +
                                float(int(h & 15) + int((h >> 4) & 15) - 30) * 0.9f;
            const float tint = 0.3f * tone + 30 * down.swell[size_t(y)];
            const float chroma = float(int((h >> 8) & 7) - 4);
            row[0] = toByte(light - 0.6f * tint + chroma + 40.0f * y / height); // blue
            row[1] = toByte(light + 0.2f * tint);                               // green
            row[2] = toByte(light + tint - chroma);                             // red
        }
    }
    return picture;
}

std::string setFileName(const PictureSet &set, int k)
{
    char name[64];
    std::snprintf(name, sizeof name, "%s%02d.jpg", set.prefix, k);
    return name;
}

void writeBytes(const std::string &path, const char *bytes, size_t size)
{
    std::ofstream out(path, std::ios::binary);
    out.write(bytes, std::streamsize(size));
    if (!out.flush())
        throw std::runtime_error("cannot write " + path);
}

// The 48 pictures and the extension file; returns the total size of the pictures in bytes.
long long makeInputFolder(const std::string &folder)
{
    fs::create_directories(folder);
    long long total = 0;
    for (const PictureSet &set : kSets) {
        for (int k = 1; k <= kFilesPerSet; ++k) {
            const uint32_t seed = uint32_t(k * 2 + (set.width > 2000 ? 0 : 1));
            const QByteArray jpeg =
                EncodeJpeg(photoLikePicture(set.width, set.height, seed), kJpegQuality);
            writeBytes(folder + "/" + setFileName(set, k), jpeg.constData(), size_t(jpeg.size()));
            total += jpeg.size();
        }
    }
    const std::string listing = "\"1\",\"1\",\"JPEG\",\"jpg\"\r\n";
    writeBytes(folder + "/jpeg.dat", listing.data(), listing.size());
    return total;
}

// ---------------------------------------------------------------------------------------------
// The plain loop: libjpeg called directly, one file after another, its objects and buffers kept
// from file to file. An error ends the program (libjpeg's own error_exit): this is a yardstick,
// not a tool.

struct PlainCodec {
    jpeg_error_mgr errors{};
    jpeg_decompress_struct in{};
    jpeg_compress_struct out{};
    std::vector<unsigned char> file;
    std::vector<unsigned char> pixels;

    PlainCodec()
    {
        in.err = jpeg_std_error(&errors);
        out.err = &errors;
        jpeg_create_decompress(&in);
        jpeg_create_compress(&out);
    }
    ~PlainCodec()
    {
        jpeg_destroy_decompress(&in);
        jpeg_destroy_compress(&out);
    }
    PlainCodec(const PlainCodec &) = delete;
    PlainCodec &operator=(const PlainCodec &) = delete;
};

void readWhole(const std::string &path, std::vector<unsigned char> &bytes)
{
    FILE *in = std::fopen(path.c_str(), "rb");
    if (!in)
        throw std::runtime_error("cannot open " + path);
    std::fseek(in, 0, SEEK_END);
    bytes.resize(size_t(std::ftell(in)));
    std::fseek(in, 0, SEEK_SET);
    const bool read = std::fread(bytes.data(), 1, bytes.size(), in) == bytes.size();
    std::fclose(in);
    if (!read)
        throw std::runtime_error("cannot read " + path);
}

// Full-scale accurate decode into codec.pixels (rows padded to 4 bytes, as the program's); the
// picture returned views that memory.
QImage plainDecode(PlainCodec &codec)
{
    jpeg_decompress_struct &in = codec.in;
    jpeg_mem_src(&in, codec.file.data(), static_cast<unsigned long>(codec.file.size()));
    jpeg_read_header(&in, TRUE);
    in.out_color_space = JCS_EXT_BGR;
    in.dct_method = JDCT_ISLOW;
    jpeg_start_decompress(&in);
    const int width = int(in.output_width), height = int(in.output_height);
    const qsizetype stride = (qsizetype(width) * 3 + 3) / 4 * 4;
    codec.pixels.resize(std::max(codec.pixels.size(), size_t(stride) * size_t(height)));
    while (in.output_scanline < in.output_height) {
        JSAMPROW row = codec.pixels.data() + stride * qsizetype(in.output_scanline);
        jpeg_read_scanlines(&in, &row, 1);
    }
    jpeg_finish_decompress(&in);
    return QImage(codec.pixels.data(), width, height, stride, kPictureFormat);
}

// Baseline quality-90 encode with libjpeg's defaults (4:2:0), written with stdio.
void plainEncodeAndWrite(PlainCodec &codec, const QImage &picture, const std::string &target)
{
    jpeg_compress_struct &out = codec.out;
    unsigned char *buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&out, &buffer, &size);
    out.image_width = JDIMENSION(picture.width());
    out.image_height = JDIMENSION(picture.height());
    out.input_components = 3;
    out.in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(&out);
    jpeg_set_quality(&out, kJpegQuality, TRUE);
    jpeg_start_compress(&out, TRUE);
    while (out.next_scanline < out.image_height) {
        auto row = const_cast<JSAMPROW>(picture.constScanLine(int(out.next_scanline)));
        jpeg_write_scanlines(&out, &row, 1);
    }
    jpeg_finish_compress(&out);
    FILE *file = std::fopen(target.c_str(), "wb");
    const bool written = file && std::fwrite(buffer, 1, size, file) == size;
    const bool closed = file && std::fclose(file) == 0;
    std::free(buffer);
    if (!written || !closed)
        throw std::runtime_error("cannot write " + target);
}

void plainShrinkFile(PlainCodec &codec, const std::string &source, const std::string &target, int T)
{
    readWhole(source, codec.file);
    const QImage decoded = plainDecode(codec);
    const QSize size = SizeWithLongerSide(decoded.size(), T);
    plainEncodeAndWrite(codec, ResizeAverage(size.width(), size.height(), decoded), target);
}

// The files of a set: sorted full paths.
std::vector<std::string> jpegFilesIn(const std::string &folder)
{
    std::vector<std::string> found;
    for (const fs::directory_entry &entry : fs::directory_iterator(folder))
        if (entry.path().extension() == ".jpg")
            found.push_back(entry.path().string());
    std::sort(found.begin(), found.end());
    return found;
}

// threads workers take the files in order; each keeps to its own thread (SingleBandScope) as the
// program's workers do, so one thread means one core.
void plainLoop(const std::string &sourceFolder, const std::string &targetFolder, int T, int threads)
{
    const std::vector<std::string> sources = jpegFilesIn(sourceFolder);
    std::atomic<size_t> next{0};
    std::atomic<bool> failed{false};
    auto work = [&] {
        const SingleBandScope oneBand;
        PlainCodec codec;
        try {
            for (size_t i = 0; !failed && (i = next++) < sources.size();)
                plainShrinkFile(codec, sources[i],
                                targetFolder + "/" + fs::path(sources[i]).filename().string(), T);
        } catch (const std::exception &e) {
            std::fprintf(stderr, "%s\n", e.what());
            failed = true;
        }
    };
    std::vector<std::thread> others;
    for (int t = 1; t < threads; ++t)
        others.emplace_back(work);
    work();
    for (std::thread &thread : others)
        thread.join();
    if (failed)
        throw std::runtime_error("the plain loop failed");
}

// ---------------------------------------------------------------------------------------------
// The program's run

std::string g_extensionsFile; // jpeg.dat of the input folder

void oursRun(const std::string &sourceFolder, const std::string &targetFolder, int T, int workers)
{
    ShrinkJob job;
    job.sourceFolder = QString::fromStdString(sourceFolder);
    job.destinationFolder = QString::fromStdString(targetFolder);
    job.longerSide = T;
    job.extensionsFile = QString::fromStdString(g_extensionsFile);
    job.workers = workers;
    const ShrinkResult result = RunShrink(job);
    if (result.filesWritten != result.filesFound || result.filesFound == 0)
        throw std::runtime_error("the program's run skipped files: " +
                                 result.failures.join(u'\n').toStdString());
}

// One worker kept to its thread: ResizeAverage does not split its rows over the cores either.
void oursOneThread(const std::string &sourceFolder, const std::string &targetFolder, int T)
{
    const SingleBandScope oneBand;
    oursRun(sourceFolder, targetFolder, T, 1);
}

using Way = std::function<void(const std::string &source, const std::string &target, int T)>;

struct NamedWay {
    const char *name;
    Way run;
};

const std::vector<NamedWay> &ways()
{
    static const std::vector<NamedWay> all = {
        {"ours_1_worker", [](auto &s, auto &t, int T) { oursRun(s, t, T, 1); }},
        {"ours_1_thread", oursOneThread},
        {"ours_2_workers", [](auto &s, auto &t, int T) { oursRun(s, t, T, 2); }},
        {"plain_loop", [](auto &s, auto &t, int T) { plainLoop(s, t, T, 1); }},
        {"plain_loop_2_threads", [](auto &s, auto &t, int T) { plainLoop(s, t, T, 2); }},
    };
    return all;
}

// ---------------------------------------------------------------------------------------------
// Running

// The files of one set in a folder of their own (hard links where the file system allows).
std::string setFolder(const std::string &input, const PictureSet &set)
{
    const std::string folder = FreshFolder(std::string("input-") + set.name);
    for (int k = 1; k <= kFilesPerSet; ++k) {
        const std::string name = setFileName(set, k);
        std::error_code linkError;
        fs::create_hard_link(input + "/" + name, folder + "/" + name, linkError);
        if (linkError)
            fs::copy_file(input + "/" + name, folder + "/" + name);
    }
    return folder;
}

void runWay(benchmark::State &state, const Way &way, const std::string &source, int T)
{
    using Clock = std::chrono::steady_clock;
    Clock::duration spent{};
    std::string folder;
    try {
        for (auto _ : state) {
            state.PauseTiming();
            ::sync(); // the files of the run before reach the disk now rather than during this run
            folder = FreshFolder("run");
            state.ResumeTiming();
            const Clock::time_point start = Clock::now();
            way(source, folder, T);
            spent += Clock::now() - start;
        }
    } catch (const std::exception &e) {
        state.SkipWithError(e.what());
        return;
    }
    if (jpegFilesIn(folder).size() != size_t(kFilesPerSet)) {
        state.SkipWithError("wrong number of files written");
        return;
    }
    const double ms = std::chrono::duration<double, std::milli>(spent).count();
    state.counters["files"] = kFilesPerSet;
    state.counters["ms_per_file"] = ms / double(state.iterations()) / kFilesPerSet;
}

std::string contents(const std::string &file)
{
    std::vector<unsigned char> bytes;
    readWhole(file, bytes);
    return std::string(bytes.begin(), bytes.end());
}

// Runs the program (two workers) and the plain loop once and compares their files: the plain
// loop is then known to do the same work. False (with a message) when they differ.
bool sameFiles(const std::string &label, const std::string &source, int T)
{
    const std::string a = FreshFolder("check-ours"), b = FreshFolder("check-plain");
    oursRun(source, a, T, 2);
    plainLoop(source, b, T, 1);
    const std::vector<std::string> oursFiles = jpegFilesIn(a), plainFiles = jpegFilesIn(b);
    bool same = oursFiles.size() == size_t(kFilesPerSet) && oursFiles.size() == plainFiles.size();
    for (size_t i = 0; same && i < oursFiles.size(); ++i)
        same = fs::path(oursFiles[i]).filename() == fs::path(plainFiles[i]).filename() &&
               contents(oursFiles[i]) == contents(plainFiles[i]);
    std::fprintf(stderr, "%s: %zu files written, %zu by the plain loop, %s\n", label.c_str(),
                 oursFiles.size(), plainFiles.size(), same ? "identical" : "DIFFERENT");
    return same;
}

// Checks and registers every set, target and way; false when a check fails.
bool registerAll(const std::string &input)
{
    for (const PictureSet &set : kSets) {
        const std::string source = setFolder(input, set);
        for (const int T : kTargets) {
            const std::string label = std::string("shrink_") + set.name + "/T" + std::to_string(T);
            if (!sameFiles(label, source, T))
                return false;
            for (const NamedWay &way : ways()) {
                const Way run = way.run;
                benchmark::RegisterBenchmark(
                    (label + "/" + way.name).c_str(),
                    [run, source, T](benchmark::State &state) { runWay(state, run, source, T); })
                    ->Iterations(1)
                    ->UseRealTime()
                    ->Unit(benchmark::kMillisecond);
            }
        }
    }
    return true;
}

int makeOnly(const std::string &folder)
{
    try {
        const long long bytes = makeInputFolder(folder);
        std::printf("%d pictures in %s, %.1f MB\n", 2 * kFilesPerSet, folder.c_str(), bytes / 1e6);
    } catch (const std::exception &e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    KeepPictureMemoryForReuse(); // as the program does at start
    const QByteArray make = qgetenv("MOKARAN_BENCH_MAKE");
    if (!make.isEmpty())
        return makeOnly(make.toStdString());

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    try {
        std::string input = qgetenv("MOKARAN_BENCH_INPUT").toStdString();
        if (input.empty()) {
            input = FreshFolder("pictures");
            std::fprintf(stderr, "making the pictures in %s\n", input.c_str());
            makeInputFolder(input);
        }
        g_extensionsFile = input + "/jpeg.dat";
        if (!registerAll(input))
            return 1;
    } catch (const std::exception &e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
