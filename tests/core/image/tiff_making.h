// SPDX-License-Identifier: GPL-3.0-or-later
// Uncompressed TIFFs built byte by byte, in strips or tiles, with an orientation: the layouts
// Qt's writer never makes, and hostile ones no writer makes.
#pragma once

#include <QByteArray>

#include <algorithm>
#include <functional>
#include <vector>

struct TiffSpec {
    int width = 1;
    int height = 1;
    int samples = 3;  // 1 grey, 3 RGB, 4 RGB and unassociated alpha
    int tileSide = 0; // tiles of tileSide x tileSide (a multiple of 16); 0: strips of one row
    int orientation = 1;
    // Every strip is the same bytes, stored once: a file far smaller than its pixels.
    bool oneStripForAll = false;
    std::function<unsigned char(int x, int y, int sample)> sample = [](int, int, int) {
        return static_cast<unsigned char>(0);
    };
};

inline QByteArray MakeTiff(const TiffSpec &spec)
{
    const auto le = [](unsigned v, int bytes) {
        QByteArray b;
        for (int i = 0; i < bytes; ++i)
            b += char(v >> (8 * i));
        return b;
    };
    const bool tiled = spec.tileSide > 0;
    const int blockWidth = tiled ? spec.tileSide : spec.width;
    const int blockHeight = tiled ? spec.tileSide : 1;
    const int across = (spec.width + blockWidth - 1) / blockWidth;
    const int blocks = across * ((spec.height + blockHeight - 1) / blockHeight);
    const int blockBytes = blockWidth * blockHeight * spec.samples;
    // The pixel data of each block, padded with zeros past the picture's edge as tiles are.
    QByteArray pixels;
    for (int b = 0; b < (spec.oneStripForAll ? 1 : blocks); ++b)
        for (int y = 0; y < blockHeight; ++y)
            for (int x = 0; x < blockWidth; ++x) {
                const int px = b % across * blockWidth + x, py = b / across * blockHeight + y;
                for (int s = 0; s < spec.samples; ++s)
                    pixels +=
                        char(px < spec.width && py < spec.height ? spec.sample(px, py, s) : 0);
            }
    struct Entry {
        unsigned tag, type, count;
        QByteArray value; // 4 bytes inline, or the data stored after the directory
    };
    std::vector<Entry> entries;
    QByteArray offsets, counts, depths;
    for (int b = 0; b < blocks; ++b) {
        offsets += le(0, 4); // set below, once the data's place is known
        counts += le(unsigned(blockBytes), 4);
    }
    for (int s = 0; s < spec.samples; ++s)
        depths += le(8, 2);
    const unsigned entryCount = 10 + (tiled ? 2 : 1) + (spec.samples == 4 ? 1 : 0);
    unsigned at = 8 + 2 + entryCount * 12 + 4; // where out-of-line data starts
    QByteArray tail;
    const auto value = [&](const QByteArray &data) {
        if (data.size() <= 4)
            return data + QByteArray(4 - data.size(), '\0');
        const QByteArray where = le(at + unsigned(tail.size()), 4);
        tail += data;
        return where;
    };
    const unsigned dataAt = at + unsigned(depths.size() > 4 ? depths.size() : 0) +
                            unsigned(blocks > 1 ? 2 * offsets.size() : 0);
    offsets.clear();
    for (int b = 0; b < blocks; ++b)
        offsets += le(dataAt + unsigned(spec.oneStripForAll ? 0 : b * blockBytes), 4);
    entries = {{256, 4, 1, le(unsigned(spec.width), 4)},
               {257, 4, 1, le(unsigned(spec.height), 4)},
               {258, 3, unsigned(spec.samples), value(depths)},
               {259, 3, 1, le(1, 2)},
               {262, 3, 1, le(spec.samples == 1 ? 1 : 2, 2)},
               {tiled ? 324u : 273u, 4, unsigned(blocks), value(offsets)},
               {274, 3, 1, le(unsigned(spec.orientation), 2)},
               {277, 3, 1, le(unsigned(spec.samples), 2)},
               {tiled ? 325u : 279u, 4, unsigned(blocks), value(counts)},
               {284, 3, 1, le(1, 2)}};
    if (tiled) {
        entries.push_back({322, 3, 1, le(unsigned(spec.tileSide), 2)});
        entries.push_back({323, 3, 1, le(unsigned(spec.tileSide), 2)});
    } else {
        entries.push_back({278, 4, 1, le(1, 4)});
    }
    if (spec.samples == 4)
        entries.push_back({338, 3, 1, le(2, 2)});
    std::sort(entries.begin(), entries.end(),
              [](const Entry &a, const Entry &b) { return a.tag < b.tag; });
    QByteArray file = QByteArray("II*\0", 4) + le(8, 4) + le(unsigned(entries.size()), 2);
    for (const Entry &e : entries)
        file += le(e.tag, 2) + le(e.type, 2) + le(e.count, 4) + e.value +
                QByteArray(4 - e.value.size(), '\0');
    return file + le(0, 4) + tail + pixels;
}
