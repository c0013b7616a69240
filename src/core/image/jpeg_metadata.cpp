// SPDX-License-Identifier: GPL-3.0-or-later
// Metadata segments of JPEG files: read from the markers, made fit for a copy of the photo.
#include "core/image/jpeg_metadata.h"

#include <libexif/exif-data.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <memory>
#include <new>

namespace {

constexpr uchar kApp1 = 0xE1;
constexpr uchar kApp2 = 0xE2;
constexpr uchar kApp13 = 0xED;
constexpr uchar kStartOfScan = 0xDA;
constexpr uchar kEndOfImage = 0xD9;
// A marker segment holds at most this many bytes after its length field.
constexpr qsizetype kMaxSegmentPayload = 65533;

const QByteArrayView kExif("Exif\0\0", 6);
const QByteArrayView kXmp("http://ns.adobe.com/xap/1.0/\0", 29);
const QByteArrayView kXmpExtension("http://ns.adobe.com/xmp/extension/\0", 35);
const QByteArrayView kPhotoshop("Photoshop 3.0\0", 14);
const QByteArrayView kIcc("ICC_PROFILE\0", 12);

// The ICC parts by their number; the profile when they are 1 .. count, each once.
class IccParts {
  public:
    void add(QByteArrayView payload)
    {
        if (payload.size() < kIcc.size() + 2)
            return;
        const int number = uchar(payload[kIcc.size()]);
        const int count = uchar(payload[kIcc.size() + 1]);
        if (m_count != 0 && count != m_count)
            m_broken = true;
        m_count = count;
        if (number < 1 || number > count || m_parts.count(number))
            m_broken = true;
        m_parts[number] = payload.sliced(kIcc.size() + 2).toByteArray();
    }

    QByteArray profile() const
    {
        if (m_broken || m_count == 0 || int(m_parts.size()) != m_count)
            return {};
        QByteArray whole;
        for (const auto &[number, part] : m_parts)
            whole += part;
        return whole;
    }

  private:
    std::map<int, QByteArray> m_parts;
    int m_count = 0;
    bool m_broken = false;
};

void keep(JpegMetadata &metadata, IccParts &icc, uchar marker, QByteArrayView payload)
{
    if (marker == kApp1 && payload.startsWith(kExif) && metadata.exif.isEmpty())
        metadata.exif = payload.toByteArray();
    else if (marker == kApp1 && (payload.startsWith(kXmp) || payload.startsWith(kXmpExtension)))
        metadata.xmp << payload.toByteArray();
    else if (marker == kApp13 && payload.startsWith(kPhotoshop))
        metadata.iptc << payload.toByteArray();
    else if (marker == kApp2 && payload.startsWith(kIcc))
        icc.add(payload);
}

// Sets a SHORT or LONG tag of one IFD where the block has it.
void setNumber(ExifData *data, ExifIfd ifd, ExifTag tag, uint32_t value)
{
    ExifEntry *entry = exif_content_get_entry(data->ifd[ifd], tag);
    if (!entry || !entry->data || entry->components != 1)
        return;
    const ExifByteOrder order = exif_data_get_byte_order(data);
    if (entry->format == EXIF_FORMAT_SHORT && entry->size >= 2 && value <= 0xFFFF)
        exif_set_short(entry->data, order, ExifShort(value));
    else if (entry->format == EXIF_FORMAT_LONG && entry->size >= 4)
        exif_set_long(entry->data, order, ExifLong(value));
}

void dropThumbnail(ExifData *data)
{
    ExifContent *ifd1 = data->ifd[EXIF_IFD_1];
    while (ifd1->count > 0)
        exif_content_remove_entry(ifd1, ifd1->entries[ifd1->count - 1]);
    std::free(data->data); // exif_data_new's memory is the C library's
    data->data = nullptr;
    data->size = 0;
}

struct ExifReleaser {
    void operator()(ExifData *data) const { exif_data_unref(data); }
};

QByteArray exifForCopy(const QByteArray &exif, QSize size, bool orientationApplied)
{
    const std::unique_ptr<ExifData, ExifReleaser> data(exif_data_new());
    if (!data)
        throw std::bad_alloc();
    // Every tag as it was, the maker's notes too: only the values named below change. So none of
    // libexif's three options (its defaults drop the tags it does not know and rewrite others to
    // its own rules), then the one that leaves the maker's notes alone.
    for (const int bit : {0, 1, 2})
        exif_data_unset_option(data.get(), ExifDataOption(1 << bit));
    exif_data_set_option(data.get(), EXIF_DATA_OPTION_DONT_CHANGE_MAKER_NOTE);
    exif_data_load_data(data.get(), reinterpret_cast<const unsigned char *>(exif.constData()),
                        unsigned(exif.size()));
    if (data->ifd[EXIF_IFD_0]->count == 0)
        return {};
    if (orientationApplied)
        setNumber(data.get(), EXIF_IFD_0, EXIF_TAG_ORIENTATION, 1);
    setNumber(data.get(), EXIF_IFD_EXIF, EXIF_TAG_PIXEL_X_DIMENSION, uint32_t(size.width()));
    setNumber(data.get(), EXIF_IFD_EXIF, EXIF_TAG_PIXEL_Y_DIMENSION, uint32_t(size.height()));
    dropThumbnail(data.get());
    unsigned char *saved = nullptr;
    unsigned int length = 0;
    exif_data_save_data(data.get(), &saved, &length);
    const QByteArray block(reinterpret_cast<const char *>(saved), qsizetype(length));
    std::free(saved);
    return block.startsWith(kExif) && block.size() <= kMaxSegmentPayload ? block : QByteArray();
}

// The orientation values of an XMP packet (tiff:Orientation="6" or
// <tiff:Orientation>6</tiff:Orientation>) made 1, in place: the packet keeps its length.
QByteArray xmpUpright(QByteArray packet)
{
    const QByteArrayView name("tiff:Orientation");
    for (qsizetype at = packet.indexOf(name); at >= 0; at = packet.indexOf(name, at + 1)) {
        qsizetype digit = at + name.size();
        while (digit < packet.size() && (packet[digit] == ' ' || packet[digit] == '='))
            ++digit;
        if (digit < packet.size() &&
            (packet[digit] == '"' || packet[digit] == '\'' || packet[digit] == '>'))
            ++digit;
        if (digit < packet.size() && packet[digit] >= '1' && packet[digit] <= '8')
            packet[digit] = '1';
    }
    return packet;
}

} // namespace

JpegMetadata ReadJpegMetadata(QByteArrayView jpeg)
{
    JpegMetadata metadata;
    IccParts icc;
    const auto at = [&](qsizetype i) { return uchar(jpeg[i]); };
    for (qsizetype pos = 2; pos + 1 < jpeg.size() && at(pos) == 0xFF;) {
        const uchar marker = at(pos + 1);
        if (marker == 0xFF) { // fill byte before a marker
            ++pos;
            continue;
        }
        if (marker == kStartOfScan || marker == kEndOfImage || pos + 3 >= jpeg.size())
            break;
        const qsizetype length = qsizetype(at(pos + 2)) << 8 | at(pos + 3);
        if (length < 2 || pos + 2 + length > jpeg.size())
            break;
        keep(metadata, icc, marker, jpeg.sliced(pos + 4, length - 2));
        pos += 2 + length;
    }
    metadata.icc = icc.profile();
    return metadata;
}

JpegMetadata MetadataForCopy(const JpegMetadata &photo, QSize size, bool orientationApplied,
                             bool coloursConverted)
{
    JpegMetadata copy = photo;
    if (!copy.exif.isEmpty())
        copy.exif = exifForCopy(photo.exif, size, orientationApplied);
    if (orientationApplied && !copy.xmp.isEmpty() && copy.xmp.front().startsWith(kXmp))
        copy.xmp.front() = xmpUpright(copy.xmp.front());
    if (coloursConverted)
        copy.icc.clear();
    return copy;
}
