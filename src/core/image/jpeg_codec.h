// SPDX-License-Identifier: GPL-3.0-or-later
// The JPEG codec, through libjpeg: full-scale decoding with the accurate integer IDCT, and
// baseline encoding with the codec's defaults, into fresh memory or into buffers a batch keeps.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QImage>
#include <QString>

#include "core/image/jpeg_metadata.h"

#include <atomic>
#include <memory>

// The quality of every JPEG the program writes: the whole-picture save, the edit verb and the
// batch shrink.
inline constexpr int kJpegQuality = 90;

// Decodes JPEG bytes into a 24-bit picture (name is used in messages only) whose colorSpace() is
// that of the file's ICC profile (invalid without one, or with one Qt cannot read: grey, CMYK).
// Throws Failure naming it when the stream is damaged or cut short (for every coding: baseline,
// progressive, arithmetic), would take more than kMaxPictureBytes decoded, is larger than
// kPixelsDecodedFreely and declares more pixels than its data could code (ExceedsCodedPixels), or
// has scans that need more decoding work than any real file (many times the passes over its blocks
// of the usual progressive scripts: "スキャンが多すぎます"). When cancel is given and becomes true
// (from another thread), decoding stops within a row of blocks and Cancelled is thrown.
QImage DecodeJpeg(const QByteArray &bytes, const QString &name,
                  const std::atomic<bool> *cancel = nullptr);

// Encodes a picture as a baseline colour JPEG at the given quality with the codec's other defaults,
// and after the JFIF segment the metadata given: EXIF, XMP, the ICC profile, IPTC.
QByteArray EncodeJpeg(const QImage &picture, int quality = kJpegQuality,
                      const JpegMetadata &metadata = {});

// Memory for decoded pictures that a batch keeps from file to file. It grows only when a larger
// picture comes and is never cleared: a decoder writes every byte of a picture before anything
// reads it, so the pages a picture does not reach (a damaged file that stops early) are not
// even touched.
class PixelBuffer {
  public:
    uchar *data() const { return m_data.get(); }
    size_t size() const { return m_size; }
    // At least bytes of room; the old contents are not kept. Throws std::bad_alloc.
    void reserve(size_t bytes);

  private:
    std::unique_ptr<uchar[]> m_data;
    size_t m_size = 0;
};

// For a batch of many pictures, where fresh memory per file costs more than the work on a small
// one: the same decoding and encoding into buffers the caller keeps from file to file. Each
// buffer is replaced only when a larger one is needed.
// - DecodeJpegInto: decodes as DecodeJpeg does into pixels; the picture returned views that memory
//   (rows padded to 4 bytes) and stays valid until pixels is changed.
// - EncodeJpegInto: the stream of EncodeJpeg into out (sized to the stream). Throws Failure.
QImage DecodeJpegInto(QByteArrayView bytes, const QString &name, PixelBuffer &pixels);
void EncodeJpegInto(const QImage &picture, int quality, QByteArray &out,
                    const JpegMetadata &metadata = {});

// Writes the JPEG to a temporary file beside the target, then renames it over the target, so the
// target is either the old file or the whole new one. Throws Failure naming the file on any error.
void WriteJpegFile(const QString &path, const QImage &picture, int quality = kJpegQuality,
                   const JpegMetadata &metadata = {});
