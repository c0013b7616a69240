// TImageConv: the picture operations, and the pixel conventions they share.
#pragma once

#include <QImage>
#include <algorithm>
#include <cstdint>

// Pictures are 24-bit: three bytes per pixel in the order blue, green, red, row 0 at the top.
inline constexpr QImage::Format kPictureFormat = QImage::Format_BGR888;

// The picture in 24-bit form: the image itself when it already is (a shallow copy), otherwise a
// converted copy. Colours of any other depth (an 8-bit palette, 1-bit, 32-bit) are kept exactly.
QImage To24Bit(const QImage &image);

// A 24-bit picture of the given size with every pixel white.
QImage WhitePicture(int width, int height);

// Draws src onto dst at (0, 0): dst keeps its size and format; src is converted as it is drawn and
// clipped to dst. A null or empty dst takes src (in dst's format when it has one) whole.
void DrawAt(QImage &dst, const QImage &src);

// An inclusive rectangle of picture pixels, as the filter operations take it.
struct PixelRect {
    int left = 0;
    int top = 0;
    int right = -1;
    int bottom = -1;
    bool isEmpty() const { return right < left || bottom < top; }
};

// The copy, compute, draw back pattern of the operations that keep the picture's size:
//  1. the result starts as an exact 24-bit copy of src,
//  2. every row of rect (clipped to the picture) is recomputed, reading only src, never the result,
//  3. the result is drawn onto dst at (0, 0).
// Pixels outside rect keep src's values, the loop order cannot change the result, and src and dst
// may be the same image. computeRow(src24, y, x0, x1, out) writes pixels x0..x1 (inclusive) of row
// y into out, which points at pixel x0 of the result row.
template <typename ComputeRow>
void CopyComputeDrawBack(const QImage &src, QImage &dst, PixelRect rect, ComputeRow computeRow)
{
    const QImage src24 = To24Bit(src);
    QImage result = src24.copy();
    rect.left = std::max(rect.left, 0);
    rect.top = std::max(rect.top, 0);
    rect.right = std::min(rect.right, src24.width() - 1);
    rect.bottom = std::min(rect.bottom, src24.height() - 1);
    if (!rect.isEmpty()) {
        for (int y = rect.top; y <= rect.bottom; ++y)
            computeRow(src24, y, rect.left, rect.right, result.scanLine(y) + 3 * rect.left);
    }
    DrawAt(dst, result);
}

// The picture operations. The object holds nothing: every operation works on the pictures it is
// given, so the window's instance and a worker thread's instance never share state.
class TImageConv {
  public:
    // A computed channel value as a byte: above 255 gives 255; below 0, or NaN, gives 0; anything
    // else is truncated (254.99 gives 254). No rounding here: a caller that wants it adds 0.5.
    static uint8_t ClampByte(double x)
    {
        if (x > 255.0)
            return 255;
        if (!(x >= 0.0))
            return 0;
        return static_cast<uint8_t>(x);
    }

    // The size a picture of W x H shrinks to for the target length T (the longer side becomes T;
    // a landscape picture narrower than T keeps its size; a portrait one always gets height T).
    // The ratio is a double, the product formed in extended precision and truncated:
    // (200, 300, 300) gives (200, 199).
    static void FitSize(int32_t T, int32_t W, int32_t H, int32_t &NewWidth, int32_t &NewHeight);

    // Area-average resize to newWidth x newHeight (24-bit result). Shrinking averages each
    // destination pixel's box of source pixels (bounds by Round, means by Trunc); a side that
    // grows gives every destination pixel at least its nearest source pixel, never black.
    static QImage ResizeAverage(int32_t newWidth, int32_t newHeight, const QImage &source);

    // Turns source by angle degrees (counter-clockwise on screen) about its centre and scales it
    // by scale, onto a canvas just large enough; bilinear, corners black.
    static QImage Rotate(int32_t angle, const QImage &source, double scale);

    // Enlarges source to exactly targetWidth wide (height Round(H * targetWidth / W)), bilinear
    // with the edge pixels repeated: no black column or row.
    static QImage Enlarge(const QImage &source, int32_t targetWidth);

    // Blur (mode 1) or sharpen (mode 2) with a fixed 3x3 kernel over rect; the border repeats the
    // pixel's own row or column.
    static QImage Filter3x3(int mode, PixelRect rect, const QImage &source);

    // Pushes each channel away from 127.5 by factor over rect.
    static QImage Contrast(double factor, PixelRect rect, const QImage &source);

    // A power curve per channel over rect; any gamma of 0 or below leaves the picture as it is.
    static QImage Gamma(double gammaBlue, double gammaGreen, double gammaRed, PixelRect rect,
                        const QImage &source);

    // Stretches the luminance range present in picture onto 0..255, in place (24-bit after).
    // A picture of one luminance is left unchanged.
    static void LevelCorrect(QImage &picture);

    // The whole primary screen, and the window in front with its frame and title bar, as 24-bit
    // pictures. They need an X11 display (Wayland offers no such copy); without one, or when
    // the copy fails, they throw Failure instead of giving a black picture.
    static QImage CaptureScreen();
    static QImage CaptureActiveWindow();
};

// Keeps the memory of freed large pictures in the process for the next one: an edit or a batch
// file allocates tens of megabytes, and fresh pages from the kernel cost more than the work on
// them. Called once at start by the program (and by the benchmarks, which time it as it runs).
void KeepPictureMemoryForReuse();

// A picture of width x height whose 24-bit pixels would take more than this is refused before
// any memory is taken for it.
inline constexpr long long kMaxPictureBytes = 1LL << 30;

// Throws Failure when a width x height result cannot be made: "画像が大きすぎます (W x H)" beyond
// the limit, "画像がありません (W x H)" for an empty one.
void CheckResultSize(long long width, long long height);
