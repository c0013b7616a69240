// Picture files: JPEG through libjpeg, BMP through Qt and our own writer, saved atomically.
#include "core/image/picture_io.h"

#include "core/base/atomic_file.h"
#include "core/base/files.h"
#include "core/image/picture.h"

#include <QBuffer>
#include <QImageReader>
#include <QImageWriter>

#include <csetjmp>
#include <cstdio> // jpeglib.h uses FILE and size_t without including their headers
#include <cstdlib>
#include <cstring>
#include <new>

#include <jpeglib.h>
// After jpeglib.h, which it needs.
#include <jerror.h>

#ifndef JCS_EXTENSIONS
#error "libjpeg-turbo is needed: pictures are decoded straight into blue, green, red rows"
#endif

namespace {

// Real progressive files have around ten scans; thousands of empty scans only make decoding crawl.
constexpr int kMaxScans = 500;
constexpr int kBmpHeaderBytes = 14 + 40;
// 96 dpi, the resolution Qt writes into BMP files.
constexpr quint32 kPixelsPerMetre = 3780;

[[noreturn]] void failRead(const QString &path, const QString &why)
{
    throw ReadFailure(path, why);
}

[[noreturn]] void failWrite(const QString &path, const QString &why)
{
    throw WriteFailure(path, why);
}

// A file larger than any picture we would decode is refused unread; a pipe is read to its end.
constexpr FileReading kPictureFileReading{.limit = kMaxPictureBytes};

void readWholeFileInto(const QString &path, QByteArray &data)
{
    try {
        ReadFile(path, data, kPictureFileReading);
    } catch (const Failure &failure) {
        failRead(path, failure.description());
    }
}

QByteArray readWholeFile(const QString &path)
{
    QByteArray data;
    readWholeFileInto(path, data);
    return data;
}

// ---------------------------------------------------------------------------------------------
// libjpeg errors. libjpeg's C frames must never see a C++ exception, so a failure jumps back to
// the setjmp in the function that called libjpeg; that function holds no object with a
// destructor, and its caller destroys the libjpeg object and throws.

struct JpegErrors {
    jpeg_error_mgr mgr; // first member: libjpeg hands back a pointer to it
    jmp_buf jump;
    int code; // libjpeg's message code of the failure, or one of ours below
};

constexpr int kTooManyScans = -1; // shown as damage, like any other broken stream

[[noreturn]] void jumpOut(j_common_ptr info, int code)
{
    auto *errors = reinterpret_cast<JpegErrors *>(info->err);
    errors->code = code;
    std::longjmp(errors->jump, 1);
}

[[noreturn]] void onJpegError(j_common_ptr info)
{
    jumpOut(info, info->err->msg_code);
}

// These warnings mean the picture data is damaged or cut short: libjpeg would carry on and fill
// the rest with grey, which the user would take for the picture.
bool isDamageWarning(int code)
{
    switch (code) {
    case JWRN_JPEG_EOF:
    case JWRN_HIT_MARKER:
    case JWRN_HUFF_BAD_CODE:
    case JWRN_MUST_RESYNC:
    case JWRN_NOT_SEQUENTIAL:
    case JWRN_BOGUS_PROGRESSION:
#if JPEG_LIB_VERSION >= 70 || defined(D_ARITH_CODING_SUPPORTED)
    case JWRN_ARITH_BAD_CODE:
#endif
        return true;
    default: return false;
    }
}

void onJpegMessage(j_common_ptr info, int level)
{
    if (level < 0 && isDamageWarning(info->err->msg_code))
        onJpegError(info);
}

void onJpegOutput(j_common_ptr) {} // nothing on standard error

void onJpegProgress(j_common_ptr info)
{
    if (info->is_decompressor &&
        reinterpret_cast<j_decompress_ptr>(info)->input_scan_number > kMaxScans)
        jumpOut(info, kTooManyScans);
}

void initErrors(JpegErrors &errors)
{
    jpeg_std_error(&errors.mgr);
    errors.mgr.error_exit = onJpegError;
    errors.mgr.emit_message = onJpegMessage;
    errors.mgr.output_message = onJpegOutput;
    errors.code = 0;
}

QString jpegFailureText(int code)
{
    switch (code) {
    case JERR_INPUT_EMPTY: return QStringLiteral("ファイルが空です");
    case JWRN_JPEG_EOF:
    case JERR_INPUT_EOF: return CutShortFileText(u"JPEG");
    case JERR_NO_SOI: return QStringLiteral("JPEG ファイルではありません");
    case JERR_OUT_OF_MEMORY: return QStringLiteral("メモリが足りません");
    case JERR_BAD_PRECISION:
    case JERR_NOT_COMPILED:
    case JERR_CONVERSION_NOTIMPL: return QStringLiteral("この形式の JPEG には対応していません");
    default: return DamagedFileText(u"JPEG");
    }
}

// ---------------------------------------------------------------------------------------------
// JPEG decoding

enum class DecodeStop { None, TooLarge, UnsupportedColours, NoMemory };

struct JpegDecode {
    jpeg_decompress_struct info{};
    JpegErrors errors{};
    jpeg_progress_mgr progress{};
    DecodeStop stop = DecodeStop::None;
    QImage picture;
    QByteArray cmykRow;
    std::vector<uchar> *pixels = nullptr; // when set, the picture lives in this caller's memory
    ~JpegDecode() { jpeg_destroy_decompress(&info); } // harmless on a never-created object
};

// Light of one ink against the black plate, rounded to nearest (255 is odd: no ties).
inline uchar lightOf(int ink, int black)
{
    return uchar((ink * black + 127) / 255);
}

// Adobe's writers store CMYK inverted (255 = no ink); other writers store the ink amount.
void cmykToBgr(const uchar *in, uchar *out, int width, bool inverted)
{
    const int flip = inverted ? 0 : 255;
    for (int x = 0; x < width; ++x, in += 4, out += 3) {
        const int k = flip ^ in[3];
        out[0] = lightOf(flip ^ in[2], k);
        out[1] = lightOf(flip ^ in[1], k);
        out[2] = lightOf(flip ^ in[0], k);
    }
}

// Picks the output colours after the header is read; false when decoding must stop here.
bool chooseOutput(JpegDecode &d)
{
    switch (d.info.jpeg_color_space) {
    case JCS_GRAYSCALE:
    case JCS_YCbCr:
    case JCS_RGB: d.info.out_color_space = JCS_EXT_BGR; break;
    case JCS_CMYK:
    case JCS_YCCK: d.info.out_color_space = JCS_CMYK; break; // libjpeg undoes YCC; we undo CMYK
    default: d.stop = DecodeStop::UnsupportedColours; return false;
    }
    if (ExceedsPictureLimit(d.info.image_width, d.info.image_height)) {
        d.stop = DecodeStop::TooLarge;
        return false;
    }
    d.info.scale_num = 1;
    d.info.scale_denom = 1;
    d.info.dct_method = JDCT_ISLOW;
    return true;
}

void readRows(JpegDecode &d)
{
    const bool cmyk = d.info.out_color_space == JCS_CMYK;
    while (d.info.output_scanline < d.info.output_height) {
        uchar *target = d.picture.scanLine(int(d.info.output_scanline));
        JSAMPROW row = cmyk ? reinterpret_cast<JSAMPROW>(d.cmykRow.data()) : target;
        jpeg_read_scanlines(&d.info, &row, 1);
        if (cmyk)
            cmykToBgr(row, target, d.picture.width(), d.info.saw_Adobe_marker);
    }
}

// The picture to decode into: a fresh one, or a view of the caller's memory, which grows only
// when a larger picture comes (a batch then touches fresh pages once, not once per file). Rows
// are padded to 4 bytes as in Qt's own pictures. A null picture when the memory is not there.
QImage newDecodedPicture(JpegDecode &d, int width, int height)
{
    if (!d.pixels)
        return QImage(width, height, kPictureFormat);
    const qsizetype stride = (qsizetype(width) * 3 + 3) / 4 * 4;
    const size_t needed = size_t(stride) * size_t(height);
    try {
        if (d.pixels->size() < needed) {
            *d.pixels = std::vector<uchar>(); // the old block goes before the new one comes
            d.pixels->resize(needed);
        }
    } catch (const std::bad_alloc &) {
        return QImage();
    }
    return QImage(d.pixels->data(), width, height, stride, kPictureFormat);
}

// Holds setjmp: no local object with a destructor lives here (longjmp would skip it).
bool runDecode(JpegDecode &d, QByteArrayView bytes)
{
    if (setjmp(d.errors.jump))
        return false;
    jpeg_create_decompress(&d.info);
    d.info.progress = &d.progress;
    jpeg_mem_src(&d.info, reinterpret_cast<const unsigned char *>(bytes.constData()),
                 static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&d.info, TRUE);
    if (!chooseOutput(d))
        return false;
    jpeg_start_decompress(&d.info);
    d.picture = newDecodedPicture(d, int(d.info.output_width), int(d.info.output_height));
    if (d.info.out_color_space == JCS_CMYK)
        d.cmykRow.resize(qsizetype(d.info.output_width) * 4);
    if (d.picture.isNull()) {
        d.stop = DecodeStop::NoMemory;
        return false;
    }
    readRows(d);
    jpeg_finish_decompress(&d.info);
    return true;
}

// ---------------------------------------------------------------------------------------------
// JPEG encoding

struct JpegEncode {
    jpeg_compress_struct info{};
    JpegErrors errors{};
    ~JpegEncode() { jpeg_destroy_compress(&info); }
};

// An upper bound of a 4:2:0 stream's size (3 bytes for each pixel of the picture padded to whole
// 16 x 16 blocks, plus the headers). With a buffer this large jpeg_mem_dest never replaces it by
// one of its own, which after an error could be neither reached nor freed.
qsizetype encodedBound(const QImage &picture)
{
    const qint64 w = (qint64(picture.width()) + 15) / 16 * 16;
    const qint64 h = (qint64(picture.height()) + 15) / 16 * 16;
    return qsizetype(w * h * 3 + 4096);
}

// Holds setjmp: no local object with a destructor lives here.
bool runEncode(JpegEncode &e, const QImage &bgr, int quality, QByteArray &out)
{
    if (setjmp(e.errors.jump))
        return false;
    jpeg_create_compress(&e.info);
    auto *buffer = reinterpret_cast<unsigned char *>(out.data());
    unsigned long size = static_cast<unsigned long>(out.size());
    jpeg_mem_dest(&e.info, &buffer, &size);
    e.info.image_width = JDIMENSION(bgr.width());
    e.info.image_height = JDIMENSION(bgr.height());
    // Colour space and components before jpeg_set_defaults, which derives its choices from them.
    e.info.input_components = 3;
    e.info.in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(&e.info);
    jpeg_set_quality(&e.info, quality, TRUE);
    jpeg_start_compress(&e.info, TRUE);
    while (e.info.next_scanline < e.info.image_height) {
        // libjpeg reads the rows only; its interface just lacks the const.
        auto row = const_cast<JSAMPROW>(bgr.constScanLine(int(e.info.next_scanline)));
        jpeg_write_scanlines(&e.info, &row, 1);
    }
    jpeg_finish_compress(&e.info);
    if (buffer == reinterpret_cast<unsigned char *>(out.data())) {
        out.truncate(qsizetype(size));
    } else { // the bound was exceeded after all: libjpeg's buffer holds the stream
        out = QByteArray(reinterpret_cast<const char *>(buffer), qsizetype(size));
        std::free(buffer);
    }
    return true;
}

// Room for the stream in out. A kept buffer is reused when it is large enough and replaced (not
// grown, which would copy the old stream) when it is not.
void prepareOutput(QByteArray &out, qsizetype bound, bool keepBuffer)
{
    if (keepBuffer && out.isDetached() && out.capacity() >= bound)
        out.resize(bound); // within the capacity of an unshared array: no reallocation
    else
        out = QByteArray(bound, Qt::Uninitialized);
}

// Returns false with a reason when the picture cannot be encoded. With keepBuffer, out's memory
// is used when it is large enough and left at its size afterwards, for the next picture.
bool encodeJpeg(const QImage &picture, int quality, QByteArray &out, QString &why,
                bool keepBuffer = false)
{
    const QImage bgr = To24Bit(picture);
    if (bgr.isNull() || bgr.width() == 0 || bgr.height() == 0) {
        why = NoPictureText();
        return false;
    }
    prepareOutput(out, encodedBound(bgr), keepBuffer);
    JpegEncode e;
    initErrors(e.errors);
    e.info.err = &e.errors.mgr;
    if (runEncode(e, bgr, quality, out)) {
        if (!keepBuffer)
            out.squeeze();
        return true;
    }
    if (keepBuffer)
        out.truncate(0);
    else
        out.clear();
    why = e.errors.code == JERR_OUT_OF_MEMORY ? QStringLiteral("メモリが足りません")
                                              : QStringLiteral("JPEG に変換できません");
    return false;
}

// ---------------------------------------------------------------------------------------------
// BMP

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

quint32 le16At(const QByteArray &b, int at)
{
    return quint32(uchar(b[at])) | quint32(uchar(b[at + 1])) << 8;
}

qint32 le32At(const QByteArray &b, int at)
{
    return qint32(le16At(b, at) | le16At(b, at + 2) << 16);
}

struct BmpLayout {
    qint64 width = 0;
    qint64 height = 0;
    int bitCount = 0;
    quint32 compression = 0;
};

// The header fields that matter before decoding; false when the header is unreadable.
bool readBmpLayout(const QByteArray &b, BmpLayout &layout)
{
    if (b.size() < 26 || !b.startsWith("BM"))
        return false;
    const qint32 infoSize = le32At(b, 14);
    if (infoSize == 12) { // OS/2 core header: 16-bit sizes, never compressed
        layout = {le16At(b, 18), le16At(b, 20), int(le16At(b, 24)), 0};
        return true;
    }
    if (infoSize < 16 || b.size() < 14 + 16)
        return false;
    layout.width = qAbs(qint64(le32At(b, 18)));
    layout.height = qAbs(qint64(le32At(b, 22))); // negative height: rows top-down
    layout.bitCount = int(le16At(b, 28));
    layout.compression = infoSize >= 20 && b.size() >= 34 ? quint32(le32At(b, 30)) : 0;
    return true;
}

// Qt's reader fills the missing rows of a cut-short uncompressed file with black; refuse it.
bool bmpPixelsPresent(const QByteArray &b, const BmpLayout &layout)
{
    const bool uncompressed = layout.compression == 0 || layout.compression == 3 || // BITFIELDS
                              layout.compression == 6;                              // ALPHA..
    if (!uncompressed)
        return true; // run-length data has no fixed size
    const qint64 stride = (layout.width * layout.bitCount + 31) / 32 * 4;
    return qint64(quint32(le32At(b, 10))) + stride * layout.height <= b.size();
}

QImage decodeBmp(const QByteArray &bytes, const QString &path)
{
    BmpLayout layout;
    if (!readBmpLayout(bytes, layout))
        failRead(path, DamagedFileText(u"BMP"));
    if (ExceedsPictureLimit(layout.width, layout.height))
        failRead(path, PictureTooLargeText(layout.width, layout.height));
    if (!bmpPixelsPresent(bytes, layout))
        failRead(path, CutShortFileText(u"BMP"));
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "bmp");
    reader.setAutoDetectImageFormat(false); // the extension decided: a BMP or nothing
    // Qt keeps 24-bit files as 4 bytes a pixel; our own limit above already bounds the size.
    reader.setAllocationLimit(2048);
    QImage picture = reader.read();
    if (picture.isNull())
        failRead(path, DamagedFileText(u"BMP"));
    // Qt widens 16- and 24-bit files to 32 bits; they are 24-bit pictures here.
    if ((layout.bitCount == 16 || layout.bitCount == 24) &&
        picture.format() == QImage::Format_RGB32)
        picture = picture.convertToFormat(kPictureFormat);
    return picture;
}

QImage decodeJpeg(QByteArrayView bytes, const QString &name, std::vector<uchar> *pixels)
{
    JpegDecode d;
    d.pixels = pixels;
    initErrors(d.errors);
    d.info.err = &d.errors.mgr;
    d.progress.progress_monitor = onJpegProgress;
    if (runDecode(d, bytes))
        return std::move(d.picture);
    switch (d.stop) {
    case DecodeStop::TooLarge:
        failRead(name, PictureTooLargeText(d.info.image_width, d.info.image_height));
    case DecodeStop::UnsupportedColours:
        failRead(name, QStringLiteral("この色形式の JPEG には対応していません"));
    case DecodeStop::NoMemory: failRead(name, QStringLiteral("メモリが足りません"));
    case DecodeStop::None: break;
    }
    failRead(name, jpegFailureText(d.errors.code));
}

} // namespace

PictureKind PictureKindOf(const QString &path)
{
    const qsizetype slash = path.lastIndexOf(u'/');
    const qsizetype dot = path.lastIndexOf(u'.');
    if (dot < 0 || dot < slash)
        return PictureKind::Unknown;
    const QString ext = path.mid(dot + 1).toLower();
    if (ext == u"bmp")
        return PictureKind::Bmp;
    if (ext == u"jpg" || ext == u"jpeg")
        return PictureKind::Jpeg;
    return PictureKind::Unknown;
}

QImage ReadPicture(const QString &path)
{
    switch (PictureKindOf(path)) {
    case PictureKind::Bmp: return ReadBmp(path);
    case PictureKind::Jpeg: return ReadJpeg(path);
    case PictureKind::Unknown: break;
    }
    failRead(path, QStringLiteral("BMP か JPEG のファイルではありません"));
}

QImage ReadJpeg(const QString &path)
{
    return DecodeJpeg(readWholeFile(path), path);
}

QImage ReadBmp(const QString &path)
{
    return decodeBmp(readWholeFile(path), path);
}

QImage DecodeJpeg(const QByteArray &bytes, const QString &name)
{
    return decodeJpeg(bytes, name, nullptr);
}

QImage DecodeJpegInto(QByteArrayView bytes, const QString &name, std::vector<uchar> &pixels)
{
    return decodeJpeg(bytes, name, &pixels);
}

void ReadFileInto(const QString &path, QByteArray &bytes)
{
    readWholeFileInto(path, bytes);
}

QByteArray EncodeJpeg(const QImage &picture, int quality)
{
    QByteArray out;
    QString why;
    if (!encodeJpeg(picture, quality, out, why))
        throw Failure(why);
    return out;
}

void EncodeJpegInto(const QImage &picture, int quality, QByteArray &out)
{
    QString why;
    if (!encodeJpeg(picture, quality, out, why, true))
        throw Failure(why);
}

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

void WriteJpegFile(const QString &path, const QImage &picture, int quality)
{
    QByteArray bytes;
    QString why;
    if (!encodeJpeg(picture, quality, bytes, why))
        failWrite(path, why);
    WriteFileAtomically(path, bytes);
}

void WriteBmpOwnDepthFile(const QString &path, const QImage &picture)
{
    if (picture.isNull())
        failWrite(path, NoPictureText());
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    // Qt's writer keeps 1- and 8-bit palette pictures and writes 32-bit ones as 24-bit.
    QImageWriter writer(&buffer, "bmp");
    if (!writer.write(picture))
        failWrite(path, writer.errorString());
    WriteFileAtomically(path, bytes);
}

void BmpFrameWriter::write(const QString &path, const QImage &picture)
{
    const QImage bgr = To24Bit(picture);
    if (bgr.isNull())
        failWrite(path, NoPictureText());
    const qint64 size = bmp24FileSize(bgr.width(), bgr.height());
    if (size < 0)
        failWrite(path, PictureTooLargeText(bgr.width(), bgr.height()));
    // Same-size frames reuse the buffer: resize to an unchanged size never reallocates.
    m_buffer.resize(qsizetype(size));
    fillBmp24(bgr, reinterpret_cast<uchar *>(m_buffer.data()));
    WriteFileAtomically(path, QByteArrayView(m_buffer.constData(), size));
}

void BmpFrameWriter::writeRows(const QString &path, int width, int height, const RowFiller &fill)
{
    const qint64 size = bmp24FileSize(width, height);
    if (size < 0)
        failWrite(path,
                  width <= 0 || height <= 0 ? NoPictureText() : PictureTooLargeText(width, height));
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
