// SPDX-License-Identifier: GPL-3.0-or-later
// The bytes of an animated GIF: each frame coded on its own (its control block, its place on the
// canvas, its colour table and its LZW data), so that different ways of coding a frame can be
// weighed by their size, and then the file around the frames chosen, through giflib.
#pragma once

#include <QByteArray>
#include <QRect>
#include <QRgb>
#include <QSize>

#include <vector>

// What a player does with a frame's rectangle before the next frame: leaves it (Keep), makes it
// transparent (Clear), or puts back what was there before the frame (Restore).
enum class GifDisposal { Keep, Clear, Restore };

// The largest colour table, and so the largest number of indices, a GIF frame can have.
inline constexpr int kGifColours = 256;

struct GifFrameCode {
    QRect rect; // on the canvas
    // rect.width() x rect.height(), row after row; rewritten where an alternative was taken
    unsigned char *indices = nullptr;
    const short *alternatives = nullptr;        // null, or each pixel's other index (GifLzwData)
    int indexBits = 1;                          // every index is below 1 << indexBits (1 .. 8)
    const std::vector<QRgb> *colours = nullptr; // its own table; null: the file's global table
    int transparentIndex = -1;                  // -1: none
    GifDisposal disposal = GifDisposal::Keep;
    int delay = 10; // hundredths of a second
};

// The bits an index below count needs: 1 .. 8.
int GifIndexBits(int count);
// The bytes of a colour table holding `colours` entries: a power of two of them, 3 bytes each; 0
// for none.
int GifTableBytes(int colours);

// The frame as the file will hold it: graphic control block, image descriptor, colour table (when
// it has its own) and LZW data, with its alternatives taken as GifLzwData chooses when that codes
// shorter than the indices as they are.
QByteArray CodeGifFrame(const GifFrameCode &frame);

// The whole file: the screen of size with the global table (none when empty), looping forever,
// then the coded frames. Throws Failure.
QByteArray AssembleGif(QSize size, const std::vector<QRgb> &globalColours,
                       const std::vector<QByteArray> &frames);
