// SPDX-License-Identifier: GPL-3.0-or-later
// The order of an animated GIF's global colour table.
#include "core/animation/gif_table_order.h"

#include "core/animation/gif_lzw.h"

#include <algorithm>
#include <array>
#include <bitset>
#include <numeric>

namespace {

// The colours a frame cannot do without: those of pixels that have no alternative.
std::bitset<kGifColours> mandatoryColours(const GlobalTableFrame &frame)
{
    std::bitset<kGifColours> mandatory;
    const int t = frame.code.transparentIndex;
    for (size_t i = 0; i < frame.indices.size(); ++i) {
        if (frame.indices[i] != t && frame.alternatives[i] == kNoAlternative)
            mandatory[frame.indices[i]] = true;
    }
    return mandatory;
}

// The frame in the new order: the lowest index its colours leave free is its transparent one,
// and a pixel whose colour no longer fits in its bits takes its alternative.
QByteArray codeAgain(GlobalTableFrame &frame, const std::array<int, kGifColours> &newIndexOf,
                     int &transparentIndex)
{
    const int t = frame.code.transparentIndex;
    std::bitset<kGifColours> taken;
    int top = 0;
    const std::bitset<kGifColours> mandatory = mandatoryColours(frame);
    for (int g = 0; g < kGifColours; ++g) {
        if (mandatory[size_t(g)]) {
            taken[size_t(newIndexOf[size_t(g)])] = true;
            top = std::max(top, newIndexOf[size_t(g)] + 1);
        }
    }
    transparentIndex = -1;
    if (t >= 0) {
        transparentIndex = 0;
        while (taken[size_t(transparentIndex)])
            ++transparentIndex;
        top = std::max(top, transparentIndex + 1);
    }
    const int bits = GifIndexBits(top);
    const int limit = 1 << bits;
    auto mapped = [&](int index) {
        return index == kNoAlternative ? int(kNoAlternative)
               : index == t            ? transparentIndex
                                       : newIndexOf[size_t(index)];
    };
    std::vector<unsigned char> indices(frame.indices.size());
    std::vector<short> alternatives(frame.indices.size(), kNoAlternative);
    for (size_t i = 0; i < indices.size(); ++i) {
        int own = mapped(frame.indices[i]);
        int other = mapped(frame.alternatives[i]);
        if (own >= limit) // a colour the pixel may do without: transparency stands in
            own = std::exchange(other, kNoAlternative);
        indices[i] = (unsigned char)own;
        if (other < limit)
            alternatives[i] = short(other);
    }
    GifFrameCode code = frame.code;
    code.indexBits = bits;
    code.transparentIndex = transparentIndex;
    code.indices = indices.data();
    code.alternatives = alternatives.data();
    return CodeGifFrame(code);
}

// What a frame's coding costs in an order of the table, as far as the order goes: the width its
// codes start at, times about how many codes it has.
struct FrameNeeds {
    std::vector<int> colours; // mandatory, by index in the table as it was
    bool transparent = false;
    double codes = 0;
};

int startWidth(const FrameNeeds &frame, const std::array<int, kGifColours> &newIndexOf)
{
    std::bitset<kGifColours> taken;
    int top = 0;
    for (const int g : frame.colours) {
        taken[size_t(newIndexOf[size_t(g)])] = true;
        top = std::max(top, newIndexOf[size_t(g)] + 1);
    }
    if (frame.transparent) {
        int t = 0;
        while (taken[size_t(t)])
            ++t;
        top = std::max(top, t + 1);
    }
    return std::max(2, GifIndexBits(top)) + 1;
}

// Swaps of two colours while any makes the frames cheaper, from the order given. A swap changes
// only the frames that draw either colour, which alone are weighed again; a few rounds at most,
// and none for tables and animations so large that a round would cost more than coding.
void improveOrder(const std::vector<FrameNeeds> &frames, std::array<int, kGifColours> &newIndexOf,
                  int n)
{
    constexpr int kRounds = 4;
    constexpr double kMostWork = 2e6;
    std::vector<std::vector<int>> drawnBy(static_cast<size_t>(n)); // frames, by colour
    double work = 0;
    for (int f = 0; f < int(frames.size()); ++f) {
        for (const int g : frames[size_t(f)].colours)
            drawnBy[size_t(g)].push_back(f);
        work += double(n) * double(frames[size_t(f)].colours.size()) *
                double(frames[size_t(f)].colours.size() + 1);
    }
    if (work > kMostWork)
        return;
    std::vector<int> width(frames.size());
    for (size_t f = 0; f < frames.size(); ++f)
        width[f] = startWidth(frames[f], newIndexOf);
    std::vector<int> affected, newWidth(frames.size());
    std::vector<char> marked(frames.size(), 0);
    for (int round = 0; round < kRounds; ++round) {
        bool better = false;
        for (int a = 0; a < n; ++a) {
            for (int b = a + 1; b < n; ++b) {
                affected.clear();
                for (const int g : {a, b}) {
                    for (const int f : drawnBy[size_t(g)]) {
                        if (!marked[size_t(f)]) {
                            marked[size_t(f)] = 1;
                            affected.push_back(f);
                        }
                    }
                }
                if (affected.empty())
                    continue;
                std::swap(newIndexOf[size_t(a)], newIndexOf[size_t(b)]);
                double change = 0;
                for (const int f : affected) {
                    marked[size_t(f)] = 0;
                    newWidth[size_t(f)] = startWidth(frames[size_t(f)], newIndexOf);
                    change += frames[size_t(f)].codes * (newWidth[size_t(f)] - width[size_t(f)]);
                }
                if (change < 0) {
                    better = true;
                    for (const int f : affected)
                        width[size_t(f)] = newWidth[size_t(f)];
                } else {
                    std::swap(newIndexOf[size_t(a)], newIndexOf[size_t(b)]);
                }
            }
        }
        if (!better)
            break;
    }
}

} // namespace

bool ReorderGlobalTable(std::vector<QRgb> &colours, int &tableSlots,
                        std::vector<GlobalTableFrame> &coded, std::vector<QByteArray> &frames)
{
    const int n = int(colours.size());
    if (n < 2 || coded.empty())
        return false;
    // The colours most frames need first; then those most pixels need; then as they were.
    std::array<long long, kGifColours> framesDrawing{}, pixelsDrawing{};
    std::vector<FrameNeeds> needs;
    needs.reserve(coded.size());
    for (const GlobalTableFrame &frame : coded) {
        const std::bitset<kGifColours> mandatory = mandatoryColours(frame);
        FrameNeeds need;
        for (int g = 0; g < n; ++g) {
            if (mandatory[size_t(g)]) {
                ++framesDrawing[size_t(g)];
                need.colours.push_back(g);
            }
        }
        need.transparent = frame.code.transparentIndex >= 0;
        need.codes =
            8.0 * double(frames[frame.place].size()) / (std::max(2, frame.code.indexBits) + 1);
        needs.push_back(std::move(need));
        for (const unsigned char index : frame.indices) {
            if (index < n && index != frame.code.transparentIndex)
                ++pixelsDrawing[index];
        }
    }
    std::vector<int> order(size_t(n), 0);
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        if (framesDrawing[size_t(a)] != framesDrawing[size_t(b)])
            return framesDrawing[size_t(a)] > framesDrawing[size_t(b)];
        return pixelsDrawing[size_t(a)] > pixelsDrawing[size_t(b)];
    });
    std::array<int, kGifColours> newIndexOf{};
    for (int i = 0; i < n; ++i)
        newIndexOf[size_t(order[size_t(i)])] = i;
    for (int g = n; g < kGifColours; ++g)
        newIndexOf[size_t(g)] = g; // slots beyond the colours hold none
    improveOrder(needs, newIndexOf, n);

    qsizetype before = GifTableBytes(tableSlots), after = 0;
    int newSlots = n;
    std::vector<QByteArray> again;
    again.reserve(coded.size());
    for (GlobalTableFrame &frame : coded) {
        before += frames[frame.place].size();
        int transparentIndex = -1;
        again.push_back(codeAgain(frame, newIndexOf, transparentIndex));
        after += again.back().size();
        newSlots = std::max(newSlots, transparentIndex + 1);
    }
    after += GifTableBytes(newSlots);
    if (after >= before)
        return false;
    std::vector<QRgb> reordered(colours.size());
    for (int g = 0; g < n; ++g)
        reordered[size_t(newIndexOf[size_t(g)])] = colours[size_t(g)];
    colours = std::move(reordered);
    tableSlots = newSlots;
    for (size_t i = 0; i < coded.size(); ++i)
        frames[coded[i].place] = std::move(again[i]);
    return true;
}
