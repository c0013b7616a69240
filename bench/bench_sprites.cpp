// SPDX-License-Identifier: GPL-3.0-or-later
// Sprite sheets both ways: finding the 2,000 sprites of a 4096 x 4096 sheet (on transparency and
// on a flat colour), and packing 3,000 rectangles into an atlas (PackRectangles, the whole search).
//
//   build/bench/bench_sprites
//   MOKARAN_BENCH_DUMP=file.json build/bench/bench_sprites   writes the rectangles packed (the
//       3,000 and the sheet's sprites) with the atlas size we reach for each, then stops; the
//       peers pack the same rectangles in bench/compare_atlas.sh
//
// Before timing, the sprites found are checked against the boxes drawn.
#include "core/animation/rect_packing.h"
#include "core/image/picture.h"
#include "core/sequence/sprite_finding.h"

#include <QFile>
#include <QImage>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <sys/resource.h>
#include <utility>
#include <vector>

namespace {

constexpr int kSheetSide = 4096;
constexpr int kSpriteColumns = 45; // 45 x 45 cells of 91 pixels, 2,000 of them used
constexpr int kSprites = 2000;
constexpr int kCell = kSheetSide / kSpriteColumns;
constexpr int kRectangles = 3000;
// Frames 2 pixels apart and 1 from the edge: the spacing each peer is given too.
const PackingRules kRules{2, 1, false, 8192};

// Numerical Recipes' LCG; a fixed start keeps every run's pictures the same.
struct Random {
    uint32_t state;
    int below(int n)
    {
        state = state * 1664525u + 1013904223u;
        return int((uint64_t(state >> 8) * uint64_t(n)) >> 24);
    }
};

// A sheet of kSprites ellipses of 12 to 80 pixels each way, one in each cell at a random place,
// on transparency or on a flat colour; the boxes drawn, in reading order.
struct Sheet {
    QImage picture;
    std::vector<QRect> boxes;
};

Sheet spriteSheet(bool transparent)
{
    Sheet sheet;
    sheet.picture = QImage(kSheetSide, kSheetSide, QImage::Format_ARGB32);
    sheet.picture.fill(transparent ? qRgba(0, 0, 0, 0) : qRgba(40, 120, 200, 255));
    Random random{12345};
    for (int i = 0; i < kSprites; ++i) {
        const int w = 12 + random.below(69), h = 12 + random.below(69);
        const int x = (i % kSpriteColumns) * kCell + random.below(kCell - w);
        const int y = (i / kSpriteColumns) * kCell + random.below(kCell - h);
        const QRgb colour = qRgba(random.below(200), 255, random.below(256), 255);
        for (int dy = 0; dy < h; ++dy) {
            auto *row = reinterpret_cast<QRgb *>(sheet.picture.scanLine(y + dy));
            for (int dx = 0; dx < w; ++dx) {
                // Inside the ellipse that touches the box's sides: (2dx+1-w)^2/w^2 + ... <= 1.
                const int64_t ex = int64_t(2 * dx + 1 - w) * (2 * dx + 1 - w) * h * h;
                const int64_t ey = int64_t(2 * dy + 1 - h) * (2 * dy + 1 - h) * w * w;
                if (ex + ey <= int64_t(w) * w * h * h)
                    row[x + dx] = colour;
            }
        }
        sheet.boxes.emplace_back(x, y, w, h);
    }
    if (!transparent)
        sheet.picture = To24Bit(sheet.picture);
    return sheet;
}

SpriteSearch searchOn(bool transparent)
{
    SpriteSearch search;
    search.background.kind = transparent ? BackgroundKind::Transparent : BackgroundKind::Corner;
    return search;
}

// Rectangles of 8 to 96 pixels each way, as the frames of a game's atlas vary.
std::vector<QSize> rectangles()
{
    Random random{777};
    std::vector<QSize> sizes;
    for (int i = 0; i < kRectangles; ++i)
        sizes.emplace_back(8 + random.below(89), 8 + random.below(89));
    return sizes;
}

// Every sprite found, each box as drawn, or the benchmark would time something else.
void checkSprites(const Sheet &sheet, bool transparent)
{
    std::vector<QRect> found = FindSprites(sheet.picture, searchOn(transparent));
    std::vector<QRect> drawn = sheet.boxes;
    const auto byCorner = [](const QRect &a, const QRect &b) {
        return std::pair(a.y(), a.x()) < std::pair(b.y(), b.x());
    };
    std::sort(found.begin(), found.end(), byCorner);
    std::sort(drawn.begin(), drawn.end(), byCorner);
    if (found != drawn)
        throw std::runtime_error("the sprites found are not the sprites drawn");
}

// The processor time of every thread of the process so far, in milliseconds: on a machine other
// work shares, wall time tells more about the others than about us.
double processorMs()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

void findSprites(benchmark::State &state, bool transparent)
{
    const Sheet sheet = spriteSheet(transparent);
    checkSprites(sheet, transparent);
    const double start = processorMs();
    for (auto _ : state)
        benchmark::DoNotOptimize(FindSprites(sheet.picture, searchOn(transparent)));
    state.counters["cpu_ms_all_threads"] = (processorMs() - start) / double(state.iterations());
    state.counters["sprites"] = kSprites;
}
BENCHMARK_CAPTURE(findSprites, transparent, true)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(findSprites, flat_colour, false)->Unit(benchmark::kMillisecond)->UseRealTime();

void packRectangles(benchmark::State &state)
{
    const std::vector<QSize> sizes = rectangles();
    Packing packing;
    const double start = processorMs();
    for (auto _ : state)
        packing = PackRectangles(sizes, kRules);
    state.counters["cpu_ms_all_threads"] = (processorMs() - start) / double(state.iterations());
    state.counters["area"] = double(packing.size.width()) * packing.size.height();
    state.counters["width"] = packing.size.width();
    state.counters["height"] = packing.size.height();
}
BENCHMARK(packRectangles)->Unit(benchmark::kMillisecond)->UseRealTime();

// One set of rectangles for the peers: {"name", "padding", "border", "ours": {w, h, ms},
// "sizes": [[w, h], ...]}.
QByteArray setJson(const char *name, const std::vector<QSize> &sizes)
{
    const auto start = std::chrono::steady_clock::now();
    const Packing packing = PackRectangles(sizes, kRules);
    const double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    QByteArray json = QByteArray("{\"name\": \"") + name +
                      "\", \"padding\": " + QByteArray::number(kRules.padding) +
                      ", \"border\": " + QByteArray::number(kRules.border) +
                      ", \"ours\": {\"w\": " + QByteArray::number(packing.size.width()) +
                      ", \"h\": " + QByteArray::number(packing.size.height()) +
                      ", \"ms\": " + QByteArray::number(ms, 'f', 1) + "}, \"sizes\": [";
    for (size_t i = 0; i < sizes.size(); ++i)
        json += (i ? ", [" : "[") + QByteArray::number(sizes[i].width()) + ", " +
                QByteArray::number(sizes[i].height()) + "]";
    return json + "]}";
}

int dumpSets(const QString &path)
{
    std::vector<QSize> sprites;
    for (const QRect &box : spriteSheet(true).boxes)
        sprites.push_back(box.size());
    const std::vector<QSize> all = rectangles();
    const std::vector<QSize> few(all.begin(), all.begin() + 200);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return 1;
    file.write("[" + setJson("3000 rectangles", rectangles()) + ",\n" +
               setJson("2000 sheet sprites", sprites) + ",\n" + setJson("200 rectangles", few) +
               "]\n");
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    const QByteArray dump = qgetenv("MOKARAN_BENCH_DUMP");
    if (!dump.isEmpty())
        return dumpSets(QString::fromLocal8Bit(dump));
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
