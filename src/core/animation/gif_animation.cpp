// SPDX-License-Identifier: GPL-3.0-or-later
// Animated GIF through libimagequant and giflib.
#include "core/animation/gif_animation.h"

#include "core/base/io_error.h"

#include <QCoreApplication>
#include <QHash>

#include <gif_lib.h>
#include <libimagequant.h>

#include <array>
#include <climits>
#include <cstring>
#include <optional>
#include <utility>

namespace {

// GIF keeps sides in 16 bits.
constexpr int kMaxGifSide = 65535;
// A pixel at least this opaque is drawn; one less opaque is the transparent index. GIF has no
// partial transparency, and half-way is where the error of either choice is smallest.
constexpr int kOpaqueFrom = 128;
// Measured on 21 photo-like blend frames of 400 x 300 (bench/compare_formats.sh): the quantizer's
// speed 8 takes a fifth of the time of its default 4, at 1 dB less; and the last 64 of 256 colours
// buy under 1 dB while adding 7 % to the file, since the indices of dithered photo noise hardly
// compress. A sprite's few colours fit either way.
constexpr int kQuantizerSpeed = 8;
constexpr int kPaletteColours = 192;

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

// A quantizer of its own for each frame, so frames can be quantized on several threads at once.
struct Quantizer {
    liq_attr *attributes = nullptr;
    liq_image *image = nullptr;
    liq_result *result = nullptr;
    Quantizer()
    {
        attributes = liq_attr_create();
        if (!attributes)
            throw std::bad_alloc();
        liq_set_speed(attributes, kQuantizerSpeed);
        liq_set_max_colors(attributes, kPaletteColours);
    }
    ~Quantizer()
    {
        if (result)
            liq_result_destroy(result);
        if (image)
            liq_image_destroy(image);
        liq_attr_destroy(attributes);
    }
    Quantizer(const Quantizer &) = delete;
    Quantizer &operator=(const Quantizer &) = delete;
};

// A frame as the GIF holds it: a palette index per pixel and the palette's colours.
struct GifFrame : PreparedFrame {
    std::vector<unsigned char> indices;
    std::array<GifColorType, 256> colours{};
    int colourCount = 0;
    int transparentIndex = -1; // none
    bool hasAlpha = false;
};

// The frame as RGBA bytes with every pixel either opaque or (0, 0, 0, 0); true when any pixel is
// transparent.
bool binaryAlphaRgba(const QImage &frame, QImage &rgba)
{
    rgba = frame.convertToFormat(QImage::Format_RGBA8888);
    if (!frame.hasAlphaChannel())
        return false;
    bool transparent = false;
    for (int y = 0; y < rgba.height(); ++y) {
        uchar *p = rgba.scanLine(y);
        for (int x = 0; x < rgba.width(); ++x, p += 4) {
            if (p[3] < kOpaqueFrom) {
                std::memset(p, 0, 4);
                transparent = true;
            } else {
                p[3] = 255;
            }
        }
    }
    return transparent;
}

int nearestOpaque(const liq_palette &palette, const uchar *pixel, int transparentIndex)
{
    int best = 0;
    long bestDistance = LONG_MAX;
    for (int i = 0; i < int(palette.count); ++i) {
        if (i == transparentIndex)
            continue;
        const liq_color &c = palette.entries[i];
        const long dr = long(c.r) - pixel[0], dg = long(c.g) - pixel[1], db = long(c.b) - pixel[2];
        const long distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return best;
}

// The palette of a frame with at most kPaletteColours colours (the transparent one counted), with
// each pixel's index; false, and nothing usable, for a frame with more.
bool exactPalette(const QImage &rgba, liq_palette &palette, std::vector<unsigned char> &indices)
{
    QHash<quint32, unsigned char> index;
    palette.count = 0;
    unsigned char *to = indices.data();
    for (int y = 0; y < rgba.height(); ++y) {
        const uchar *p = rgba.constScanLine(y);
        for (int x = 0; x < rgba.width(); ++x, p += 4) {
            quint32 key = 0;
            std::memcpy(&key, p, 4);
            auto found = index.constFind(key);
            if (found == index.constEnd()) {
                if (int(palette.count) == kPaletteColours)
                    return false;
                palette.entries[palette.count] = liq_color{p[0], p[1], p[2], p[3]};
                found = index.insert(key, (unsigned char)palette.count++);
            }
            *to++ = found.value();
        }
    }
    return true;
}

} // namespace

GifAnimationEncoder::GifAnimationEncoder(QSize size, const AnimationOptions &options)
    : m_size(size), m_options(options)
{
    if (size.width() < 1 || size.height() < 1 || size.width() > kMaxGifSide ||
        size.height() > kMaxGifSide)
        throw Failure(
            QCoreApplication::translate("GifAnimation", "GIF にできない大きさです (%1 x %2)")
                .arg(size.width())
                .arg(size.height()));
    int error = 0;
    m_gif = EGifOpen(&m_file, appendGifBytes, &error);
    if (!m_gif)
        throw gifFailure(error);
    EGifSetGifVersion(m_gif, true); // 89a: delays, transparency and the loop block
    check(m_gif, EGifPutScreenDesc(m_gif, size.width(), size.height(), 8, 0, nullptr));
    putLoopForever(m_gif);
}

GifAnimationEncoder::~GifAnimationEncoder()
{
    if (m_gif) {
        int error = 0;
        EGifCloseFile(m_gif, &error);
    }
}

std::unique_ptr<PreparedFrame> GifAnimationEncoder::prepare(const QImage &frame) const
{
    if (frame.size() != m_size)
        throw Failure(
            QCoreApplication::translate("GifAnimation", "GIF のフレームの大きさが違います"));
    QImage rgba;
    const bool transparent = binaryAlphaRgba(frame, rgba);
    const int w = m_size.width(), h = m_size.height();

    auto prepared = std::make_unique<GifFrame>();
    prepared->hasAlpha = frame.hasAlphaChannel();
    std::vector<unsigned char> &indices = prepared->indices;
    indices.resize(size_t(w) * size_t(h));
    std::optional<Quantizer> q;
    liq_palette exact;
    const liq_palette *chosen = &exact;
    // A frame of few colours (a sprite, a screenshot) keeps them exactly; any other is quantized.
    if (!exactPalette(rgba, exact, indices)) {
        q.emplace();
        // RGBA8888 rows are w * 4 bytes with no padding, which is what libimagequant expects.
        q->image = liq_image_create_rgba(q->attributes, rgba.bits(), w, h, 0);
        if (!q->image)
            throw std::bad_alloc();
        // The transparent colour is always in the palette, exactly, so it can be the one index.
        if (transparent)
            liq_image_add_fixed_color(q->image, liq_color{0, 0, 0, 0});
        if (liq_image_quantize(q->image, q->attributes, &q->result) != LIQ_OK)
            throw Failure(
                QCoreApplication::translate("GifAnimation", "GIF のパレットを作れません"));
        liq_set_dithering_level(q->result, m_options.dither ? 1.0f : 0.0f);
        if (liq_write_remapped_image(q->result, q->image, indices.data(), indices.size()) != LIQ_OK)
            throw Failure(
                QCoreApplication::translate("GifAnimation", "GIF のパレットを作れません"));
        chosen = liq_get_palette(q->result);
    }
    const liq_palette &palette = *chosen;

    if (transparent) {
        int &transparentIndex = prepared->transparentIndex;
        for (int i = 0; i < int(palette.count); ++i) {
            if (palette.entries[i].a == 0)
                transparentIndex = i;
        }
        // The remapping weighs colour against alpha; the pixels themselves decide which is which.
        for (int y = 0; y < h; ++y) {
            const uchar *p = rgba.constScanLine(y);
            unsigned char *index = indices.data() + size_t(y) * size_t(w);
            for (int x = 0; x < w; ++x, p += 4) {
                if (p[3] == 0)
                    index[x] = (unsigned char)transparentIndex;
                else if (index[x] == transparentIndex)
                    index[x] = (unsigned char)nearestOpaque(palette, p, transparentIndex);
            }
        }
    }
    prepared->colourCount = int(palette.count);
    for (int i = 0; i < int(palette.count); ++i)
        prepared->colours[size_t(i)] = {palette.entries[i].r, palette.entries[i].g,
                                        palette.entries[i].b};
    return prepared;
}

void GifAnimationEncoder::addPrepared(std::unique_ptr<PreparedFrame> prepared)
{
    // Only this encoder's prepare makes the frames it is given.
    const auto *frame = static_cast<const GifFrame *>(prepared.get());
    if (!m_gif)
        throw Failure(
            QCoreApplication::translate("GifAnimation", "GIF のフレームの大きさが違います"));
    const int w = m_size.width(), h = m_size.height();
    // The colour table's size must be a power of two of at least 2 entries.
    int tableSize = 2;
    while (tableSize < frame->colourCount)
        tableSize *= 2;
    ColorMapObject *map = GifMakeMapObject(tableSize, frame->colours.data());
    if (!map)
        throw std::bad_alloc();

    GraphicsControlBlock control{};
    // Frames with alpha replace the last one whole: the area is cleared before the next frame, so
    // a frame never shows through the transparent pixels of the one after it. Every frame of a
    // run has the same format, so the rule holds from the first frame on.
    control.DisposalMode = frame->hasAlpha ? DISPOSE_BACKGROUND : DISPOSE_DO_NOT;
    control.UserInputFlag = false;
    control.DelayTime = GifDelay(m_options.delayMs);
    control.TransparentColor = frame->transparentIndex;
    GifByteType extension[4];
    EGifGCBToExtension(&control, extension);
    int result = EGifPutExtension(m_gif, GRAPHICS_EXT_FUNC_CODE, 4, extension);
    if (result != GIF_ERROR)
        result = EGifPutImageDesc(m_gif, 0, 0, w, h, false, map); // copies the map
    GifFreeMapObject(map);
    check(m_gif, result);
    // giflib takes the rows as writable, but only reads them.
    auto *indices = const_cast<unsigned char *>(frame->indices.data());
    for (int y = 0; y < h; ++y)
        check(m_gif, EGifPutLine(m_gif, indices + size_t(y) * size_t(w), w));
}

QByteArray GifAnimationEncoder::finish()
{
    int error = 0;
    GifFileType *gif = std::exchange(m_gif, nullptr);
    if (!gif || EGifCloseFile(gif, &error) == GIF_ERROR)
        throw gifFailure(error);
    return std::exchange(m_file, {});
}
