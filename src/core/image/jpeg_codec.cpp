// SPDX-License-Identifier: GPL-3.0-or-later
// The JPEG codec through libjpeg, decoding straight into blue, green, red rows.
#include "core/image/jpeg_codec.h"

#include "core/base/atomic_file.h"
#include "core/base/files.h"
#include "core/image/picture.h"

#include <QColorSpace>
#include <QCoreApplication>
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

// Each scan of a progressive (or multi-scan) file decodes the blocks of its components again, so
// a few hundred scans make a large picture take a minute. libjpeg's own progressive script
// decodes each block at most six times, and other encoders' scripts stay near that; a file that
// needs more than this many passes over all of its blocks is refused.
constexpr long long kMaxDecodingPasses = 16;

// ---------------------------------------------------------------------------------------------
// libjpeg errors. libjpeg's C frames must never see a C++ exception, so a failure jumps back to
// the setjmp in the function that called libjpeg; that function holds no object with a
// destructor, and its caller destroys the libjpeg object and throws.

struct JpegErrors {
    jpeg_error_mgr mgr; // first member: libjpeg hands back a pointer to it
    jmp_buf jump;
    int code; // libjpeg's message code of the failure, or one of ours below
};

constexpr int kTooMuchWork = -1; // the scans ask for more passes than kMaxDecodingPasses
constexpr int kCancelled = -2;

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
    case JERR_INPUT_EMPTY: return QCoreApplication::translate("JpegCodec", "ファイルが空です");
    case JWRN_JPEG_EOF:
    case JERR_INPUT_EOF: return CutShortFileText(u"JPEG");
    case JERR_NO_SOI:
        return QCoreApplication::translate("JpegCodec", "JPEG ファイルではありません");
    case JERR_OUT_OF_MEMORY: return QCoreApplication::translate("JpegCodec", "メモリが足りません");
    case kTooMuchWork:
        return QCoreApplication::translate("JpegCodec", "JPEG ファイルのスキャンが多すぎます");
    case JERR_BAD_PRECISION:
    case JERR_NOT_COMPILED:
    case JERR_CONVERSION_NOTIMPL:
        return QCoreApplication::translate("JpegCodec", "この形式の JPEG には対応していません");
    default: return DamagedFileText(u"JPEG");
    }
}

// ---------------------------------------------------------------------------------------------
// JPEG decoding

enum class DecodeStop { None, TooLarge, TooLittleData, TooManyScans, UnsupportedColours, NoMemory };

struct JpegDecode {
    jpeg_decompress_struct info{};
    JpegErrors errors{};
    jpeg_progress_mgr progress{};
    DecodeStop stop = DecodeStop::None;
    QByteArrayView input;
    int countedScan = 0; // the last scan whose blocks are in work
    long long work = 0;  // the blocks of every scan so far, each scan's once
    const std::atomic<bool> *cancel = nullptr;
    QImage picture;
    QByteArray cmykRow;
    QByteArray icc;                // the ICC profile of the APP2 segments, when there is one
    PixelBuffer *pixels = nullptr; // when set, the picture lives in this caller's memory
    ~JpegDecode() { jpeg_destroy_decompress(&info); } // harmless on a never-created object
};

long long blocksOf(const jpeg_component_info &component)
{
    return (long long)component.width_in_blocks * component.height_in_blocks;
}

long long allBlocks(const jpeg_decompress_struct &info)
{
    long long all = 0;
    for (int c = 0; c < info.num_components; ++c)
        all += blocksOf(info.comp_info[c]);
    return all;
}

// The decoding work the scans of the file ask for, in blocks: each scan decodes every block of
// each component it names. Read from the markers (the header is read, so the components are
// known) before anything is decoded, so that a file of hundreds of scans is refused before its
// coefficients take memory. The markers are walked as libjpeg walks them: segments by their
// length, entropy-coded data up to the next byte 0xFF that is not stuffing or a restart marker.
long long scanWork(QByteArrayView bytes, const jpeg_decompress_struct &info)
{
    long long work = 0;
    const auto at = [&](qsizetype i) { return uchar(bytes[i]); };
    for (qsizetype pos = 2; pos + 1 < bytes.size();) {
        const void *next = std::memchr(bytes.data() + pos, 0xFF, size_t(bytes.size() - pos));
        if (!next)
            break;
        pos = static_cast<const char *>(next) - bytes.data();
        if (pos + 1 >= bytes.size())
            break;
        const uchar marker = at(pos + 1);
        const bool standalone = marker == 0x00 || marker == 0x01 || marker == 0xFF ||
                                (marker >= 0xD0 && marker <= 0xD8); // stuffing, TEM, RSTn, SOI
        if (marker == 0xD9)                                         // EOI
            break;
        if (standalone || pos + 3 >= bytes.size()) {
            pos += marker == 0xFF ? 1 : 2; // a fill byte may come before the marker it fills
            continue;
        }
        const qsizetype length = qsizetype(at(pos + 2)) << 8 | at(pos + 3);
        if (marker == 0xDA) { // SOS: the components of the scan
            const int count = pos + 4 < bytes.size() ? at(pos + 4) : 0;
            for (int i = 0; i < count && pos + 5 + 2 * i < bytes.size(); ++i) {
                const int id = at(pos + 5 + 2 * i);
                for (int c = 0; c < info.num_components; ++c) {
                    if (info.comp_info[c].component_id == id)
                        work += blocksOf(info.comp_info[c]);
                }
            }
        }
        pos += 2 + length;
    }
    return work;
}

// libjpeg calls this at least once in every scan, before its data, and once a row: the caller
// may cancel. The work of the scans is counted here too as libjpeg reads them, behind the count
// from the markers, should the two ever differ.
void onJpegProgress(j_common_ptr common)
{
    auto &d = *static_cast<JpegDecode *>(common->client_data);
    if (d.cancel && d.cancel->load(std::memory_order_relaxed))
        jumpOut(common, kCancelled);
    if (d.info.input_scan_number == d.countedScan || d.info.comps_in_scan <= 0)
        return;
    d.countedScan = d.info.input_scan_number;
    for (int i = 0; i < d.info.comps_in_scan && i < MAX_COMPS_IN_SCAN; ++i)
        d.work += blocksOf(*d.info.cur_comp_info[i]);
    if (d.work > kMaxDecodingPasses * allBlocks(d.info))
        jumpOut(common, kTooMuchWork);
}

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
    if (ExceedsCodedPixels(d.info.image_width, d.info.image_height, d.input.size())) {
        d.stop = DecodeStop::TooLittleData;
        return false;
    }
    if (scanWork(d.input, d.info) > kMaxDecodingPasses * allBlocks(d.info)) {
        d.stop = DecodeStop::TooManyScans;
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
// are padded to 4 bytes as in Qt's own pictures. Neither is cleared: every row is written before
// it is read, and the pages of rows never reached (a stream that breaks off) are never touched.
// A null picture when the memory is not there.
QImage newDecodedPicture(JpegDecode &d, int width, int height)
{
    if (!d.pixels)
        return QImage(width, height, kPictureFormat);
    const qsizetype stride = (qsizetype(width) * 3 + 3) / 4 * 4;
    try {
        d.pixels->reserve(size_t(stride) * size_t(height));
    } catch (const std::bad_alloc &) {
        return QImage();
    }
    return QImage(d.pixels->data(), width, height, stride, kPictureFormat);
}

// The profile that the APP2 segments hold together, kept in d.icc; nothing when there is none or
// its parts do not fit together (libjpeg only warns then).
void readIccProfile(JpegDecode &d)
{
    JOCTET *profile = nullptr;
    unsigned int length = 0;
    if (jpeg_read_icc_profile(&d.info, &profile, &length) && profile)
        d.icc = QByteArray(reinterpret_cast<const char *>(profile), qsizetype(length));
    std::free(profile);
}

// Holds setjmp: no local object with a destructor lives here (longjmp would skip it).
bool runDecode(JpegDecode &d, QByteArrayView bytes)
{
    if (setjmp(d.errors.jump))
        return false;
    jpeg_create_decompress(&d.info);
    // The coefficients of a progressive file take up to 128 bytes a block beside the picture;
    // beyond this libjpeg stops (JERR_NO_BACKING_STORE) instead of taking more.
    d.info.mem->max_memory_to_use = long(kMaxPictureBytes);
    d.info.client_data = &d;
    d.info.progress = &d.progress;
    jpeg_mem_src(&d.info, reinterpret_cast<const unsigned char *>(bytes.constData()),
                 static_cast<unsigned long>(bytes.size()));
    jpeg_save_markers(&d.info, JPEG_APP0 + 2, 0xFFFF); // where an ICC profile lies
    jpeg_read_header(&d.info, TRUE);
    if (!chooseOutput(d))
        return false;
    readIccProfile(d);
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
qsizetype encodedBound(const QImage &picture, const JpegMetadata &metadata)
{
    const qint64 w = (qint64(picture.width()) + 15) / 16 * 16;
    const qint64 h = (qint64(picture.height()) + 15) / 16 * 16;
    qint64 segments = metadata.exif.size() + metadata.icc.size() * 2; // ICC: headers of its parts
    for (const QByteArray &payload : metadata.xmp + metadata.iptc)
        segments += payload.size() + 4;
    return qsizetype(w * h * 3 + 4096 + segments);
}

// The metadata segments after the JFIF one, in the order cameras write them.
void writeMetadata(jpeg_compress_struct &info, const JpegMetadata &metadata)
{
    const auto write = [&](int marker, const QByteArray &payload) {
        jpeg_write_marker(&info, marker, reinterpret_cast<const JOCTET *>(payload.constData()),
                          unsigned(payload.size()));
    };
    if (!metadata.exif.isEmpty())
        write(JPEG_APP0 + 1, metadata.exif);
    for (const QByteArray &xmp : metadata.xmp)
        write(JPEG_APP0 + 1, xmp);
    if (!metadata.icc.isEmpty())
        jpeg_write_icc_profile(&info, reinterpret_cast<const JOCTET *>(metadata.icc.constData()),
                               unsigned(metadata.icc.size()));
    for (const QByteArray &iptc : metadata.iptc)
        write(JPEG_APP0 + 13, iptc);
}

// Holds setjmp: no local object with a destructor lives here.
bool runEncode(JpegEncode &e, const QImage &bgr, int quality, const JpegMetadata &metadata,
               QByteArray &out)
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
    writeMetadata(e.info, metadata);
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
bool encodeJpeg(const QImage &picture, int quality, const JpegMetadata &metadata, QByteArray &out,
                QString &why, bool keepBuffer = false)
{
    const QImage bgr = To24Bit(picture);
    if (bgr.isNull() || bgr.width() == 0 || bgr.height() == 0) {
        why = NoPictureText();
        return false;
    }
    prepareOutput(out, encodedBound(bgr, metadata), keepBuffer);
    JpegEncode e;
    initErrors(e.errors);
    e.info.err = &e.errors.mgr;
    if (runEncode(e, bgr, quality, metadata, out)) {
        if (!keepBuffer)
            out.squeeze();
        return true;
    }
    if (keepBuffer)
        out.truncate(0);
    else
        out.clear();
    why = e.errors.code == JERR_OUT_OF_MEMORY
              ? QCoreApplication::translate("JpegCodec", "メモリが足りません")
              : QCoreApplication::translate("JpegCodec", "JPEG に変換できません");
    return false;
}

QImage decodeJpeg(QByteArrayView bytes, const QString &name, PixelBuffer *pixels,
                  const std::atomic<bool> *cancel)
{
    JpegDecode d;
    d.pixels = pixels;
    d.cancel = cancel;
    d.input = bytes;
    initErrors(d.errors);
    d.info.err = &d.errors.mgr;
    d.progress.progress_monitor = onJpegProgress;
    if (runDecode(d, bytes)) {
        QImage picture = std::move(d.picture);
        if (!d.icc.isEmpty())
            picture.setColorSpace(QColorSpace::fromIccProfile(d.icc));
        return picture;
    }
    const QString size = PictureTooLargeText(d.info.image_width, d.info.image_height);
    switch (d.stop) {
    case DecodeStop::TooLarge: throw ReadFailure(name, size);
    case DecodeStop::TooLittleData:
        throw ReadFailure(name,
                          TooLittleDataText(u"JPEG", d.info.image_width, d.info.image_height));
    case DecodeStop::TooManyScans: throw ReadFailure(name, jpegFailureText(kTooMuchWork));
    case DecodeStop::UnsupportedColours:
        throw ReadFailure(name, QCoreApplication::translate(
                                    "JpegCodec", "この色形式の JPEG には対応していません"));
    case DecodeStop::NoMemory:
        throw ReadFailure(name, QCoreApplication::translate("JpegCodec", "メモリが足りません"));
    case DecodeStop::None: break;
    }
    if (d.errors.code == kCancelled)
        throw Cancelled(ReadFailure(name, CancelledText()).description());
    throw ReadFailure(
        name, d.errors.code == JERR_NO_BACKING_STORE ? size : jpegFailureText(d.errors.code));
}

} // namespace

QImage DecodeJpeg(const QByteArray &bytes, const QString &name, const std::atomic<bool> *cancel)
{
    return decodeJpeg(bytes, name, nullptr, cancel);
}

QImage DecodeJpegInto(QByteArrayView bytes, const QString &name, PixelBuffer &pixels)
{
    return decodeJpeg(bytes, name, &pixels, nullptr);
}

void PixelBuffer::reserve(size_t bytes)
{
    if (bytes <= m_size)
        return;
    m_data.reset(); // the old block goes before the new one comes
    m_size = 0;
    m_data.reset(new uchar[bytes]); // not value-initialised: no page is touched here
    m_size = bytes;
}

QByteArray EncodeJpeg(const QImage &picture, int quality, const JpegMetadata &metadata)
{
    QByteArray out;
    QString why;
    if (!encodeJpeg(picture, quality, metadata, out, why))
        throw Failure(why);
    return out;
}

void EncodeJpegInto(const QImage &picture, int quality, QByteArray &out,
                    const JpegMetadata &metadata)
{
    QString why;
    if (!encodeJpeg(picture, quality, metadata, out, why, true))
        throw Failure(why);
}
void WriteJpegFile(const QString &path, const QImage &picture, int quality,
                   const JpegMetadata &metadata)
{
    QByteArray bytes;
    QString why;
    if (!encodeJpeg(picture, quality, metadata, bytes, why))
        throw WriteFailure(path, why);
    WriteFileAtomically(path, bytes);
}
