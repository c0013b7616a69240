// SPDX-License-Identifier: GPL-3.0-or-later
// EXIF orientation with libexif.
#include "core/image/exif_orientation.h"

#include <libexif/exif-data.h>

#include <cstring>

namespace {

constexpr int kAsStored = 1;

// Destination pixel (x, y) of the shown picture takes the stored pixel this gives, for a stored
// picture of w x h. Written out per tag so each line can be checked against the tag's meaning.
QPoint storedPixel(int orientation, int x, int y, int w, int h)
{
    switch (orientation) {
    case 2: return {w - 1 - x, y};
    case 3: return {w - 1 - x, h - 1 - y};
    case 4: return {x, h - 1 - y};
    case 5: return {y, x};                 // shown h x w: the transpose
    case 6: return {y, h - 1 - x};         // shown h x w: a quarter turn clockwise
    case 7: return {w - 1 - y, h - 1 - x}; // shown h x w: the other diagonal
    case 8: return {w - 1 - y, x};         // shown h x w: a quarter turn counter-clockwise
    default: return {x, y};
    }
}

} // namespace

int ExifOrientation(QByteArrayView jpeg)
{
    ExifData *exif = exif_data_new_from_data(reinterpret_cast<const unsigned char *>(jpeg.data()),
                                             unsigned(jpeg.size()));
    if (!exif)
        return kAsStored;
    int orientation = kAsStored;
    if (ExifEntry *entry = exif_content_get_entry(exif->ifd[EXIF_IFD_0], EXIF_TAG_ORIENTATION);
        entry && entry->format == EXIF_FORMAT_SHORT && entry->components == 1 && entry->data &&
        entry->size >= 2) {
        const int value = exif_get_short(entry->data, exif_data_get_byte_order(exif));
        if (value >= 1 && value <= 8)
            orientation = value;
    }
    exif_data_unref(exif);
    return orientation;
}

QImage Upright(const QImage &picture, int orientation)
{
    if (orientation < 2 || orientation > 8 || picture.isNull())
        return picture;
    const int w = picture.width(), h = picture.height();
    const bool across = orientation >= 5; // the sides swap
    // Pixels are copied whole in the picture's own format; a palette picture keeps its palette.
    QImage shown(across ? h : w, across ? w : h, picture.format());
    if (shown.isNull())
        throw std::bad_alloc();
    shown.setColorTable(picture.colorTable());
    const int bytes = picture.depth() / 8;
    if (bytes < 1) { // 1-bit pictures: pixel by pixel
        for (int y = 0; y < shown.height(); ++y)
            for (int x = 0; x < shown.width(); ++x) {
                const QPoint from = storedPixel(orientation, x, y, w, h);
                shown.setPixel(x, y, picture.pixelIndex(from.x(), from.y()));
            }
        return shown;
    }
    for (int y = 0; y < shown.height(); ++y) {
        uchar *to = shown.scanLine(y);
        for (int x = 0; x < shown.width(); ++x, to += bytes) {
            const QPoint from = storedPixel(orientation, x, y, w, h);
            std::memcpy(to, picture.constScanLine(from.y()) + size_t(from.x()) * size_t(bytes),
                        size_t(bytes));
        }
    }
    return shown;
}
