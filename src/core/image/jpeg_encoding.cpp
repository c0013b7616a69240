// SPDX-License-Identifier: GPL-3.0-or-later
// The JPEG encoder through libjpeg: baseline at the codec's defaults, the photo's metadata after
// the JFIF segment, into fresh memory or a buffer a batch keeps.
#include "core/image/jpeg_codec.h"

#include "core/base/atomic_file.h"
#include "core/base/files.h"
#include "core/image/jpeg_errors.h"
#include "core/image/picture.h"

#include <QCoreApplication>
#include <cstdlib>
#include <new>

// After jpeglib.h, which it needs.
#include <jerror.h>

namespace {

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
    InitJpegErrors(e.errors);
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

} // namespace

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
