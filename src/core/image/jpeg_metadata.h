// SPDX-License-Identifier: GPL-3.0-or-later
// A photo's metadata (EXIF, XMP, IPTC, the ICC profile) as a JPEG carries it, and the same for a
// picture made from the photo.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QSize>

// The metadata segments of a JPEG, as payloads of their markers.
struct JpegMetadata {
    QByteArray exif;        // APP1 from "Exif\0\0" on; empty without one
    QList<QByteArray> xmp;  // APP1 of XMP: the packet, then the parts of extended XMP, in order
    QList<QByteArray> iptc; // APP13 (Photoshop's resource blocks, where IPTC lives), in order
    QByteArray icc;         // the ICC profile put together from its APP2 parts
    bool isEmpty() const
    {
        return exif.isEmpty() && xmp.isEmpty() && iptc.isEmpty() && icc.isEmpty();
    }
};

// The metadata of JPEG bytes, from the segments before the first scan. A profile whose parts are
// missing, repeated or numbered beyond their count is left out, as libjpeg leaves it out.
JpegMetadata ReadJpegMetadata(QByteArrayView jpeg);

// What a picture of `size` made from the photo carries, as viewers must read it:
// - with orientationApplied (the pixels already turned upright) the orientation of the EXIF block
//   and of the XMP packet is 1, so no viewer turns the picture again;
// - the EXIF thumbnail goes (it shows the photo as it was), and the EXIF pixel dimensions are
//   size; an EXIF block libexif cannot read goes too, as its orientation cannot be set;
// - with coloursConverted (the pixels are sRGB now) the ICC profile goes.
JpegMetadata MetadataForCopy(const JpegMetadata &photo, QSize size, bool orientationApplied,
                             bool coloursConverted);
