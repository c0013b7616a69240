// SPDX-License-Identifier: GPL-3.0-or-later
// The background of a sprite sheet and the runs of pixels that are not background.
#include "core/sequence/background.h"

#include "core/base/io_error.h"
#include "core/image/alpha.h"
#include "core/image/parallel.h"
#include "core/image/picture.h"

#include <QCoreApplication>

#include <algorithm>
#include <array>
#include <cstdlib>

namespace {

// Whether every channel of a and b, alpha included, lies within tolerance.
bool near(QRgb a, QRgb b, int tolerance)
{
    return std::abs(qRed(a) - qRed(b)) <= tolerance &&
           std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
           std::abs(qBlue(a) - qBlue(b)) <= tolerance &&
           std::abs(qAlpha(a) - qAlpha(b)) <= tolerance;
}

// A channel value's test against the background's as one unsigned comparison: v lies in
// [low, low + width] exactly when unsigned(v - low) <= width.
struct ChannelRange {
    ChannelRange(int value, int tolerance) : low(value - tolerance), width(unsigned(2 * tolerance))
    {
    }
    bool holds(int v) const { return unsigned(v - low) <= width; }
    int low;
    unsigned width;
};

// The test of a pixel against one colour, with the tolerance on each channel. A pixel of alpha
// within the tolerance of 0 is background too: a transparent pixel belongs to no sprite.
struct ColourTest {
    ColourTest(QRgb colour, int tolerance)
        : red(qRed(colour), tolerance), green(qGreen(colour), tolerance),
          blue(qBlue(colour), tolerance), alpha(qAlpha(colour), tolerance), clear(tolerance)
    {
    }
    bool operator()(QRgb p) const
    {
        return qAlpha(p) <= clear || (red.holds(qRed(p)) && green.holds(qGreen(p)) &&
                                      blue.holds(qBlue(p)) && alpha.holds(qAlpha(p)));
    }
    // A 24-bit pixel: bytes blue, green, red.
    bool operator()(const std::array<uchar, 3> &p) const
    {
        return blue.holds(p[0]) && green.holds(p[1]) && red.holds(p[2]);
    }
    ChannelRange red, green, blue, alpha;
    int clear;
};

// Appends the runs of row that are not background, left to right.
template <typename Pixel, typename IsBackground>
void spansOfRow(const Pixel *row, int width, const IsBackground &isBackground,
                std::vector<ForegroundSpan> &spans)
{
    int x = 0;
    while (x < width) {
        while (x < width && isBackground(row[x]))
            ++x;
        if (x == width)
            return;
        const int left = x;
        while (x < width && !isBackground(row[x]))
            ++x;
        spans.push_back({left, x});
    }
}

// Every row's spans, the rows split over the cores.
template <typename Pixel, typename IsBackground>
std::vector<std::vector<ForegroundSpan>> spansOf(const QImage &picture,
                                                 const IsBackground &isBackground)
{
    std::vector<std::vector<ForegroundSpan>> spans(size_t(picture.height()));
    ParallelRows(picture.height(), picture.width(), [&](int first, int last) {
        for (int y = first; y < last; ++y)
            spansOfRow(reinterpret_cast<const Pixel *>(picture.constScanLine(y)), picture.width(),
                       isBackground, spans[size_t(y)]);
    });
    return spans;
}

// The picture in one of the two layouts the scan reads: 32-bit with alpha (or with an opaque
// one), or 24-bit.
QImage scannable(const QImage &picture)
{
    switch (picture.format()) {
    case QImage::Format_ARGB32:
    case QImage::Format_RGB32:
    case kPictureFormat: return picture;
    default:
        return HasAlpha(picture) ? picture.convertToFormat(QImage::Format_ARGB32)
                                 : To24Bit(picture);
    }
}

// Whether any pixel of picture is fully transparent. A picture may carry an alpha channel that
// no pixel uses (a 32-bit BMP with an alpha mask, all of it opaque).
bool hasClearPixel(const QImage &picture)
{
    if (!HasAlpha(picture))
        return false;
    const QImage pixels = picture.format() == QImage::Format_ARGB32
                              ? picture
                              : picture.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < pixels.height(); ++y) {
        const auto *row = reinterpret_cast<const QRgb *>(pixels.constScanLine(y));
        if (std::any_of(row, row + pixels.width(), [](QRgb p) { return qAlpha(p) == 0; }))
            return true;
    }
    return false;
}

// Whether the spans cover every pixel: no pixel was background.
bool everyPixelIn(const std::vector<std::vector<ForegroundSpan>> &spans, int width)
{
    return std::all_of(spans.begin(), spans.end(), [width](const auto &row) {
        return row.size() == 1 && row.front().left == 0 && row.front().right == width;
    });
}

} // namespace

SpriteBackground DefaultBackground(const QImage &picture, ContentKind kind)
{
    SpriteBackground background;
    background.kind = hasClearPixel(picture) ? BackgroundKind::Transparent : BackgroundKind::Corner;
    background.tolerance = kind == ContentKind::Jpeg ? kJpegBackgroundTolerance : 0;
    return background;
}

QRgb CornerColour(const QImage &picture, int tolerance)
{
    const int right = picture.width() - 1, bottom = picture.height() - 1;
    const std::array<QRgb, 4> corners{picture.pixel(0, 0), picture.pixel(right, 0),
                                      picture.pixel(0, bottom), picture.pixel(right, bottom)};
    int best = 0, bestMatches = 0;
    for (int i = 0; i < 4; ++i) {
        int matches = 0;
        for (const QRgb other : corners)
            matches += near(corners[size_t(i)], other, tolerance) ? 1 : 0;
        if (matches > bestMatches) {
            best = i;
            bestMatches = matches;
        }
    }
    if (bestMatches < 2)
        throw Failure(QCoreApplication::translate(
            "Sprites", "四隅の色がそろっていないため、背景の色が決まりません"));
    return corners[size_t(best)];
}

std::vector<std::vector<ForegroundSpan>> ForegroundSpans(const QImage &picture,
                                                         const SpriteBackground &background)
{
    if (picture.isNull())
        return {};
    const int tolerance = std::clamp(background.tolerance, 0, kMaxBackgroundTolerance);
    if (background.kind == BackgroundKind::Transparent && !HasAlpha(picture))
        throw Failure(NoTransparencyText());
    const QImage pixels = scannable(picture);
    if (background.kind == BackgroundKind::Transparent) {
        const unsigned clear = unsigned(tolerance);
        auto spans =
            spansOf<QRgb>(pixels, [clear](QRgb p) { return unsigned(qAlpha(p)) <= clear; });
        if (everyPixelIn(spans, pixels.width()))
            throw Failure(NoTransparencyText());
        return spans;
    }
    const QRgb colour = background.kind == BackgroundKind::Corner ? CornerColour(pixels, tolerance)
                                                                  : background.colour | 0xff000000u;
    const ColourTest test(colour, tolerance);
    if (pixels.format() == kPictureFormat)
        return spansOf<std::array<uchar, 3>>(pixels, test);
    return spansOf<QRgb>(pixels, test);
}

QString NoTransparencyText()
{
    return QCoreApplication::translate(
        "Sprites", "この画像には透明な部分がありません (背景の色を指定してください)");
}
