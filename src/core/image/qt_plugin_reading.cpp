// SPDX-License-Identifier: GPL-3.0-or-later
// GIF, WebP and TGA through Qt's image plugins, each bounded before decoding.
#include "core/image/qt_plugin_reading.h"

#include "core/base/files.h"
#include "core/image/picture.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QImageReader>

#include <algorithm>

namespace {

const char *qtFormatOf(ContentKind kind)
{
    switch (kind) {
    case ContentKind::Gif: return "gif";
    case ContentKind::Webp: return "webp";
    case ContentKind::Tga: return "tga";
    default: return "";
    }
}

// TGA files Qt reads end with the TGA 2.0 footer; an older file without it is refused by name.
constexpr QByteArrayView kTgaSignature("TRUEVISION-XFILE.\0", 18);
constexpr qsizetype kTgaHeader = 18;
constexpr qsizetype kTgaFooter = 26;

quint32 le16(QByteArrayView b, qsizetype at)
{
    return quint32(uchar(b[at])) | quint32(uchar(b[at + 1])) << 8;
}

// Some of Qt's readers return what they could decode of a file that ends early, the rest blank,
// with no error: the checks a file of the kind must pass to be whole. True when it may be whole.
bool mayBeWhole(const QByteArray &bytes, ContentKind kind)
{
    if (kind == ContentKind::Gif) // every GIF ends with its trailer byte
        return bytes.endsWith(';');
    if (kind != ContentKind::Tga || bytes.size() < kTgaHeader + kTgaFooter)
        return kind != ContentKind::Tga;
    // Uncompressed TGA (types 1, 2, 3) holds exactly its pixels after the header, the image id and
    // the colour map; run-length types (9, 10, 11) cannot be measured before decoding.
    const int type = uchar(bytes[2]);
    if (type != 1 && type != 2 && type != 3)
        return true;
    const qint64 idBytes = uchar(bytes[0]);
    const qint64 mapBytes =
        uchar(bytes[1]) ? qint64(le16(bytes, 5)) * ((uchar(bytes[7]) + 7) / 8) : 0;
    // Qt's reader skips a colour map as (entries x the 16 bits from its entry size on) bytes, one
    // call per byte: such a count past the file's end kept it busy for 26 s over 148 bytes.
    const qint64 qtMapBytes = uchar(bytes[1]) == 1 ? qint64(le16(bytes, 5)) * le16(bytes, 7) : 0;
    const qint64 pixelBytes =
        qint64(le16(bytes, 12)) * le16(bytes, 14) * ((uchar(bytes[16]) + 7) / 8);
    return kTgaHeader + idBytes + std::max(mapBytes, qtMapBytes) + pixelBytes <=
           bytes.size() - kTgaFooter;
}

// An animated WebP: the VP8X chunk's animation flag.
bool isAnimatedWebp(QByteArrayView bytes)
{
    return bytes.size() > 20 && bytes.sliced(12, 4) == "VP8X" && (uchar(bytes[20]) & 0x02);
}

// The bytes a pixel takes while Qt's reader decodes it and the program makes it 24-bit: Qt's 32-bit
// picture, the 24-bit copy, and for an animated WebP the two 32-bit canvases of libwebp's
// animation decoder beside Qt's.
int decodingBytesPerPixel(QByteArrayView bytes, ContentKind kind)
{
    return kind == ContentKind::Webp && isAnimatedWebp(bytes) ? 4 + 4 + 4 + 3 : 4 + 3;
}

void checkBounds(const QByteArray &bytes, ContentKind kind, QSize size, const QString &name)
{
    const QString kindName = ContentKindName(kind);
    if (!size.isValid() || size.isEmpty())
        throw ReadFailure(name, DamagedFileText(kindName));
    const qint64 w = size.width(), h = size.height();
    if (ExceedsPictureLimit(w, h) || ExceedsDecodingLimit(w, h, decodingBytesPerPixel(bytes, kind)))
        throw ReadFailure(name, PictureTooLargeText(w, h));
    if (ExceedsCodedPixels(w, h, bytes.size()))
        throw ReadFailure(name, TooLittleDataText(kindName, w, h));
}

// The blocks of a GIF before its first image: extensions, each a label and sub-blocks.
qsizetype firstImageAt(QByteArrayView gif, qsizetype pos)
{
    while (pos < gif.size() && uchar(gif[pos]) == 0x21) {
        pos += 2; // introducer and label
        while (pos < gif.size() && uchar(gif[pos]) != 0)
            pos += 1 + uchar(gif[pos]);
        ++pos; // the empty sub-block that ends the extension
    }
    return pos < gif.size() && uchar(gif[pos]) == 0x2C ? pos : -1;
}

} // namespace

QSize GifDecodedSize(QByteArrayView gif)
{
    constexpr qsizetype kHeader = 13; // signature, screen size, flags, background, aspect
    if (gif.size() < kHeader)
        return {};
    QSize size(int(le16(gif, 6)), int(le16(gif, 8)));
    const uchar flags = uchar(gif[10]);
    const qsizetype colours = flags & 0x80 ? qsizetype(3) << ((flags & 0x07) + 1) : 0;
    const qsizetype image = firstImageAt(gif, kHeader + colours);
    if (image < 0 || image + 9 > gif.size())
        return {};
    const int right = int(le16(gif, image + 1) + le16(gif, image + 5));
    const int bottom = int(le16(gif, image + 3) + le16(gif, image + 7));
    return size.expandedTo(QSize(right, bottom));
}

QImage DecodeWithQtPlugin(const QByteArray &bytes, ContentKind kind, const QString &name)
{
    const QString kindName = ContentKindName(kind);
    // A TGA cut short has lost its footer, and an older TGA never had one: neither can be read.
    if (kind == ContentKind::Tga && !bytes.endsWith(kTgaSignature))
        throw ReadFailure(
            name, DamagedFileText(kindName) +
                      QCoreApplication::translate("PluginReading",
                                                  " (TGA 2.0 形式のファイルだけを読み込めます)"));
    if (!mayBeWhole(bytes, kind))
        throw ReadFailure(name, CutShortFileText(kindName));
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, qtFormatOf(kind));
    reader.setAutoDetectImageFormat(false); // the content decided: this kind or nothing
    // The size from the header first, so that no memory is taken for a picture refused.
    checkBounds(bytes, kind, kind == ContentKind::Gif ? GifDecodedSize(bytes) : reader.size(),
                name);
    QImage picture;
    if (!reader.read(&picture) || picture.isNull())
        throw ReadFailure(name, DamagedFileText(kindName));
    return picture.hasAlphaChannel() ? WithoutUnusedAlpha(std::move(picture)) : To24Bit(picture);
}
