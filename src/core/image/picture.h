// SPDX-License-Identifier: GPL-3.0-or-later
// The pixel conventions every picture operation shares.
#pragma once

#include <QImage>
#include <algorithm>
#include <cstdint>

// Pictures are 24-bit: three bytes per pixel in the order blue, green, red, row 0 at the top.
inline constexpr QImage::Format kPictureFormat = QImage::Format_BGR888;

// The picture in 24-bit form: the image itself when it already is (a shallow copy), otherwise a
// converted copy. Colours of any other depth (an 8-bit palette, 1-bit, 32-bit) are kept exactly;
// a picture with alpha is seen over white (OverWhite).
QImage To24Bit(const QImage &image);

// A picture with alpha whose every pixel is opaque, as the 24-bit picture it is; any other as it
// is (a 32-bit one converted to non-premultiplied ARGB). Readers give an opaque picture no alpha,
// so that it takes the 24-bit paths.
QImage WithoutUnusedAlpha(QImage picture);

// A 24-bit picture of the given size with every pixel white.
QImage WhitePicture(int width, int height);

// A computed channel value as a byte: above 255 gives 255; below 0, or NaN, gives 0; anything
// else is truncated (254.99 gives 254). No rounding here: a caller that wants it adds 0.5.
inline uint8_t ClampByte(double x)
{
    if (x > 255.0)
        return 255;
    if (!(x >= 0.0))
        return 0;
    return static_cast<uint8_t>(x);
}

// Keeps the memory of freed large pictures in the process for the next one: an edit or a batch
// file allocates tens of megabytes, and fresh pages from the kernel cost more than the work on
// them. Called once at start by the program (and by the benchmarks, which time it as it runs).
void KeepPictureMemoryForReuse();

// A picture of width x height whose 24-bit pixels would take more than this is refused before
// any memory is taken for it, whether it is read from a file or made by an edit: beyond this a
// picture would exhaust the memory of an ordinary desktop before the user saw anything. A file
// larger than this is no picture the program would decode either.
inline constexpr long long kMaxPictureBytes = 1LL << 30;

// The most frames an animation may show, read or written: far beyond any animation made to be
// watched, and a bound on the memory and time of one, which readers and encoders spend per frame.
inline constexpr int kMaxAnimationFrames = 10000;

// Whether width x height 24-bit pixels take more than kMaxPictureBytes; false for a side below 1.
// Divided rather than multiplied: the sides of a damaged header can be near 2^31 each, and their
// product times 3 beyond any 64-bit integer.
inline bool ExceedsPictureLimit(long long width, long long height)
{
    return width > 0 && height > 0 && height > kMaxPictureBytes / 3 / width;
}

// The memory a decoder may take for one picture: the form it decodes into (4 to 16 bytes a pixel
// for the kinds Qt's plugins read, 4 for a picture with alpha) and the 24-bit copy that follows.
// Twice the picture limit: every picture within kMaxPictureBytes whose decoded form has at most 4
// bytes a pixel fits, and no file can make a decoder take several gigabytes for a picture.
inline constexpr long long kMaxDecodingBytes = 2 * kMaxPictureBytes;

// Whether decoding width x height pixels at bytesPerPixel (every buffer of the decoding together,
// copies included) takes more than kMaxDecodingBytes; false for a side below 1. Never overflows.
inline bool ExceedsDecodingLimit(long long width, long long height, int bytesPerPixel)
{
    return width > 0 && height > 0 && height > kMaxDecodingBytes / bytesPerPixel / width;
}

// Pixels a byte of compressed data can describe, at most, in the files the program reads. JPEG's
// Huffman coding spends at least a bit on every 8 x 8 block of each component (512 pixels a
// byte at most), and an RLE bitmap that writes its pixels spends two bytes on a run of at most
// 255. Arithmetic coding and RLE skips can say "the same again" for almost nothing: a flat
// 4000 x 3000 picture takes 211 bytes of arithmetic-coded JPEG, and a header with a damaged size
// is no larger. Such files are decoded as long as they are no larger than kPixelsDecodedFreely;
// beyond that, a few hundred bytes would make the program spend up to a gigabyte on them.
inline constexpr long long kMaxPixelsPerCodedByte = 1024;
inline constexpr long long kPixelsDecodedFreely = 4096LL * 4096; // 48 MiB at 24 bits

// Whether a width x height picture is both larger than kPixelsDecodedFreely and more than
// dataBytes of compressed data can describe (kMaxPixelsPerCodedByte). Never overflows.
inline bool ExceedsCodedPixels(long long width, long long height, long long dataBytes)
{
    if (width <= 0 || height <= 0 || height <= kPixelsDecodedFreely / width)
        return false;
    return height > std::max(dataBytes, 0LL) * kMaxPixelsPerCodedByte / width;
}

// Throws Failure when a width x height result cannot be made: "画像が大きすぎます (W x H)" beyond
// the limit, "画像がありません (W x H)" for an empty one.
void CheckResultSize(long long width, long long height);
