// SPDX-License-Identifier: GPL-3.0-or-later
// A GIF frame's pixels in a palette chosen for it.
#include "core/animation/gif_remap.h"

#include "core/animation/gif_canvas.h"
#include "core/animation/gif_colours.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>

namespace {

// Measured on the photographic animations of bench/make_gif_corpus.sh: two steps of refining the
// palette to the part give 0.3 to 0.55 dB more than none, a third under 0.1 dB more; and the
// means of every fourth pixel (every other one of every other row, staggered) move the colours
// as far as those of all, in a quarter of the time.
constexpr int kRefinements = 2;
constexpr int kRefiningStep = 2;

// The nearest opaque colour of a palette. The colour cube is cut into cells of 8 x 8 x 8 values;
// a cell first met gets the colours that can be nearest to some point in it (those no farther
// from the cell than the farthest point of the cell is from the colour nearest to all of it), and
// later pixels in the cell look only at those, a few of the palette's colours.
class NearestColour {
  public:
    NearestColour(const std::vector<QRgb> &palette, int transparentIndex)
        : m_palette(palette), m_cellStart(size_t(1) << (3 * kCellBits), kUnknown)
    {
        for (int i = 0; i < int(palette.size()); ++i) {
            if (i != transparentIndex)
                m_opaque.push_back(i);
        }
    }

    // The palette index nearest (r, g, b), and its squared distance; -1 with no opaque colour.
    int find(int r, int g, int b, int &distance)
    {
        const size_t cell = (size_t(r >> kCellShift) << (2 * kCellBits)) |
                            (size_t(g >> kCellShift) << kCellBits) | size_t(b >> kCellShift);
        if (m_cellStart[cell] == kUnknown)
            m_cellStart[cell] = candidatesOf(r >> kCellShift, g >> kCellShift, b >> kCellShift);
        int best = -1;
        distance = INT_MAX;
        // The candidates come nearest the cell's middle first: once one is farther from the
        // middle than the best so far plus the pixel's own way from the middle, so are the rest.
        const float cr = float(((r >> kCellShift) << kCellShift) + kHalfSide);
        const float cg = float(((g >> kCellShift) << kCellShift) + kHalfSide);
        const float cb = float(((b >> kCellShift) << kCellShift) + kHalfSide);
        const float fromMiddle =
            std::sqrt((r - cr) * (r - cr) + (g - cg) * (g - cg) + (b - cb) * (b - cb));
        float reach = INFINITY;
        for (int at = m_cellStart[cell]; m_candidates[size_t(at)].index >= 0; ++at) {
            const Candidate &candidate = m_candidates[size_t(at)];
            if (candidate.fromMiddle > reach)
                break;
            const int d = SquaredDistance(r, g, b, m_palette[size_t(candidate.index)]);
            if (d < distance) {
                distance = d;
                best = candidate.index;
                reach = std::sqrt(float(d)) + fromMiddle;
            }
        }
        return best;
    }

  private:
    static constexpr int kCellBits = 4;
    static constexpr int kCellShift = 8 - kCellBits;
    static constexpr int kUnknown = -2;
    static constexpr float kHalfSide = ((1 << kCellShift) - 1) / 2.0f;
    struct Candidate {
        int index;
        float fromMiddle; // its distance from the middle of the cell
    };

    // The candidates of a cell, in m_candidates from the place returned, ended by -1.
    int candidatesOf(int cr, int cg, int cb)
    {
        const int side = (1 << kCellShift) - 1;
        const std::array<int, 3> low{cr << kCellShift, cg << kCellShift, cb << kCellShift};
        auto range = [&](QRgb colour, int &nearest, int &farthest) {
            const std::array<int, 3> c{qRed(colour), qGreen(colour), qBlue(colour)};
            nearest = farthest = 0;
            for (size_t k = 0; k < 3; ++k) {
                const int below = low[k] - c[k], above = c[k] - (low[k] + side);
                const int gap = std::max({below, above, 0});
                nearest += gap * gap;
                const int far = std::max(std::abs(c[k] - low[k]), std::abs(c[k] - low[k] - side));
                farthest += far * far;
            }
        };
        int bound = INT_MAX;
        for (const int index : m_opaque) {
            int nearest = 0, farthest = 0;
            range(m_palette[size_t(index)], nearest, farthest);
            bound = std::min(bound, farthest);
        }
        const int start = int(m_candidates.size());
        for (const int index : m_opaque) {
            int nearest = 0, farthest = 0;
            const QRgb colour = m_palette[size_t(index)];
            range(colour, nearest, farthest);
            if (nearest > bound)
                continue;
            const float dr = float(qRed(colour)) - (float(low[0]) + kHalfSide);
            const float dg = float(qGreen(colour)) - (float(low[1]) + kHalfSide);
            const float db = float(qBlue(colour)) - (float(low[2]) + kHalfSide);
            m_candidates.push_back({index, std::sqrt(dr * dr + dg * dg + db * db)});
        }
        std::sort(
            m_candidates.begin() + start, m_candidates.end(),
            [](const Candidate &a, const Candidate &b) { return a.fromMiddle < b.fromMiddle; });
        m_candidates.push_back({-1, INFINITY});
        return start;
    }

    const std::vector<QRgb> &m_palette;
    std::vector<int> m_opaque;
    std::vector<int> m_cellStart;
    std::vector<Candidate> m_candidates;
};

// Each colour moved to the mean of the pixels nearest to it that the player would not keep as
// shown (Round half up), as a step of k-means does: the palette was chosen for the whole frame,
// the part may be a corner of it.
void refine(const QImage &part, const QImage &shown, std::vector<QRgb> &palette,
            int transparentIndex)
{
    NearestColour nearest(palette, transparentIndex);
    std::vector<std::array<long long, 4>> sums(palette.size(), {0, 0, 0, 0});
    for (int y = 0; y < part.height(); y += kRefiningStep) {
        const QRgb *p = GifRow(part, y), *s = GifRow(shown, y);
        for (int x = (y / kRefiningStep) % kRefiningStep; x < part.width(); x += kRefiningStep) {
            if (qAlpha(p[x]) == 0)
                continue;
            const int r = qRed(p[x]), g = qGreen(p[x]), b = qBlue(p[x]);
            int distance = 0;
            const int index = nearest.find(r, g, b, distance);
            if (index < 0 || (qAlpha(s[x]) != 0 && SquaredDistance(r, g, b, s[x]) <= distance))
                continue;
            std::array<long long, 4> &sum = sums[size_t(index)];
            sum[0] += r;
            sum[1] += g;
            sum[2] += b;
            ++sum[3];
        }
    }
    for (size_t i = 0; i < palette.size(); ++i) {
        const std::array<long long, 4> &sum = sums[i];
        if (sum[3] > 0)
            palette[i] =
                qRgb(int((sum[0] + sum[3] / 2) / sum[3]), int((sum[1] + sum[3] / 2) / sum[3]),
                     int((sum[2] + sum[3] / 2) / sum[3]));
    }
}

} // namespace

RemappedPixels RemapToPalette(const QImage &part, const QImage &shown,
                              const std::vector<QRgb> &palette, int transparentIndex, float dither)
{
    RemappedPixels out;
    out.colours = palette;
    for (int i = 0; i < kRefinements; ++i)
        refine(part, shown, out.colours, transparentIndex);
    NearestColour nearest(out.colours, transparentIndex);
    const int w = part.width();
    out.indices.resize(size_t(w) * size_t(part.height()));
    // Floyd and Steinberg's weights, scaled by dither: the error of this row and of the next, with
    // a pixel of margin on either side.
    std::vector<std::array<float, 3>> error(size_t(w) + 2, {0, 0, 0}), next = error;
    unsigned char *to = out.indices.data();
    for (int y = 0; y < part.height(); ++y) {
        std::swap(error, next);
        std::fill(next.begin(), next.end(), std::array<float, 3>{0, 0, 0});
        const QRgb *p = GifRow(part, y), *s = GifRow(shown, y);
        for (int x = 0; x < w; ++x, ++to) {
            if (qAlpha(p[x]) == 0) {
                *to = (unsigned char)transparentIndex;
                continue;
            }
            const std::array<float, 3> &carried = error[size_t(x) + 1];
            const int r = std::clamp(int(float(qRed(p[x])) + carried[0] + 0.5f), 0, 255);
            const int g = std::clamp(int(float(qGreen(p[x])) + carried[1] + 0.5f), 0, 255);
            const int b = std::clamp(int(float(qBlue(p[x])) + carried[2] + 0.5f), 0, 255);
            int distance = 0;
            int index = nearest.find(r, g, b, distance);
            QRgb chosen = index >= 0 ? out.colours[size_t(index)] : s[x];
            if (index < 0 || (qAlpha(s[x]) != 0 && SquaredDistance(r, g, b, s[x]) <= distance)) {
                index = transparentIndex;
                chosen = s[x];
            }
            *to = (unsigned char)index;
            if (dither <= 0)
                continue;
            const std::array<float, 3> e{dither * float(r - qRed(chosen)),
                                         dither * float(g - qGreen(chosen)),
                                         dither * float(b - qBlue(chosen))};
            for (size_t k = 0; k < 3; ++k) {
                error[size_t(x) + 2][k] += e[k] * (7.0f / 16);
                next[size_t(x)][k] += e[k] * (3.0f / 16);
                next[size_t(x) + 1][k] += e[k] * (5.0f / 16);
                next[size_t(x) + 2][k] += e[k] * (1.0f / 16);
            }
        }
    }
    return out;
}
