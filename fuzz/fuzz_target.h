// What every fuzz target shares: the entry point libFuzzer calls, and a use of every decoded
// pixel, so that a checker of uninitialised memory (valgrind on the replayer) sees any pixel a
// reader forgot to write.
#pragma once

#include <QByteArray>
#include <QImage>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

// The input as bytes of its own (a deep copy, so that a read past its end is seen by ASan).
inline QByteArray FuzzInput(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
}

// Reads every byte of the picture's pixels and lets the result decide a branch.
inline void UsePixels(const QImage &picture)
{
    unsigned sum = 0;
    for (int y = 0; y < picture.height(); ++y) {
        const uchar *row = picture.constScanLine(y);
        const qsizetype used = (qsizetype(picture.width()) * picture.depth() + 7) / 8;
        for (qsizetype x = 0; x < used; ++x)
            sum = sum * 31 + row[x];
    }
    static volatile unsigned odd = 0;
    if (sum & 1)
        odd = odd + 1;
}

// Ends the process when a property of the code does not hold, so that the fuzzer reports the
// input that broke it.
inline void Require(bool holds)
{
    if (!holds)
        __builtin_trap();
}
