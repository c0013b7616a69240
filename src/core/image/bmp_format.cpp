// SPDX-License-Identifier: GPL-3.0-or-later
// Writing BMP files: our own 24-bit writer, and Qt's for other depths.
#include "core/image/bmp_format.h"

#include "core/base/atomic_file.h"
#include "core/base/files.h"
#include "core/image/picture.h"

#include <QBuffer>
#include <QImageWriter>

#include <cstring>

namespace {

constexpr int kBmpHeaderBytes = 14 + 40;
// 96 dpi, the resolution Qt writes into BMP files.
constexpr quint32 kPixelsPerMetre = 3780;

void putLe16(uchar *&p, quint32 v)
{
    p[0] = uchar(v);
    p[1] = uchar(v >> 8);
    p += 2;
}

void putLe32(uchar *&p, quint32 v)
{
    putLe16(p, v & 0xffff);
    putLe16(p, v >> 16);
}

qint64 bmp24Stride(int width)
{
    return (qint64(width) * 3 + 3) / 4 * 4;
}

// The whole file's size, or -1 when no BMP can hold the size (none, or a file over 4 GiB).
qint64 bmp24FileSize(int width, int height)
{
    if (width <= 0 || height <= 0)
        return -1;
    const qint64 size = kBmpHeaderBytes + bmp24Stride(width) * height;
    return size > 0xffffffffLL ? -1 : size;
}

// Puts the file header and the info header (kBmpHeaderBytes) of a width x height 24-bit file at
// out.
void putBmp24Header(int width, int height, uchar *out)
{
    const quint32 imageBytes = quint32(bmp24Stride(width) * height);
    uchar *p = out;
    *p++ = 'B';
    *p++ = 'M';
    putLe32(p, kBmpHeaderBytes + imageBytes);
    putLe32(p, 0); // two reserved words
    putLe32(p, kBmpHeaderBytes);
    putLe32(p, 40);
    putLe32(p, quint32(width));
    putLe32(p, quint32(height)); // positive: rows run bottom-up
    putLe16(p, 1);               // planes
    putLe16(p, 24);
    putLe32(p, 0); // BI_RGB
    putLe32(p, imageBytes);
    putLe32(p, kPixelsPerMetre);
    putLe32(p, kPixelsPerMetre);
    putLe32(p, 0); // colours used
    putLe32(p, 0); // important colours
}

// Fills out (bmp24FileSize bytes) with the file; picture must be 24-bit.
void fillBmp24(const QImage &bgr, uchar *out)
{
    putBmp24Header(bgr.width(), bgr.height(), out);
    const qint64 stride = bmp24Stride(bgr.width());
    const size_t rowBytes = size_t(bgr.width()) * 3;
    uchar *p = out + kBmpHeaderBytes;
    for (int y = bgr.height() - 1; y >= 0; --y, p += stride) {
        std::memcpy(p, bgr.constScanLine(y), rowBytes);
        std::memset(p + rowBytes, 0, size_t(stride) - rowBytes);
    }
}

} // namespace

bool WriteBmp24(QIODevice &device, const QImage &picture)
{
    const QImage bgr = To24Bit(picture);
    const qint64 size = bmp24FileSize(bgr.width(), bgr.height());
    if (size < 0)
        return false;
    QByteArray bytes(qsizetype(size), Qt::Uninitialized);
    fillBmp24(bgr, reinterpret_cast<uchar *>(bytes.data()));
    return device.write(bytes) == size;
}

void WriteBmp24File(const QString &path, const QImage &picture)
{
    BmpFrameWriter().write(path, picture);
}
void WriteBmpOwnDepthFile(const QString &path, const QImage &picture)
{
    if (picture.isNull())
        throw WriteFailure(path, NoPictureText());
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    // Qt's writer keeps 1- and 8-bit palette pictures and writes 32-bit ones as 24-bit.
    QImageWriter writer(&buffer, "bmp");
    if (!writer.write(picture))
        throw WriteFailure(path, writer.errorString());
    WriteFileAtomically(path, bytes);
}

void BmpFrameWriter::write(const QString &path, const QImage &picture)
{
    const QImage bgr = To24Bit(picture);
    if (bgr.isNull())
        throw WriteFailure(path, NoPictureText());
    const qint64 size = bmp24FileSize(bgr.width(), bgr.height());
    if (size < 0)
        throw WriteFailure(path, PictureTooLargeText(bgr.width(), bgr.height()));
    // Same-size frames reuse the buffer: resize to an unchanged size never reallocates.
    m_buffer.resize(qsizetype(size));
    fillBmp24(bgr, reinterpret_cast<uchar *>(m_buffer.data()));
    WriteFileAtomically(path, QByteArrayView(m_buffer.constData(), size));
}

void BmpFrameWriter::writeRows(const QString &path, int width, int height, const RowFiller &fill)
{
    const qint64 size = bmp24FileSize(width, height);
    if (size < 0)
        throw WriteFailure(path, width <= 0 || height <= 0 ? NoPictureText()
                                                           : PictureTooLargeText(width, height));
    m_buffer.resize(qsizetype(size));
    uchar *const file = reinterpret_cast<uchar *>(m_buffer.data());
    putBmp24Header(width, height, file);
    uchar *const rows = file + kBmpHeaderBytes;
    const qsizetype stride = qsizetype(bmp24Stride(width));
    const size_t rowBytes = size_t(width) * 3;
    if (size_t(stride) != rowBytes) {
        for (int row = 0; row < height; ++row)
            std::memset(rows + row * stride + rowBytes, 0, size_t(stride) - rowBytes);
    }
    fill(rows, stride);
    WriteFileAtomically(path, QByteArrayView(m_buffer.constData(), size));
}
