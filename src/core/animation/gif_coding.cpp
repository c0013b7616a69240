// SPDX-License-Identifier: GPL-3.0-or-later
// GIF frames and files through giflib.
#include "core/animation/gif_coding.h"

#include "core/base/io_error.h"

#include <QCoreApplication>

#include <gif_lib.h>

#include <algorithm>
#include <memory>
#include <utility>

namespace {

int appendGifBytes(GifFileType *gif, const GifByteType *data, int length)
{
    auto *file = static_cast<QByteArray *>(gif->UserData);
    file->append(reinterpret_cast<const char *>(data), length);
    return length;
}

Failure gifFailure(int error)
{
    const char *text = GifErrorString(error);
    return Failure(QCoreApplication::translate("GifAnimation", "GIF を作れません (%1)")
                       .arg(text ? QString::fromUtf8(text) : QString::number(error)));
}

void check(GifFileType *gif, int result)
{
    if (result == GIF_ERROR)
        throw gifFailure(gif->Error);
}

// A giflib writer into bytes, closed however its owner is left.
struct GifWriter {
    QByteArray bytes;
    GifFileType *gif = nullptr;
    GifWriter()
    {
        int error = 0;
        gif = EGifOpen(&bytes, appendGifBytes, &error);
        if (!gif)
            throw gifFailure(error);
        EGifSetGifVersion(gif, true); // 89a: delays, transparency and the loop block
    }
    ~GifWriter()
    {
        int error = 0;
        EGifCloseFile(gif, &error);
    }
    GifWriter(const GifWriter &) = delete;
    GifWriter &operator=(const GifWriter &) = delete;
};

struct MapDeleter {
    void operator()(ColorMapObject *map) const { GifFreeMapObject(map); }
};
using ColourMap = std::unique_ptr<ColorMapObject, MapDeleter>;

// A colour table of 1 << bits entries: the colours given, then black.
ColourMap colourMap(const std::vector<QRgb> &colours, int bits)
{
    ColourMap map(GifMakeMapObject(1 << bits, nullptr));
    if (!map)
        throw std::bad_alloc();
    for (size_t i = 0; i < colours.size(); ++i)
        map->Colors[i] = {GifByteType(qRed(colours[i])), GifByteType(qGreen(colours[i])),
                          GifByteType(qBlue(colours[i]))};
    return map;
}

int disposalMode(GifDisposal disposal)
{
    switch (disposal) {
    case GifDisposal::Clear: return DISPOSE_BACKGROUND;
    case GifDisposal::Restore: return DISPOSE_PREVIOUS;
    case GifDisposal::Keep: break;
    }
    return DISPOSE_DO_NOT;
}

// The application block that tells players to loop: NETSCAPE2.0, sub-block 1, count 0 (forever).
void putLoopForever(GifFileType *gif)
{
    static const char kName[] = "NETSCAPE2.0";
    static const unsigned char kLoop[] = {1, 0, 0};
    check(gif, EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE));
    check(gif, EGifPutExtensionBlock(gif, 11, kName));
    check(gif, EGifPutExtensionBlock(gif, 3, kLoop));
    check(gif, EGifPutExtensionTrailer(gif));
}

} // namespace

int GifIndexBits(int count)
{
    int bits = 1;
    while ((1 << bits) < count)
        ++bits;
    return bits;
}

QByteArray CodeGifFrame(const GifFrameCode &frame)
{
    // giflib starts the LZW codes from the bits of the table a frame uses; a frame of the global
    // table gets a screen table of its own bits here, whose bytes are left out with the header.
    GifWriter writer;
    const int tableBits = frame.colours
                              ? std::max(frame.indexBits, GifIndexBits(int(frame.colours->size())))
                              : frame.indexBits;
    const ColourMap screen = colourMap({}, frame.indexBits);
    check(writer.gif, EGifPutScreenDesc(writer.gif, frame.rect.right() + 1, frame.rect.bottom() + 1,
                                        8, 0, screen.get()));
    const int header = int(writer.bytes.size());

    GraphicsControlBlock control{};
    control.DisposalMode = disposalMode(frame.disposal);
    control.UserInputFlag = false;
    control.DelayTime = frame.delay;
    control.TransparentColor = frame.transparentIndex;
    GifByteType extension[4];
    EGifGCBToExtension(&control, extension);
    check(writer.gif, EGifPutExtension(writer.gif, GRAPHICS_EXT_FUNC_CODE, 4, extension));
    const ColourMap own = frame.colours ? colourMap(*frame.colours, tableBits) : ColourMap();
    const int w = frame.rect.width();
    check(writer.gif, EGifPutImageDesc(writer.gif, frame.rect.left(), frame.rect.top(), w,
                                       frame.rect.height(), false, own.get()));
    // giflib takes the rows as writable, but only reads them.
    auto *indices = const_cast<unsigned char *>(frame.indices);
    for (int y = 0; y < frame.rect.height(); ++y)
        check(writer.gif, EGifPutLine(writer.gif, indices + size_t(y) * size_t(w), w));
    return writer.bytes.mid(header);
}

QByteArray AssembleGif(QSize size, const std::vector<QRgb> &globalColours,
                       const std::vector<QByteArray> &frames)
{
    GifWriter writer;
    const ColourMap global =
        globalColours.empty() ? ColourMap()
                              : colourMap(globalColours, GifIndexBits(int(globalColours.size())));
    check(writer.gif,
          EGifPutScreenDesc(writer.gif, size.width(), size.height(), 8, 0, global.get()));
    putLoopForever(writer.gif);
    // giflib writes straight through appendGifBytes, so frames coded apart follow in place.
    for (const QByteArray &frame : frames)
        writer.bytes.append(frame);
    int error = 0;
    GifFileType *gif = std::exchange(writer.gif, nullptr);
    if (EGifCloseFile(gif, &error) == GIF_ERROR)
        throw gifFailure(error);
    return std::exchange(writer.bytes, {});
}
