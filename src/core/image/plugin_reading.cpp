// SPDX-License-Identifier: GPL-3.0-or-later
// Picture kinds by content, each kind's decoder, and the reading of any picture file.
#include "core/image/plugin_reading.h"

#include "core/base/files.h"
#include "core/base/io_error.h"
#include "core/base/library_messages.h"
#include "core/image/animation_reading.h"
#include "core/image/bmp_reading.h"
#include "core/image/jpeg_codec.h"
#include "core/image/picture.h"
#include "core/image/picture_reading.h"
#include "core/image/png_reading.h"
#include "core/image/qt_plugin_reading.h"
#include "core/image/tiff_reading.h"

#include <QColorSpace>
#include <QCoreApplication>
#include <QFile>
#include <QImageReader>

#include <mutex>
#include <utility>

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

ContentKind ContentKindOfFile(const QString &path)
{
    QFile file(path);
    const QByteArray head = file.open(QIODevice::ReadOnly) ? file.read(16) : QByteArray();
    return ContentKindOf(head, path);
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

void PreparePictureReading()
{
    static std::once_flag once;
    std::call_once(once, [] {
        QuietLibraryMessages();
        QImageReader::setAllocationLimit(int(kMaxDecodingBytes >> 20));
    });
}

QImage DecodePicture(const QByteArray &bytes, ContentKind kind, const QString &name,
                     Orientation orientation, const std::atomic<bool> *cancel)
{
    PreparePictureReading();
    switch (kind) {
    case ContentKind::Bmp: return DecodeBmp(bytes, name, cancel);
    case ContentKind::Jpeg: {
        QImage stored = DecodeJpeg(bytes, name, cancel);
        const int tag = orientation == Orientation::Upright ? ExifOrientation(bytes) : 1;
        if (tag == 1)
            return stored;
        const QColorSpace colours = stored.colorSpace();
        QImage shown = Upright(std::exchange(stored, QImage()), tag); // stored goes once turned
        shown.setColorSpace(colours);
        return shown;
    }
    case ContentKind::Png: return DecodePng(bytes, name);
    case ContentKind::Tiff: return DecodeTiff(bytes, name, orientation);
    case ContentKind::Gif:
    case ContentKind::Webp:
    case ContentKind::Tga: return DecodeWithQtPlugin(bytes, kind, name);
    case ContentKind::Unknown: break;
    }
    throw ReadFailure(name,
                      QCoreApplication::translate("PluginReading", "読み込める画像ではありません"));
}

namespace {

// An animation's frames as LoadPicture gives a picture: each converted as its colours say, its
// colour space then cleared. A frame that repeats the one before keeps sharing its pixels.
void loadFrames(LoadedPicture &loaded, DecodedAnimation &animation, Colours colours)
{
    std::vector<QImage> &frames = animation.frames;
    qint64 previousKey = 0;
    for (size_t k = 0; k < frames.size(); ++k) {
        const qint64 key = frames[k].cacheKey();
        if (k > 0 && key == previousKey) {
            frames[k] = frames[k - 1];
            continue;
        }
        previousKey = key;
        const QString convertedFrom =
            colours == Colours::ToSrgb ? ConvertToSrgb(frames[k]) : QString();
        if (k == 0)
            loaded.convertedFrom = convertedFrom; // every frame has the file's one colour space
        frames[k].setColorSpace(QColorSpace());
    }
    loaded.picture = frames.front();
    loaded.frames = std::move(frames);
    loaded.delaysMs = std::move(animation.delaysMs);
}

} // namespace

LoadedPicture LoadPicture(const QByteArray &bytes, const QString &name,
                          const ReadingChoices &choices)
{
    if (bytes.isEmpty())
        throw ReadFailure(name, EmptyFileText());
    const ContentKind kind = ContentKindOf(bytes.left(16), name);
    LoadedPicture loaded;
    DecodedAnimation animation = DecodeAnimation(bytes, kind, name);
    if (!animation.empty()) {
        loadFrames(loaded, animation, choices.colours);
        return loaded;
    }
    loaded.picture = DecodePicture(bytes, kind, name, choices.orientation, choices.cancel);
    if (choices.colours == Colours::ToSrgb)
        loaded.convertedFrom = ConvertToSrgb(loaded.picture);
    loaded.picture.setColorSpace(QColorSpace());
    if (kind == ContentKind::Jpeg)
        loaded.metadata = MetadataForCopy(ReadJpegMetadata(bytes), loaded.picture.size(),
                                          choices.orientation == Orientation::Upright,
                                          !loaded.convertedFrom.isEmpty());
    return loaded;
}

LoadedPicture ReadPicture(const QString &path, const ReadingChoices &choices)
{
    QByteArray bytes;
    ReadFileInto(path, bytes);
    return LoadPicture(bytes, path, choices);
}

QImage ReadPictureFile(const QString &path, Orientation orientation,
                       const std::atomic<bool> *cancel)
{
    return ReadPicture(path, {orientation, Colours::ToSrgb, cancel}).picture;
}
