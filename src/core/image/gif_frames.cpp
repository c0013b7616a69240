// SPDX-License-Identifier: GPL-3.0-or-later
// The frames of an animated GIF through giflib, composed on the logical screen as a browser
// composes them.
#include "core/base/files.h"
#include "core/image/animation_frames.h"
#include "core/image/picture.h"
#include "core/image/qt_plugin_reading.h"

#include <gif_lib.h>

#include <QRect>

#include <algorithm>
#include <array>
#include <cstring>
#include <new>
#include <vector>

namespace {

constexpr QStringView kGif = u"GIF";

// What a walk over the GIF's blocks finds without decoding a pixel: how many images it holds,
// and whether its bytes end before its trailer.
struct GifLayout {
    qint64 images = 0;
    qint64 pixels = 0; // the images' own, before any is clipped to the screen
    bool cutShort = false;
};

quint32 le16(QByteArrayView b, qsizetype at)
{
    return quint32(uchar(b[at])) | quint32(uchar(b[at + 1])) << 8;
}

// Skips the sub-blocks that start at pos, the empty one that ends them included; -1 when the
// bytes end first.
qsizetype afterSubBlocks(QByteArrayView gif, qsizetype pos)
{
    while (pos < gif.size()) {
        const int length = uchar(gif[pos]);
        pos += 1 + length;
        if (length == 0)
            return pos;
    }
    return -1;
}

GifLayout layoutOf(QByteArrayView gif)
{
    constexpr qsizetype kHeader = 13;      // signature, screen size, flags, background, aspect
    constexpr qsizetype kImageHeader = 10; // introducer, position, size, flags
    GifLayout layout;
    if (gif.size() < kHeader) {
        layout.cutShort = true;
        return layout;
    }
    const uchar flags = uchar(gif[10]);
    qsizetype pos = kHeader + (flags & 0x80 ? qsizetype(3) << ((flags & 0x07) + 1) : 0);
    while (pos >= 0 && pos < gif.size()) {
        const uchar introducer = uchar(gif[pos]);
        if (introducer == 0x3B) // the trailer
            return layout;
        if (introducer == 0x21) { // an extension: its label, then sub-blocks
            pos = afterSubBlocks(gif, pos + 2);
        } else if (introducer == 0x2C && pos + kImageHeader <= gif.size()) {
            layout.pixels += qint64(le16(gif, pos + 5)) * le16(gif, pos + 7);
            const uchar imageFlags = uchar(gif[pos + 9]);
            pos +=
                kImageHeader + (imageFlags & 0x80 ? qsizetype(3) << ((imageFlags & 0x07) + 1) : 0);
            pos = afterSubBlocks(gif, pos + 1); // after the LZW code size
            ++layout.images;
        } else if (introducer == 0x2C) {
            break;
        } else {
            // A byte that starts no block ends the file, as browsers read it: the frames before
            // it are whole.
            return layout;
        }
    }
    layout.cutShort = true;
    return layout;
}

// giflib reads the bytes through this; the walk has made sure every block is there.
struct GifSource {
    QByteArrayView bytes;
    qsizetype pos = 0;
};

int readGifBytes(GifFileType *gif, GifByteType *data, int length)
{
    auto *source = static_cast<GifSource *>(gif->UserData);
    const int n = int(std::min<qsizetype>(length, source->bytes.size() - source->pos));
    std::memcpy(data, source->bytes.data() + source->pos, size_t(n));
    source->pos += n;
    return n;
}

struct GifReader {
    GifSource source;
    GifFileType *gif = nullptr;
    explicit GifReader(QByteArrayView bytes) : source{bytes}
    {
        int error = 0;
        gif = DGifOpen(&source, readGifBytes, &error);
    }
    ~GifReader()
    {
        int error = 0;
        if (gif)
            DGifCloseFile(gif, &error);
    }
    GifReader(const GifReader &) = delete;
    GifReader &operator=(const GifReader &) = delete;
};

// A frame's colours by index, transparent (alpha 0) where the frame shows what lies beneath: its
// transparent index, and every index beyond its colour table (a damaged frame, or a file with no
// table at all). Such an index draws nothing rather than a colour of its own (ImageMagick takes
// colour 0), so that a damaged index never punches a hole through the frames before it, and a
// table that ends early shows up as missing pixels, not as wrong colours.
using Palette = std::array<QRgb, 256>;

Palette paletteOf(const ColorMapObject *map, int transparent)
{
    Palette palette{}; // all zero: transparent
    const int count = map ? std::min(map->ColorCount, 256) : 0;
    for (int i = 0; i < count; ++i)
        palette[size_t(i)] = qRgb(map->Colors[i].Red, map->Colors[i].Green, map->Colors[i].Blue);
    if (transparent >= 0 && transparent < 256)
        palette[size_t(transparent)] = 0;
    return palette;
}

// The rows of an interlaced image in the order they are stored: every 8th from 0, every 8th from
// 4, every 4th from 2, every 2nd from 1.
std::vector<int> storedRowOrder(int height, bool interlaced)
{
    std::vector<int> order;
    order.reserve(size_t(height));
    if (!interlaced) {
        for (int y = 0; y < height; ++y)
            order.push_back(y);
        return order;
    }
    static constexpr int kStart[] = {0, 4, 2, 1}, kStep[] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass)
        for (int y = kStart[pass]; y < height; y += kStep[pass])
            order.push_back(y);
    return order;
}

// The canvas and what a frame's disposal leaves for the next.
struct Composer {
    QImage canvas;
    GraphicsControlBlock control{DISPOSAL_UNSPECIFIED, false, 0, NO_TRANSPARENT_COLOR};
};

// Reads the current image's pixels and draws them on the canvas (a frame reaching beyond the
// screen is clipped to it, as browsers clip every frame after the first). False when giflib fails.
bool drawImage(GifFileType *gif, Composer &composer)
{
    const GifImageDesc &image = gif->Image;
    const QRect rect(image.Left, image.Top, image.Width, image.Height);
    if (rect.isEmpty()) { // no pixels, yet its code blocks are there to be passed over
        int codeSize = 0;
        GifByteType *block = nullptr;
        if (DGifGetCode(gif, &codeSize, &block) == GIF_ERROR)
            return false;
        while (block) {
            if (DGifGetCodeNext(gif, &block) == GIF_ERROR)
                return false;
        }
        return true;
    }
    const Palette palette = paletteOf(image.ColorMap ? image.ColorMap : gif->SColorMap,
                                      composer.control.TransparentColor);
    const QRect shown = rect & composer.canvas.rect();
    std::vector<GifPixelType> line(size_t(rect.width()));
    for (const int y : storedRowOrder(rect.height(), image.Interlace)) {
        if (DGifGetLine(gif, line.data(), rect.width()) == GIF_ERROR)
            return false;
        const int canvasY = rect.top() + y;
        if (canvasY < shown.top() || canvasY > shown.bottom())
            continue;
        auto *row = reinterpret_cast<QRgb *>(composer.canvas.scanLine(canvasY));
        for (int x = shown.left(); x <= shown.right(); ++x) {
            const QRgb colour = palette[line[size_t(x - rect.left())]];
            if (qAlpha(colour))
                row[x] = colour;
        }
    }
    return true;
}

// Reads one image as a frame: drawn over what the frames before left, kept, then disposed of as
// its Graphic Control Extension says.
bool readFrame(GifFileType *gif, Composer &composer, DecodedAnimation &animation)
{
    if (DGifGetImageDesc(gif) == GIF_ERROR)
        return false;
    const QImage before = composer.canvas; // shared until the drawing changes the canvas
    if (!drawImage(gif, composer))
        return false;
    animation.frames.push_back(composer.canvas);
    animation.delaysMs.push_back(composer.control.DelayTime * 10);
    const QRect rect = QRect(gif->Image.Left, gif->Image.Top, gif->Image.Width, gif->Image.Height) &
                       composer.canvas.rect();
    switch (composer.control.DisposalMode) {
    case DISPOSE_BACKGROUND: // cleared to transparent, as browsers do, not to the background
        for (int y = rect.top(); y <= rect.bottom(); ++y)
            std::memset(composer.canvas.scanLine(y) + rect.left() * 4, 0, size_t(rect.width()) * 4);
        break;
    case DISPOSE_PREVIOUS:
    case 4: // some writers set the third bit for "previous": browsers read it so
        composer.canvas = before;
        break;
    default: break; // unspecified, "do not dispose" and the undefined values leave the frame
    }
    composer.control = {DISPOSAL_UNSPECIFIED, false, 0, NO_TRANSPARENT_COLOR}; // one image's only
    return true;
}

// Reads an extension: a Graphic Control Extension sets the next image's disposal, delay and
// transparent index; every other kind is passed over.
bool readExtension(GifFileType *gif, Composer &composer)
{
    int code = 0;
    GifByteType *block = nullptr;
    if (DGifGetExtension(gif, &code, &block) == GIF_ERROR)
        return false;
    if (code == GRAPHICS_EXT_FUNC_CODE && block && block[0] >= 4)
        DGifExtensionToGCB(block[0], block + 1, &composer.control);
    while (block) {
        if (DGifGetExtensionNext(gif, &block) == GIF_ERROR)
            return false;
    }
    return true;
}

// Reads the images the walk counted; what follows the last of them is not looked at.
bool readFrames(GifFileType *gif, qint64 images, Composer &composer, DecodedAnimation &animation)
{
    while (qint64(animation.frames.size()) < images) {
        GifRecordType record = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif, &record) == GIF_ERROR)
            return false;
        switch (record) {
        case IMAGE_DESC_RECORD_TYPE:
            if (!readFrame(gif, composer, animation))
                return false;
            break;
        case EXTENSION_RECORD_TYPE:
            if (!readExtension(gif, composer))
                return false;
            break;
        default: return false; // the walk found an image here
        }
    }
    return true;
}

} // namespace

DecodedAnimation DecodeGifAnimation(const QByteArray &bytes, const QString &name)
{
    // The blocks are walked first: the frames are counted, and a file cut short is refused,
    // before any pixel is decoded.
    const GifLayout layout = layoutOf(bytes);
    if (layout.images <= 1)
        return {}; // a still picture, or one cut within its first image: the still reader's
    if (layout.cutShort)
        throw ReadFailure(name, CutShortFileText(kGif));
    // The screen widened to the first image where that reaches beyond it, as the still reader
    // decodes it (and browsers show it): the first frame is the picture a still reading gives.
    const QSize canvas = GifDecodedSize(bytes);
    CheckAnimationBounds(canvas, layout.images, bytes.size(), kGif, name);
    // Every pixel of an image is decoded, even where the screen clips it: images far larger than
    // the screen would cost time for nothing shown. Within the screen they come to no more than
    // kMaxPictureBytes / 4 pixels, which the bounds above allow.
    if (layout.pixels > kMaxPictureBytes)
        throw ReadFailure(name, AnimationTooLargeText(canvas, layout.images));
    GifReader reader(bytes);
    if (!reader.gif)
        throw ReadFailure(name, DamagedFileText(kGif));
    Composer composer;
    composer.canvas = QImage(canvas, QImage::Format_ARGB32);
    if (composer.canvas.isNull())
        throw std::bad_alloc();
    composer.canvas.fill(0); // the screen starts transparent, its background colour unused
    DecodedAnimation animation;
    animation.frames.reserve(size_t(layout.images));
    if (!readFrames(reader.gif, layout.images, composer, animation))
        throw ReadFailure(name, DamagedFileText(kGif));
    SettleAnimationFormat(animation);
    return animation;
}
