// SPDX-License-Identifier: GPL-3.0-or-later
// What every fuzz target shares: the entry point libFuzzer calls, and a use of every decoded
// pixel, so that a checker of uninitialised memory (valgrind on the replayer) sees any pixel a
// reader forgot to write.
#pragma once

#include <QByteArray>
#include <QImage>

#include <algorithm>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

// The input as bytes of its own (a deep copy, so that a read past its end is seen by ASan).
inline QByteArray FuzzInput(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
}

// Reads the bytes of the picture's pixels and lets the result decide a branch: every row of a
// small picture; of a large one (a few bytes of RLE may declare 16 million pixels) rows spread
// over it, about a megabyte in all, so that the fuzzer spends its time on new inputs.
inline void UsePixels(const QImage &picture)
{
    const qsizetype used = (qsizetype(picture.width()) * picture.depth() + 7) / 8;
    const qsizetype budget = qsizetype(1) << 20;
    const int step = used * picture.height() > budget
                         ? int(std::max<qsizetype>(1, used * picture.height() / budget))
                         : 1;
    unsigned sum = 0;
    for (int y = 0; y < picture.height(); y += step) {
        const uchar *row = picture.constScanLine(y);
        for (qsizetype x = 0; x < used; ++x)
            sum = sum * 31 + row[x];
    }
    static volatile unsigned odd = 0;
    if (sum & 1)
        odd = odd + 1;
}

// What every command does next with a picture read, on at most its top-left 1024 x 1024.
inline QImage Corner(const QImage &picture)
{
    return picture.width() <= 1024 && picture.height() <= 1024 ? picture
                                                               : picture.copy(0, 0, 1024, 1024);
}

// Ends the process when a property of the code does not hold, so that the fuzzer reports the
// input that broke it.
inline void Require(bool holds)
{
    if (!holds)
        __builtin_trap();
}
