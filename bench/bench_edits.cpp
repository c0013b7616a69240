// SPDX-License-Identifier: GPL-3.0-or-later
// The whole-picture edits on a 4000 x 3000 photo-like picture, each called as the commands call
// it: the scale command (shrink and enlarge), rotation, blur, sharpen, contrast, gamma and the
// level correction. compare_edits.sh sets them beside ImageMagick on the same pixels.
//
//   build/bench/bench_edits
//   MOKARAN_BENCH_SOURCE=picture.bmp build/bench/bench_edits   writes the picture used, then stops
//
// Every edit runs twice: as the program runs it (its rows split over the cores) and kept to one
// thread (SingleBandScope, as the batch shrink keeps each job), for a comparison with a
// single-threaded program.
#include "core/base/io_error.h"
#include "core/image/bmp_format.h"
#include "core/image/edits.h"
#include "core/image/filters.h"
#include "core/image/parallel.h"
#include "core/image/picture.h"
#include "core/image/rotate.h"

#include <QImage>
#include <QString>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr int kPictureWidth = 4000;
constexpr int kPictureHeight = 3000;

// Smooth gradients, a fine texture (two crossing waves, like fabric or foliage) and noise of
// +-12 per channel, held within 16..235 as a slightly flat photo is: every byte differs from its
// neighbours, the filters see edges everywhere, and the level correction has a range to stretch.
// A fixed start value keeps the picture the same from run to run.
QImage photoLikePicture(int width, int height)
{
    QImage picture(width, height, kPictureFormat);
    std::vector<double> waveX(static_cast<size_t>(width));
    for (int x = 0; x < width; ++x)
        waveX[size_t(x)] = 18.0 * std::sin(x * 0.37);
    uint32_t state = 1;
    for (int y = 0; y < height; ++y) {
        uchar *row = picture.scanLine(y);
        const double waveY = 14.0 * std::sin(y * 0.23);
        for (int x = 0; x < width; ++x, row += 3) {
            state = state * 1664525u + 1013904223u; // Numerical Recipes' LCG; top bits used
            const double texture = waveX[size_t(x)] + waveY;
            const double noise[3] = {double(state >> 27) * 0.75 - 12.0,
                                     double((state >> 22) & 31) * 0.75 - 12.0,
                                     double((state >> 17) & 31) * 0.75 - 12.0};
            const double base[3] = {40.0 + 150.0 * x / (width - 1), 40.0 + 150.0 * y / (height - 1),
                                    40.0 + 150.0 * (x + y) / (width + height - 2)};
            for (int c = 0; c < 3; ++c)
                row[c] = uint8_t(std::clamp(base[c] + texture + noise[c], 16.0, 235.0));
        }
    }
    return picture;
}

const QImage &sourcePicture()
{
    static const QImage picture = photoLikePicture(kPictureWidth, kPictureHeight);
    return picture;
}

struct Edit {
    const char *name;
    int width; // of the result, checked on every run; the height follows the proportion
    int height;
    std::function<QImage(const QImage &)> run;
};

// The edits as the edit commands of the main window and the command line apply them to WorkImage.
std::vector<Edit> edits()
{
    return {
        {"scale_320", 320, 240, [](const QImage &p) { return ScaleToWidth(p, 320); }},
        {"scale_1024", 1024, 768, [](const QImage &p) { return ScaleToWidth(p, 1024); }},
        {"enlarge_6000", 6000, 4500, [](const QImage &p) { return ScaleToWidth(p, 6000); }},
        {"rotate_45", 4950, 4950, [](const QImage &p) { return Rotate(p, 45); }},
        {"blur", kPictureWidth, kPictureHeight,
         [](const QImage &p) { return Filter3x3(p, FilterKind::Blur); }},
        {"sharpen", kPictureWidth, kPictureHeight,
         [](const QImage &p) { return Filter3x3(p, FilterKind::Sharpen); }},
        {"contrast_0.1", kPictureWidth, kPictureHeight,
         [](const QImage &p) { return Contrast(p, 0.1); }},
        {"gamma_2.0", kPictureWidth, kPictureHeight, [](const QImage &p) { return Gamma(p, 2.0); }},
        {"level_correct", kPictureWidth, kPictureHeight,
         [](const QImage &p) { return LevelCorrect(p); }},
    };
}

void runEdit(benchmark::State &state, const Edit &edit, bool oneThread)
{
    const QImage &source = sourcePicture();
    std::optional<SingleBandScope> scope;
    if (oneThread)
        scope.emplace();
    for (auto _ : state) {
        const QImage result = edit.run(source);
        benchmark::DoNotOptimize(result.constBits());
        if (result.width() != edit.width || result.height() != edit.height) {
            state.SkipWithError("the result has the wrong size");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * source.width() * source.height());
}

void registerEdits()
{
    for (const Edit &edit : edits()) {
        for (const bool oneThread : {false, true}) {
            const std::string name = std::string(oneThread ? "one_thread/" : "cores/") + edit.name;
            benchmark::RegisterBenchmark(
                name.c_str(),
                [edit, oneThread](benchmark::State &state) { runEdit(state, edit, oneThread); })
                ->Unit(benchmark::kMillisecond)
                ->Iterations(3)
                ->Repetitions(3)
                ->UseRealTime();
        }
    }
}

} // namespace

int main(int argc, char **argv)
{
    KeepPictureMemoryForReuse(); // as the program does at start
    if (const char *path = std::getenv("MOKARAN_BENCH_SOURCE"); path && *path) {
        try {
            WriteBmp24File(QString::fromLocal8Bit(path), sourcePicture());
        } catch (const Failure &failure) {
            std::fprintf(stderr, "%s\n", failure.what());
            return 1;
        }
        return 0;
    }
    registerEdits();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
