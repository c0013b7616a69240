// SPDX-License-Identifier: GPL-3.0-or-later
// GIF frames, coded here with GifLzwData, and the file around them through giflib.
#include "core/animation/gif_coding.h"

#include "core/animation/gif_lzw.h"
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

int GifTableBytes(int colours)
{
    return colours > 0 ? 3 << GifIndexBits(colours) : 0;
}

QByteArray CodeGifFrame(const GifFrameCode &frame)
{
    QByteArray out;
    auto put16 = [&](int value) {
        out.append(char(value & 0xff));
        out.append(char((value >> 8) & 0xff));
    };
    // The graphic control block: disposal, delay and the transparent index.
    const bool transparent = frame.transparentIndex >= 0;
    out.append("\x21\xf9\x04", 3);
    out.append(char((disposalMode(frame.disposal) << 2) | (transparent ? 1 : 0)));
    put16(frame.delay);
    out.append(char(transparent ? frame.transparentIndex : 0));
    out.append(char(0));
    // The image descriptor, and the frame's own colour table when it has one.
    out.append(char(0x2c));
    put16(frame.rect.left());
    put16(frame.rect.top());
    put16(frame.rect.width());
    put16(frame.rect.height());
    if (frame.colours) {
        const int tableBits = std::max(frame.indexBits, GifIndexBits(int(frame.colours->size())));
        out.append(char(0x80 | (tableBits - 1)));
        for (int i = 0; i < (1 << tableBits); ++i) {
            const QRgb colour =
                i < int(frame.colours->size()) ? (*frame.colours)[size_t(i)] : qRgb(0, 0, 0);
            out.append(char(qRed(colour)));
            out.append(char(qGreen(colour)));
            out.append(char(qBlue(colour)));
        }
    } else {
        out.append(char(0));
    }
    const size_t count = size_t(frame.rect.width()) * size_t(frame.rect.height());
    QByteArray data = GifLzwData(frame.indices, nullptr, count, frame.indexBits);
    if (frame.alternatives) {
        // The coder's choices between alternatives usually, not always, give fewer bytes.
        std::vector<unsigned char> chosen(frame.indices, frame.indices + count);
        QByteArray shorter = GifLzwData(chosen.data(), frame.alternatives, count, frame.indexBits);
        if (shorter.size() < data.size()) {
            data = std::move(shorter);
            std::copy(chosen.begin(), chosen.end(), frame.indices);
        }
    }
    out.append(data);
    return out;
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
