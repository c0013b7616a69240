// SPDX-License-Identifier: GPL-3.0-or-later
// What the seed generator's files share: writing a seed, bytes in little-endian order, the
// writers of each group of seeds.
#pragma once

#include <QByteArray>
#include <QString>

// Writes bytes as OUT/target/name; a failure ends the generator.
void put(const QString &target, const QString &name, const QByteArray &bytes);

inline void putLe(QByteArray &b, qsizetype at, quint32 value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        b[at + i] = char(value >> (8 * i));
}

// The bytes of a string literal, NUL bytes inside it included.
template <size_t size> QByteArray raw(const char (&bytes)[size])
{
    return QByteArray(bytes, qsizetype(size - 1));
}

inline QByteArray le(quint32 value, int bytes)
{
    QByteArray b(bytes, '\0');
    putLe(b, 0, value, bytes);
    return b;
}

// A small baseline colour JPEG.
QByteArray SmallJpeg();

// The pictures of the kinds beyond BMP and JPEG, the whole reading path, and the writers.
void writePictureSeeds();
// Inputs too large for a corpus, for measuring (bench/compare_hostile.sh).
void writeLargePictureFiles();
