// SPDX-License-Identifier: GPL-3.0-or-later
// The order of an animated GIF's global colour table. A frame's LZW codes start one bit wider
// than its highest index needs, so a frame that draws only colours low in the table is coded in
// fewer bits; the table grows in the order frames first meet colours, which a whole animation
// may then improve on.
#pragma once

#include "core/animation/gif_coding.h"

#include <QByteArray>
#include <QRgb>

#include <vector>

// A frame coded with the global table, kept so that it can be coded again in another order.
struct GlobalTableFrame {
    size_t place = 0;  // among the file's frames
    GifFrameCode code; // rect, bits, transparent index, disposal and delay; no pointers
    std::vector<unsigned char> indices;
    std::vector<short> alternatives; // as GifLzwData takes them
};

// The table ordered with the colours most frames draw first, and those frames coded again in
// it, when the frames then take fewer bytes in all: colours, tableSlots (the indices the written
// table must reach) and frames[place] are replaced, and true is returned. Every frame shows the
// same pixels either way.
bool ReorderGlobalTable(std::vector<QRgb> &colours, int &tableSlots,
                        std::vector<GlobalTableFrame> &coded, std::vector<QByteArray> &frames);
