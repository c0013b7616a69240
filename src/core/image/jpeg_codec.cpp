// SPDX-License-Identifier: GPL-3.0-or-later
// The JPEG decoder through libjpeg, decoding straight into blue, green, red rows.
#include "core/image/jpeg_codec.h"

#include "core/base/files.h"
#include "core/image/jpeg_errors.h"
#include "core/image/picture.h"

#include <QColorSpace>
#include <QCoreApplication>
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
        JpegJumpOut(common, kJpegCancelled);
    if (d.info.input_scan_number == d.countedScan || d.info.comps_in_scan <= 0)
        return;
    d.countedScan = d.info.input_scan_number;
    for (int i = 0; i < d.info.comps_in_scan && i < MAX_COMPS_IN_SCAN; ++i)
        d.work += blocksOf(*d.info.cur_comp_info[i]);
    if (d.work > kMaxDecodingPasses * allBlocks(d.info))
        JpegJumpOut(common, kJpegTooMuchWork);
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

QImage decodeJpeg(QByteArrayView bytes, const QString &name, PixelBuffer *pixels,
                  const std::atomic<bool> *cancel)
{
    JpegDecode d;
    d.pixels = pixels;
    d.cancel = cancel;
    d.input = bytes;
    InitJpegErrors(d.errors);
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
    case DecodeStop::TooManyScans: throw ReadFailure(name, JpegFailureText(kJpegTooMuchWork));
    case DecodeStop::UnsupportedColours:
        throw ReadFailure(name, QCoreApplication::translate(
                                    "JpegCodec", "この色形式の JPEG には対応していません"));
    case DecodeStop::NoMemory:
        throw ReadFailure(name, QCoreApplication::translate("JpegCodec", "メモリが足りません"));
    case DecodeStop::None: break;
    }
    if (d.errors.code == kJpegCancelled)
        throw Cancelled(ReadFailure(name, CancelledText()).description());
    throw ReadFailure(
        name, d.errors.code == JERR_NO_BACKING_STORE ? size : JpegFailureText(d.errors.code));
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
