// SPDX-License-Identifier: GPL-3.0-or-later
// The choices a writer's fuzz target makes from its input: numbers in a range, then pictures of
// any format whose pixels are the bytes that are left.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>

#include <algorithm>

class FuzzBytes {
  public:
    explicit FuzzBytes(const QByteArray &bytes) : m_bytes(bytes) {}

    // A number from lo to hi, both included, from the next two bytes, or three for a range
    // wider than two can tell (lo when they are gone).
    int take(int lo, int hi)
    {
        int v = 0;
        for (int i = 0; i < (hi - lo > 0xFFFF ? 3 : 2); ++i)
            v = v << 8 | (m_pos < m_bytes.size() ? uchar(m_bytes[m_pos++]) : 0);
        return lo + v % (hi - lo + 1);
    }

    bool flag() { return take(0, 1) == 1; }

    // A picture of size in one of the formats pictures reach the writers in, its pixels the
    // input's bytes from here on, over and over (a little texture when there are none).
    QImage picture(QSize size)
    {
        static const QImage::Format kFormats[] = {
            QImage::Format_BGR888,   QImage::Format_ARGB32,
            QImage::Format_RGB32,    QImage::Format_ARGB32_Premultiplied,
            QImage::Format_Indexed8, QImage::Format_Grayscale8,
            QImage::Format_Mono,     QImage::Format_RGB888};
        const QImage::Format format = kFormats[take(0, std::size(kFormats) - 1)];
        QImage picture(size, format);
        if (format == QImage::Format_Indexed8 || format == QImage::Format_Mono) {
            QList<QRgb> colours;
            for (int i = 0; i < (format == QImage::Format_Mono ? 2 : 256); ++i)
                colours << qRgba(next(i), next(i + 1), next(i + 2), next(i + 3));
            picture.setColorTable(colours);
        }
        for (int y = 0; y < picture.height(); ++y) {
            uchar *row = picture.scanLine(y);
            for (qsizetype x = 0; x < picture.bytesPerLine(); ++x)
                row[x] = next(int(x) * 7 + y);
        }
        return picture;
    }

  private:
    uchar next(int salt)
    {
        if (m_pos >= m_bytes.size())
            return uchar(salt * 37);
        return uchar(m_bytes[m_pos++]);
    }

    QByteArray m_bytes;
    qsizetype m_pos = 0;
};
