// SPDX-License-Identifier: GPL-3.0-or-later
// Picture kinds by content, Qt's image plugins behind our checks, and the reading of any picture.
#include "core/image/plugin_reading.h"

#include "core/base/files.h"
#include "core/base/io_error.h"
#include "core/image/bmp_format.h"
#include "core/image/bmp_reading.h"
#include "core/image/jpeg_codec.h"
#include "core/image/picture.h"
#include "core/image/picture_reading.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QImageReader>

#include <algorithm>

namespace {

const char *qtFormatOf(ContentKind kind)
{
    switch (kind) {
    case ContentKind::Png: return "png";
    case ContentKind::Gif: return "gif";
    case ContentKind::Webp: return "webp";
    case ContentKind::Tiff: return "tiff";
    case ContentKind::Tga: return "tga";
    default: return "";
    }
}

// TGA files Qt reads end with the TGA 2.0 footer; an older file without it is refused by name.
constexpr QByteArrayView kTgaSignature("TRUEVISION-XFILE.\0", 18);
constexpr qsizetype kTgaHeader = 18;
constexpr qsizetype kTgaFooter = 26;

quint32 le16(const QByteArray &b, qsizetype at)
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

} // namespace

ContentKind ContentKindOf(QByteArrayView head, const QString &path)
{
    const auto startsWith = [&](QByteArrayView signature, qsizetype at = 0) {
        return head.size() >= at + signature.size() &&
               head.sliced(at, signature.size()) == signature;
    };
    if (startsWith("BM"))
        return ContentKind::Bmp;
    if (startsWith("\xFF\xD8\xFF"))
        return ContentKind::Jpeg;
    if (startsWith("\x89PNG\r\n\x1A\n"))
        return ContentKind::Png;
    if (startsWith("GIF87a") || startsWith("GIF89a"))
        return ContentKind::Gif;
    if (startsWith("RIFF") && startsWith("WEBP", 8))
        return ContentKind::Webp;
    if (startsWith(QByteArrayView("II*\0", 4)) || startsWith(QByteArrayView("MM\0*", 4)))
        return ContentKind::Tiff;
    // No signature (TGA has none; a damaged file may have lost its own): the name's extension
    // tells, so that each kind's own decoder says what is wrong with it.
    static const std::pair<const char *, ContentKind> kExtensions[] = {
        {"bmp", ContentKind::Bmp},  {"jpg", ContentKind::Jpeg},  {"jpeg", ContentKind::Jpeg},
        {"png", ContentKind::Png},  {"gif", ContentKind::Gif},   {"webp", ContentKind::Webp},
        {"tif", ContentKind::Tiff}, {"tiff", ContentKind::Tiff}, {"tga", ContentKind::Tga}};
    const qsizetype dot = path.lastIndexOf(u'.');
    if (dot < 0 || dot < path.lastIndexOf(u'/'))
        return ContentKind::Unknown;
    const QString extension = path.mid(dot + 1).toLower();
    for (const auto &[name, kind] : kExtensions) {
        if (extension == QLatin1String(name))
            return kind;
    }
    return ContentKind::Unknown;
}

QString ContentKindName(ContentKind kind)
{
    switch (kind) {
    case ContentKind::Bmp: return QStringLiteral("BMP");
    case ContentKind::Jpeg: return QStringLiteral("JPEG");
    case ContentKind::Png: return QStringLiteral("PNG");
    case ContentKind::Gif: return QStringLiteral("GIF");
    case ContentKind::Webp: return QStringLiteral("WebP");
    case ContentKind::Tiff: return QStringLiteral("TIFF");
    case ContentKind::Tga: return QStringLiteral("TGA");
    case ContentKind::Unknown: break;
    }
    return QCoreApplication::translate("PluginReading", "画像");
}

QImage DecodeWithPlugin(const QByteArray &bytes, ContentKind kind, const QString &name)
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
    // The size from the header first, so a huge declared size is refused before any memory.
    const QSize size = reader.size();
    if (size.isValid() && ExceedsPictureLimit(size.width(), size.height()))
        throw ReadFailure(name, PictureTooLargeText(size.width(), size.height()));
    // Our own limit above bounds the size; Qt's default of 256 MB would refuse large photos.
    reader.setAllocationLimit(2048);
    QImage picture;
    if (!reader.read(&picture) || picture.isNull())
        throw ReadFailure(name, DamagedFileText(kindName));
    if (!picture.hasAlphaChannel())
        return To24Bit(picture);
    picture.convertTo(QImage::Format_ARGB32);
    // Some readers give every picture an alpha channel (TGA always does); one where every pixel is
    // opaque is an opaque picture, and as such takes the 24-bit paths.
    for (int y = 0; y < picture.height(); ++y) {
        const auto *row = reinterpret_cast<const QRgb *>(picture.constScanLine(y));
        for (int x = 0; x < picture.width(); ++x) {
            if (qAlpha(row[x]) != 255)
                return picture;
        }
    }
    return picture.convertToFormat(kPictureFormat);
}

QImage ReadPictureFile(const QString &path, Orientation orientation,
                       const std::atomic<bool> *cancel)
{
    QByteArray bytes;
    ReadFileInto(path, bytes);
    const ContentKind kind = ContentKindOf(bytes.left(16), path);
    switch (kind) {
    case ContentKind::Bmp: return DecodeBmp(bytes, path, cancel);
    case ContentKind::Jpeg: {
        const QImage stored = DecodeJpeg(bytes, path, cancel);
        return orientation == Orientation::Upright ? Upright(stored, ExifOrientation(bytes))
                                                   : stored;
    }
    case ContentKind::Unknown: break;
    default: return DecodeWithPlugin(bytes, kind, path);
    }
    throw ReadFailure(path,
                      QCoreApplication::translate("PluginReading", "読み込める画像ではありません"));
}
