// SPDX-License-Identifier: GPL-3.0-or-later
// The picture the tests cut, move and compare: every pixel tells where it is, so a pixel taken
// from the wrong place cannot pass.
#pragma once

#include <QColorSpace>
#include <QImage>
#include <QString>

// Red is the column and green the row (each within a block of 250), blue the block; no pixel is
// black or white, so the frame's marks and a white blend key never pass for the picture's own.
// 24-bit, as pictures are.
inline QImage Numbered(int width, int height)
{
    QImage picture(width, height, QImage::Format_BGR888);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.setPixel(x, y,
                             qRgb(3 + x % 250, 3 + y % 250, ((x / 250) * 16 + y / 250) % 256));
    return picture;
}

// A written file's pixels in format, without the colour space its file names: PNG outputs say
// they are sRGB, and QImage's == tells a picture that says so from one that does not.
inline QImage PixelsOf(const QString &path, QImage::Format format = QImage::Format_BGR888)
{
    QImage picture = QImage(path).convertToFormat(format);
    picture.setColorSpace(QColorSpace());
    return picture;
}
