// SPDX-License-Identifier: GPL-3.0-or-later
// The colours of a GIF frame: those it holds exactly, and the nearest in a table.
#include "core/animation/gif_colours.h"

#include <QHash>

#include <climits>

// The frame's opaque colours in the order met, at most limit, and each pixel's place among them
// (0 for a transparent pixel); false when the frame has more.
bool ExactColours(const QImage &frame, int limit, std::vector<QRgb> &colours,
                  std::vector<unsigned char> &ids)
{
    QHash<QRgb, unsigned char> index;
    ids.resize(size_t(frame.width()) * size_t(frame.height()));
    unsigned char *to = ids.data();
    QRgb last = 0;
    unsigned char lastId = 0;
    for (int y = 0; y < frame.height(); ++y) {
        const auto *p = reinterpret_cast<const QRgb *>(frame.constScanLine(y));
        for (int x = 0; x < frame.width(); ++x, ++to) {
            if (qAlpha(p[x]) == 0) {
                *to = 0;
                continue;
            }
            if (p[x] != last || colours.empty()) {
                auto found = index.constFind(p[x]);
                if (found == index.constEnd()) {
                    if (int(colours.size()) == limit)
                        return false;
                    found = index.insert(p[x], (unsigned char)colours.size());
                    colours.push_back(p[x]);
                }
                last = p[x];
                lastId = found.value();
            }
            *to = lastId;
        }
    }
    return true;
}

int NearestOpaque(const std::vector<QRgb> &colours, QRgb pixel, int transparentIndex)
{
    int best = 0;
    long bestDistance = LONG_MAX;
    for (int i = 0; i < int(colours.size()); ++i) {
        if (i == transparentIndex)
            continue;
        const long distance =
            SquaredDistance(qRed(pixel), qGreen(pixel), qBlue(pixel), colours[size_t(i)]);
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return best;
}
