// SPDX-License-Identifier: GPL-3.0-or-later
// Reading BMP files: uncompressed ones through Qt's reader in bands of rows, run-length encoded
// ones through our own decoder.
#include "core/image/bmp_reading.h"

#include "core/base/files.h"
#include "core/image/bmp_masks.h"
#include "core/image/picture.h"
#include "core/image/plugin_reading.h"

#include <QBuffer>
#include <QImageReader>

#include <algorithm>
#include <cstring>

namespace {

constexpr quint32 kRgb = 0;
constexpr quint32 kRle8 = 1;
constexpr quint32 kRle4 = 2;
constexpr quint32 kBitFields = 3;
constexpr quint32 kAlphaBitFields = 6;
constexpr int kFileHeaderBytes = 14;
constexpr int kCoreHeaderBytes = 12; // OS/2: 16-bit sizes, never compressed

// Uncompressed files are handed to Qt's reader a band of rows at a time, each band a small BMP of
// its own: Qt refuses files of more than 16384 x 16384 pixels, and pictures whose pixels would
// take more than its allocation limit (128 MB by default) at 32 bits each, which our own limit
// allows; and it widens 24-bit files to 32 bits, which for a whole large picture would take a
// third more memory than the picture itself. A band holds at most this much of the file and
// this many pixels.
constexpr qint64 kBandBytes = 16 << 20;
constexpr qint64 kBandPixels = 16 << 20;

quint32 le16At(const QByteArray &b, qsizetype at)
{
    return quint32(uchar(b[at])) | quint32(uchar(b[at + 1])) << 8;
}

qint32 le32At(const QByteArray &b, qsizetype at)
{
    return qint32(le16At(b, at) | le16At(b, at + 2) << 16);
}

void putLe32At(QByteArray &b, qsizetype at, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = char(v >> (8 * i));
}

struct BmpLayout {
    qint64 width = 0;
    qint64 height = 0; // rows; the file stores them bottom-up unless topDown
    bool topDown = false;
    int infoSize = 0;
    int bitCount = 0;
    quint32 compression = kRgb;
    qint64 dataOffset = 0;
    quint32 coloursUsed = 0;
};

// The header fields that matter before decoding; false when the header is unreadable or holds
// values no BMP has (a bit count Qt does not read, a width or height of 0).
bool readBmpLayout(const QByteArray &b, BmpLayout &layout)
{
    if (b.size() < kFileHeaderBytes + kCoreHeaderBytes || !b.startsWith("BM"))
        return false;
    layout.infoSize = le32At(b, 14);
    layout.dataOffset = quint32(le32At(b, 10));
    if (layout.infoSize == kCoreHeaderBytes) {
        layout.width = le16At(b, 18);
        layout.height = le16At(b, 20);
        layout.bitCount = int(le16At(b, 24));
    } else {
        if (layout.infoSize < 16 || b.size() < kFileHeaderBytes + 16)
            return false;
        layout.width = le32At(b, 18);
        const qint64 height = le32At(b, 22);
        layout.topDown = height < 0;
        layout.height = qAbs(height);
        layout.bitCount = int(le16At(b, 28));
        const bool long40 = layout.infoSize >= 40 && b.size() >= kFileHeaderBytes + 40;
        layout.compression = layout.infoSize >= 20 && b.size() >= 34 ? quint32(le32At(b, 30)) : 0;
        layout.coloursUsed = long40 ? quint32(le32At(b, 46)) : 0;
    }
    const int bits = layout.bitCount;
    const bool knownDepth =
        bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
    return knownDepth && layout.width > 0 && layout.height > 0;
}

bool isRunLength(const BmpLayout &layout)
{
    return (layout.compression == kRle8 && layout.bitCount == 8) ||
           (layout.compression == kRle4 && layout.bitCount == 4);
}

qint64 strideOf(const BmpLayout &layout)
{
    return (layout.width * layout.bitCount + 31) / 32 * 4;
}

[[noreturn]] void refuse(const QString &name, const QString &why)
{
    throw ReadFailure(name, why);
}

void checkCancel(const QString &name, const std::atomic<bool> *cancel)
{
    if (cancel && cancel->load(std::memory_order_relaxed))
        throw Cancelled(ReadFailure(name, CancelledText()).description());
}

// ---------------------------------------------------------------------------------------------
// Run-length encoded files

// The palette of an RLE file as an 8-bit picture's colour table, padded with black to every
// index the depth can name, so that no index in the stream falls outside it.
QList<QRgb> rlePalette(const QByteArray &b, const BmpLayout &layout, const QString &name)
{
    const qint64 possible = qint64(1) << layout.bitCount;
    const qint64 count = layout.coloursUsed ? qint64(layout.coloursUsed) : possible;
    const qint64 start = kFileHeaderBytes + qint64(layout.infoSize);
    if (count > possible || start + 4 * count > b.size() || start + 4 * count > layout.dataOffset)
        refuse(name, DamagedFileText(u"BMP"));
    QList<QRgb> colours;
    for (qint64 i = 0; i < count; ++i) {
        const qsizetype at = qsizetype(start + 4 * i);
        colours << qRgb(uchar(b[at + 2]), uchar(b[at + 1]), uchar(b[at]));
    }
    while (colours.size() < 256)
        colours << qRgb(0, 0, 0);
    return colours;
}

// Reads an RLE4 or RLE8 stream into picture (already index 0 everywhere). Pixels past a row's
// end are dropped, as are rows past the top; the stream ends at its end-of-bitmap code, or once
// every row is done.
class RunLengthDecoder {
  public:
    RunLengthDecoder(const QByteArray &bytes, const BmpLayout &layout, QImage &picture)
        : m_bytes(bytes), m_pos(layout.dataOffset), m_four(layout.bitCount == 4),
          m_topDown(layout.topDown), m_picture(picture)
    {
    }

    // False when the stream ends before its end.
    bool decode()
    {
        while (m_y < m_picture.height()) {
            if (!has(2))
                return false;
            const uchar count = byteAt(0), code = byteAt(1);
            m_pos += 2;
            if (count > 0)
                putRun(count, code);
            else if (code == 0)
                newLine();
            else if (code == 1)
                return true;
            else if (code == 2 ? !jump() : !putAbsolute(code))
                return false;
        }
        return true;
    }

  private:
    bool has(qint64 bytes) const { return m_pos + bytes <= m_bytes.size(); }
    uchar byteAt(qint64 offset) const { return uchar(m_bytes[qsizetype(m_pos + offset)]); }

    void put(uchar index)
    {
        if (m_x < m_picture.width()) {
            const int row = m_topDown ? m_y : m_picture.height() - 1 - m_y;
            m_picture.scanLine(row)[m_x] = index;
        }
        ++m_x;
    }

    // An encoded run: count pixels of one index, or in RLE4 of two alternating ones.
    void putRun(int count, uchar code)
    {
        for (int i = 0; i < count; ++i)
            put(m_four ? uchar(i % 2 ? code & 0x0F : code >> 4) : code);
    }

    // An absolute run of count indexes, padded to a whole 16-bit word in the stream.
    bool putAbsolute(int count)
    {
        const qint64 bytes = m_four ? (count + 1) / 2 : count;
        if (!has(bytes + bytes % 2))
            return false;
        for (int i = 0; i < count; ++i) {
            const uchar b = byteAt(m_four ? i / 2 : i);
            put(m_four ? uchar(i % 2 ? b & 0x0F : b >> 4) : b);
        }
        m_pos += bytes + bytes % 2;
        return true;
    }

    void newLine()
    {
        m_x = 0;
        ++m_y;
    }

    bool jump()
    {
        if (!has(2))
            return false;
        m_x += byteAt(0);
        m_y += byteAt(1);
        m_pos += 2;
        return true;
    }

    const QByteArray &m_bytes;
    qint64 m_pos;
    const bool m_four;
    const bool m_topDown;
    QImage &m_picture;
    qint64 m_x = 0;
    int m_y = 0; // rows from the first one the file stores
};

QImage decodeRunLength(const QByteArray &bytes, const BmpLayout &layout, const QString &name)
{
    if (layout.dataOffset > bytes.size())
        refuse(name, CutShortFileText(u"BMP"));
    // Every pixel costs a byte of the picture, and every pixel is written (to index 0) before the
    // stream is read: refused first when the stream is too short to describe so many.
    if (ExceedsCodedPixels(layout.width, layout.height, bytes.size() - layout.dataOffset))
        refuse(name, TooLittleDataText(u"BMP", layout.width, layout.height));
    QImage picture(int(layout.width), int(layout.height), QImage::Format_Indexed8);
    if (picture.isNull())
        refuse(name, QStringLiteral("メモリが足りません"));
    picture.setColorTable(rlePalette(bytes, layout, name));
    picture.fill(0);
    if (!RunLengthDecoder(bytes, layout, picture).decode())
        refuse(name, CutShortFileText(u"BMP"));
    return picture;
}

// ---------------------------------------------------------------------------------------------
// Uncompressed files

// Qt's reading of a small BMP. Qt's allocation limit is the program's (PreparePictureReading): a
// single row of the widest picture the program takes, at the 32 bits a pixel Qt decodes it to,
// stays within it.
QImage readWithQt(const QByteArray &bytes)
{
    PreparePictureReading();
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "bmp");
    reader.setAutoDetectImageFormat(false); // the extension decided: a BMP or nothing
    return reader.read();
}

// A BMP of its own for rows [first, first + count) in the order the file stores them: the same
// headers and palette, the height made count.
QByteArray bandFile(const QByteArray &bytes, const BmpLayout &layout, qint64 first, qint64 count)
{
    const qint64 stride = strideOf(layout);
    QByteArray band = bytes.left(qsizetype(layout.dataOffset));
    band.append(bytes.constData() + layout.dataOffset + first * stride, qsizetype(count * stride));
    putLe32At(band, 2, quint32(band.size()));
    if (layout.infoSize == kCoreHeaderBytes) {
        band[20] = char(count);
        band[21] = char(count >> 8);
    } else {
        putLe32At(band, 22, quint32(layout.topDown ? -count : count));
        if (layout.infoSize >= 40)
            putLe32At(band, 34, quint32(count * stride));
    }
    return band;
}

// Qt's picture of 24-bit files is 32-bit; they are 24-bit pictures here.
QImage inOwnDepth(QImage picture, const BmpLayout &layout)
{
    if (layout.bitCount == 24 && picture.format() == QImage::Format_RGB32)
        picture = picture.convertToFormat(kPictureFormat);
    return picture;
}

QImage decodeInBands(const QByteArray &bytes, const BmpLayout &layout, const QString &name,
                     const std::atomic<bool> *cancel)
{
    const qint64 rowsPerBand =
        std::max<qint64>(1, std::min(kBandBytes / strideOf(layout), kBandPixels / layout.width));
    if (rowsPerBand >= layout.height) {
        const QImage picture = readWithQt(bytes);
        if (picture.isNull())
            refuse(name, DamagedFileText(u"BMP"));
        return inOwnDepth(picture, layout);
    }
    QImage picture;
    for (qint64 first = 0; first < layout.height; first += rowsPerBand) {
        checkCancel(name, cancel);
        const qint64 count = std::min(rowsPerBand, layout.height - first);
        const QImage band = inOwnDepth(readWithQt(bandFile(bytes, layout, first, count)), layout);
        if (picture.isNull() && !band.isNull()) {
            picture = QImage(int(layout.width), int(layout.height), band.format());
            picture.setColorTable(band.colorTable());
        }
        if (band.isNull() || picture.isNull() || band.format() != picture.format())
            refuse(name, DamagedFileText(u"BMP"));
        // The band's top row is the file's row first + count - 1 when the file runs bottom-up.
        const qint64 top = layout.topDown ? first : layout.height - first - count;
        for (int row = 0; row < band.height(); ++row)
            std::memcpy(picture.scanLine(int(top + row)), band.constScanLine(row),
                        size_t(std::min(band.bytesPerLine(), picture.bytesPerLine())));
    }
    return picture;
}

// 16-bit files and files of colour masks: each channel scaled from its own width to a byte, which
// Qt's reader does not do (it shifts 5-bit channels, so white comes out as 248, and reads some
// masks into the wrong channels).
bool hasMaskedPixels(const BmpLayout &layout)
{
    const bool fields = layout.compression == kBitFields || layout.compression == kAlphaBitFields;
    return (layout.bitCount == 16 && (layout.compression == kRgb || fields)) ||
           (layout.bitCount == 32 && fields);
}

QImage decodeMasked(const QByteArray &bytes, const BmpLayout &layout, const QString &name,
                    const std::atomic<bool> *cancel)
{
    const std::optional<BmpMasks> masks =
        BmpMasksOf(bytes, layout.infoSize, layout.compression, layout.bitCount);
    if (!masks)
        refuse(name, DamagedFileText(u"BMP"));
    const BmpRows rows{reinterpret_cast<const uchar *>(bytes.constData()) + layout.dataOffset,
                       strideOf(layout),
                       int(layout.width),
                       int(layout.height),
                       layout.topDown,
                       layout.bitCount};
    QImage picture = DecodeMaskedPixels(rows, *masks, cancel);
    if (picture.isNull())
        checkCancel(name, cancel);
    return picture;
}

} // namespace

QImage DecodeBmp(const QByteArray &bytes, const QString &name, const std::atomic<bool> *cancel)
{
    BmpLayout layout;
    if (!readBmpLayout(bytes, layout))
        refuse(name, DamagedFileText(u"BMP"));
    if (ExceedsPictureLimit(layout.width, layout.height))
        refuse(name, PictureTooLargeText(layout.width, layout.height));
    if (isRunLength(layout))
        return decodeRunLength(bytes, layout, name);
    const bool masked = hasMaskedPixels(layout);
    if (layout.compression != kRgb && !masked)
        refuse(name, DamagedFileText(u"BMP"));
    // Qt's reader fills the missing rows of a cut-short file with black; refuse it. The layout
    // was checked above, so the sizes here are far from overflowing.
    if (layout.dataOffset + strideOf(layout) * layout.height > bytes.size())
        refuse(name, CutShortFileText(u"BMP"));
    if (masked)
        return decodeMasked(bytes, layout, name, cancel);
    return decodeInBands(bytes, layout, name, cancel);
}
