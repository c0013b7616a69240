// SPDX-License-Identifier: GPL-3.0-or-later
// libimagequant's palette and remapping for GIF frames.
#include "core/animation/gif_quantizer.h"

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
    m_attributes = liq_attr_create();
    if (!m_attributes)
        throw std::bad_alloc();
    liq_set_speed(m_attributes, speed);
    liq_set_max_colors(m_attributes, colours);
    LiqImage image(m_attributes, frame);
    // The transparent colour is always in the palette, exactly: it is the index of the frame's
    // own transparent pixels, and of the pixels that let the earlier frames show through.
    liq_image_add_fixed_color(image.image, liq_color{0, 0, 0, 0});
    if (liq_image_quantize(image.image, m_attributes, &m_result) != LIQ_OK)
        throw paletteFailure();
}

GifQuantizer::~GifQuantizer()
{
    if (m_result)
        liq_result_destroy(m_result);
    liq_attr_destroy(m_attributes);
}

GifQuantizer::Remapped GifQuantizer::remap(const QImage &part, const QImage &shown, float dither)
{
    // The background's bytes outlive the image, which owns the background once it is set.
    LiqImage background(m_attributes, shown);
    LiqImage image(m_attributes, part);
    if (liq_image_set_background(image.image, background.image) != LIQ_OK)
        throw paletteFailure();
    background.image = nullptr;

    Remapped remapped;
    remapped.indices.resize(size_t(part.width()) * size_t(part.height()));
    liq_set_dithering_level(m_result, dither);
    if (liq_write_remapped_image(m_result, image.image, remapped.indices.data(),
                                 remapped.indices.size()) != LIQ_OK)
        throw paletteFailure();
    // Remapping refines the palette, so it is read afterwards.
    const liq_palette *palette = liq_get_palette(m_result);
    for (unsigned int i = 0; i < palette->count; ++i) {
        const liq_color &c = palette->entries[i];
        if (c.a == 0)
            remapped.transparentIndex = int(i);
        remapped.colours.push_back(qRgb(c.r, c.g, c.b));
    }
    return remapped;
}
