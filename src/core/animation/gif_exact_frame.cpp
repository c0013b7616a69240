// SPDX-License-Identifier: GPL-3.0-or-later
// The ways a GIF frame of few colours can give its colours indices.
#include "core/animation/gif_exact_frame.h"

#include "core/animation/gif_canvas.h"
#include "core/animation/gif_coding.h"
#include "core/animation/gif_lzw.h"

#include <algorithm>
#include <array>
#include <bitset>
#include <optional>

namespace {

// The ids of the colours the frame draws, the most drawn first; true when it needs a
// transparent index.
bool usage(const ExactFrame &frame, bool keptTransparent, std::vector<int> &used)
{
    const QRect &r = frame.rect;
    std::array<int, kGifColours> drawn{};
    // A frame the player clears names a transparent index even when it draws none: players
    // clear to it, where without one some fill the screen's background colour instead.
    bool transparent = frame.cleared;
    const unsigned char *kept = frame.kept.data();
    for (int y = r.top(); y <= r.bottom(); ++y) {
        const QRgb *p = GifRow(frame.pixels, y);
        const unsigned char *id = frame.ids.data() + size_t(y) * size_t(frame.pixels.width());
        for (int x = r.left(); x <= r.right(); ++x, ++kept) {
            if (qAlpha(p[x]) == 0 || *kept == kKeptClose || (keptTransparent && *kept))
                transparent = true;
            else
                ++drawn[id[x]];
        }
    }
    for (int id = 0; id < int(frame.colours.size()); ++id) {
        if (drawn[size_t(id)] > 0)
            used.push_back(id);
    }
    std::stable_sort(used.begin(), used.end(),
                     [&](int a, int b) { return drawn[size_t(a)] > drawn[size_t(b)]; });
    return transparent;
}

// The indices by colour id (kNoAlternative: none) in a table of the frame's own.
std::optional<ExactIndexing> ownTable(const ExactFrame &frame, const std::vector<int> &used,
                                      bool transparent, std::array<short, kGifColours> &indexOf)
{
    if (int(used.size()) + (transparent ? 1 : 0) > kGifColours)
        return std::nullopt;
    ExactIndexing indexing;
    for (const int id : used) {
        indexOf[size_t(id)] = short(indexing.own.size());
        indexing.own.push_back(frame.colours[size_t(id)]);
    }
    if (transparent)
        indexing.transparentIndex = int(indexing.own.size());
    indexing.indexBits = GifIndexBits(int(indexing.own.size()) + (transparent ? 1 : 0));
    return indexing;
}

// The same in the global table, which gains the colours it lacks; none when it has no room.
std::optional<ExactIndexing> globalTable(const ExactFrame &frame, const GifGlobalTable &global,
                                         const std::vector<int> &used, bool transparent,
                                         std::array<short, kGifColours> &indexOf)
{
    ExactIndexing indexing;
    indexing.inGlobalTable = true;
    std::bitset<kGifColours> taken;
    int top = 0;
    for (const int id : used) {
        const QRgb colour = frame.colours[size_t(id)];
        int index = global.indexOf.value(colour, -1);
        if (index < 0) {
            index = int(global.colours.size() + indexing.appended.size());
            if (index >= kGifColours)
                return std::nullopt;
            indexing.appended.push_back(colour);
        }
        indexOf[size_t(id)] = short(index);
        taken[size_t(index)] = true;
        top = std::max(top, index + 1);
    }
    // A colour the table holds already may stand where the player keeps it, though the frame
    // need not draw it.
    for (size_t id = 0; id < frame.colours.size(); ++id) {
        const int index = global.indexOf.value(frame.colours[id], -1);
        if (indexOf[id] == kNoAlternative && index >= 0 && index < top)
            indexOf[id] = short(index);
    }
    if (transparent) {
        int free = 0;
        while (free < kGifColours && taken[size_t(free)])
            ++free;
        if (free == kGifColours)
            return std::nullopt;
        indexing.transparentIndex = free;
        top = std::max(top, free + 1);
    }
    indexing.indexBits = GifIndexBits(top);
    return indexing;
}

// Each pixel's index; where the player keeps the pixel, the other of its colour's index and the
// transparent one, when the indexing has both, is its alternative.
void index(const ExactFrame &frame, bool keptTransparent,
           const std::array<short, kGifColours> &indexOf, ExactIndexing &indexing)
{
    const QRect &r = frame.rect;
    const size_t count = size_t(r.width()) * size_t(r.height());
    indexing.indices.resize(count);
    indexing.alternatives.assign(count, kNoAlternative);
    unsigned char *to = indexing.indices.data();
    short *alternative = indexing.alternatives.data();
    const unsigned char *kept = frame.kept.data();
    const short t = short(indexing.transparentIndex);
    for (int y = r.top(); y <= r.bottom(); ++y) {
        const QRgb *p = GifRow(frame.pixels, y);
        const unsigned char *id = frame.ids.data() + size_t(y) * size_t(frame.pixels.width());
        for (int x = r.left(); x <= r.right(); ++x, ++kept, ++alternative) {
            const short own = indexOf[size_t(id[x])];
            if (qAlpha(p[x]) == 0) {
                *to++ = (unsigned char)t;
            } else if (!*kept) {
                *to++ = (unsigned char)own;
            } else if (*kept == kKeptClose) {
                *to++ = (unsigned char)t; // drawn, it would show another pixel than kept
            } else {
                const bool clear = keptTransparent || own == kNoAlternative;
                *to++ = (unsigned char)(clear ? t : own);
                if (t >= 0 && own != kNoAlternative)
                    *alternative = clear ? own : t;
            }
        }
    }
}

} // namespace

std::vector<ExactIndexing> ExactIndexings(const ExactFrame &frame, const GifGlobalTable &global)
{
    std::vector<ExactIndexing> indexings;
    for (const bool keptTransparent : {true, false}) {
        std::vector<int> used;
        const bool transparent = usage(frame, keptTransparent, used);
        for (const bool inGlobal : {true, false}) {
            std::array<short, kGifColours> indexOf;
            indexOf.fill(kNoAlternative);
            std::optional<ExactIndexing> indexing =
                inGlobal ? globalTable(frame, global, used, transparent, indexOf)
                         : ownTable(frame, used, transparent, indexOf);
            if (!indexing)
                continue;
            index(frame, keptTransparent, indexOf, *indexing);
            indexings.push_back(std::move(*indexing));
        }
    }
    return indexings;
}
