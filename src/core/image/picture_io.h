// Reading and writing pictures: BMP and JPEG, every file written whole or not at all.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QImage>
#include <QString>

#include <functional>
#include <vector>

class QIODevice;

enum class PictureKind { Bmp, Jpeg, Unknown };

// The kind of a file by its name's extension alone, letter case ignored: .bmp, .jpg, .jpeg.
PictureKind PictureKindOf(const QString &path);

// Reads a picture as the import dialog does. A JPEG gives a 24-bit picture (full scale, accurate
// integer IDCT); a BMP keeps the file's own depth (an 8-bit file gives an 8-bit palette picture).
// Throws Failure with a clear Japanese description naming the file when it cannot be opened, is
// damaged or truncated, or would take more than 1 GiB decoded.
QImage ReadPicture(const QString &path);
QImage ReadJpeg(const QString &path);
QImage ReadBmp(const QString &path);

// Decodes JPEG bytes (the same rules as ReadJpeg; name is used in messages only).
QImage DecodeJpeg(const QByteArray &bytes, const QString &name);

// Encodes a picture as a baseline colour JPEG at the given quality with the codec's other defaults.
QByteArray EncodeJpeg(const QImage &picture, int quality = 90);

// For a batch of many pictures, where fresh memory per file costs more than the work on a small
// one: the same reading, decoding and encoding into buffers the caller keeps from file to file.
// Each buffer is replaced only when a larger one is needed.
// - ReadFileInto: the whole file into bytes (the rules and errors of ReadJpeg).
// - DecodeJpegInto: decodes as DecodeJpeg does into pixels; the picture returned views that memory
//   (rows padded to 4 bytes) and stays valid until pixels is changed.
// - EncodeJpegInto: the stream of EncodeJpeg into out (sized to the stream). Throws Failure.
void ReadFileInto(const QString &path, QByteArray &bytes);
QImage DecodeJpegInto(QByteArrayView bytes, const QString &name, std::vector<uchar> &pixels);
void EncodeJpegInto(const QImage &picture, int quality, QByteArray &out);

// Writes picture as an uncompressed 24-bit BMP: 14-byte file header, 40-byte information header,
// bottom-up rows of blue, green, red, each padded to a multiple of 4 bytes. Pictures of any depth
// are converted on the way. Returns false for a null picture, one too large for the format
// (over 4 GiB), or when the device fails.
bool WriteBmp24(QIODevice &device, const QImage &picture);

// The file versions: written to a temporary file beside the target, then renamed over it, so the
// target is either the old file or the whole new one. Not synced to disk one by one (a sequence
// of thousands of frames would crawl). Throw Failure naming the file on any error.
void WriteBmp24File(const QString &path, const QImage &picture);
void WriteJpegFile(const QString &path, const QImage &picture, int quality = 90);
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
