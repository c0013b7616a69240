// SPDX-License-Identifier: GPL-3.0-or-later
// JPEGs made by libjpeg in memory, for the codings and colour spaces the program's own encoder
// never writes.
#pragma once

#include <QByteArray>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include <jpeglib.h>

// A JPEG of width x height with `components` samples a pixel in `space`: libjpeg's defaults, then
// choose(info) for the coding; row y's samples come from fill(y, row).
inline QByteArray MakeJpeg(int width, int height, int components, J_COLOR_SPACE space,
                           const std::function<void(jpeg_compress_struct &)> &choose,
                           const std::function<void(int y, unsigned char *row)> &fill)
{
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors); // a failure ends the test program, which is right here
    jpeg_create_compress(&info);
    unsigned char *out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &out, &size);
    info.image_width = JDIMENSION(width);
    info.image_height = JDIMENSION(height);
    info.input_components = components;
    info.in_color_space = space;
    jpeg_set_defaults(&info);
    choose(info);
    jpeg_start_compress(&info, TRUE);
    std::vector<unsigned char> row(size_t(width) * size_t(components));
    while (info.next_scanline < info.image_height) {
        fill(int(info.next_scanline), row.data());
        JSAMPROW pointer = row.data();
        jpeg_write_scanlines(&info, &pointer, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    QByteArray bytes(reinterpret_cast<const char *>(out), qsizetype(size));
    std::free(out);
    return bytes;
}
