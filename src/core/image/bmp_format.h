// SPDX-License-Identifier: GPL-3.0-or-later
// Writing BMP files: 24-bit files byte for byte by our own writer, and BmpFrameWriter for runs of
// frames. Reading is in bmp_reading.h.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

#include <functional>

class QIODevice;

// Writes picture as an uncompressed 24-bit BMP: 14-byte file header, 40-byte information header,
// bottom-up rows of blue, green, red, each padded to a multiple of 4 bytes. Pictures of any depth
// are converted on the way. Returns false for a null picture, one too large for the format
// (over 4 GiB), or when the device fails.
bool WriteBmp24(QIODevice &device, const QImage &picture);

// The file versions: written to a temporary file beside the target, then renamed over it, so the
// target is either the old file or the whole new one. Not synced to disk one by one (a sequence
// of thousands of frames would crawl). Throw Failure naming the file on any error.
void WriteBmp24File(const QString &path, const QImage &picture);
// A BMP in the picture's own depth (the whole-picture save).
void WriteBmpOwnDepthFile(const QString &path, const QImage &picture);

// Writes many frames of the same size quickly: the file buffer is kept from one frame to the next,
// so a frame's cost follows its own size. Same atomic rule and errors as WriteBmp24File.
class BmpFrameWriter {
  public:
    void write(const QString &path, const QImage &picture);
    // Writes a width x height frame that fill makes straight in the file's buffer, with no
    // picture in between: fill(rows, stride) gets the rows in the file's order, the frame's
    // bottom row first at rows and each row after it stride bytes further on. Each has width * 3
    // bytes to fill; the padding after them is zero already.
    using RowFiller = std::function<void(uchar *rows, qsizetype stride)>;
    void writeRows(const QString &path, int width, int height, const RowFiller &fill);

  private:
    QByteArray m_buffer;
};
