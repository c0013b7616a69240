// SPDX-License-Identifier: GPL-3.0-or-later
// libimagequant's palette for GIF frames, and the frames remapped to it.
#include "core/animation/gif_quantizer.h"

#include "core/animation/gif_remap.h"
#include "core/base/io_error.h"

#include <QCoreApplication>

#include <libimagequant.h>

#include <new>

namespace {

Failure paletteFailure()
{
    return Failure(QCoreApplication::translate("GifAnimation", "GIF のパレットを作れません"));
}

// A libimagequant image of RGBA bytes it reads but does not own; the bytes live as long as it.
struct LiqImage {
    QImage rgba;
    liq_image *image = nullptr;
    LiqImage(liq_attr *attributes, const QImage &argb)
        : rgba(argb.convertToFormat(QImage::Format_RGBA8888))
    {
        // RGBA8888 rows are width * 4 bytes with no padding, which is what libimagequant expects.
        image = liq_image_create_rgba(attributes, rgba.constBits(), rgba.width(), rgba.height(), 0);
        if (!image)
            throw std::bad_alloc();
    }
    ~LiqImage()
    {
        if (image)
            liq_image_destroy(image);
    }
    LiqImage(const LiqImage &) = delete;
    LiqImage &operator=(const LiqImage &) = delete;
};

} // namespace

GifQuantizer::GifQuantizer(const QImage &frame, int colours, int speed)
{
    liq_attr *attributes = liq_attr_create();
    if (!attributes)
        throw std::bad_alloc();
    liq_result *result = nullptr;
    // libimagequant's objects live only while the palette is chosen.
    struct Release {
        liq_attr *&attributes;
        liq_result *&result;
        ~Release()
        {
            if (result)
                liq_result_destroy(result);
            liq_attr_destroy(attributes);
        }
    } release{attributes, result};
    liq_set_speed(attributes, speed);
    liq_set_max_colors(attributes, colours);
    {
        LiqImage image(attributes, frame);
        // The transparent colour is always in the palette, exactly: it is the index of the
        // frame's own transparent pixels, and of the pixels that let the earlier frames show
        // through.
        liq_image_add_fixed_color(image.image, liq_color{0, 0, 0, 0});
        if (liq_image_quantize(image.image, attributes, &result) != LIQ_OK)
            throw paletteFailure();
    }
    const liq_palette *palette = liq_get_palette(result);
    for (unsigned int i = 0; i < palette->count; ++i) {
        const liq_color &c = palette->entries[i];
        if (c.a == 0)
            m_transparentIndex = int(i);
        m_palette.push_back(qRgb(c.r, c.g, c.b));
    }
    if (m_transparentIndex < 0)
        throw paletteFailure();
}

GifQuantizer::Remapped GifQuantizer::remap(const QImage &part, const QImage &shown,
                                           float dither) const
{
    RemappedPixels pixels = RemapToPalette(part, shown, m_palette, m_transparentIndex, dither);
    Remapped remapped;
    remapped.indices = std::move(pixels.indices);
    remapped.colours = std::move(pixels.colours);
    remapped.transparentIndex = m_transparentIndex;
    return remapped;
}
