// SPDX-License-Identifier: GPL-3.0-or-later
// Our GIF coding read back by Qt's own GIF decoder, which shares no code with it.
#include "core/animation/gif_animation.h"
#include "core/animation/gif_coding.h"
#include "core/animation/gif_lzw.h"
#include "core/animation/gif_remap.h"
#include "core/animation/gif_table_order.h"

#include <QBuffer>
#include <QImageReader>

#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <vector>

namespace {

QRgb colourOf(int index)
{
    return qRgb(index, 255 - index, (index * 7) % 256);
}

std::vector<QRgb> table(int count)
{
    std::vector<QRgb> colours;
    for (int i = 0; i < count; ++i)
        colours.push_back(colourOf(i));
    return colours;
}

std::vector<QImage> readWithQt(const QByteArray &gif)
{
    QBuffer buffer;
    buffer.setData(gif);
    QImageReader reader(&buffer, "gif");
    std::vector<QImage> frames;
    for (QImage frame; reader.read(&frame);)
        frames.push_back(frame.convertToFormat(QImage::Format_ARGB32));
    return frames;
}

// Random indices in runs, as pictures have them, and every third pixel free to take the
// transparent index instead.
struct Pixels {
    std::vector<unsigned char> indices;
    std::vector<short> alternatives;
};
Pixels randomPixels(size_t count, int bits, int transparent, unsigned seed)
{
    std::mt19937 random(seed);
    Pixels pixels;
    int index = 0;
    for (size_t i = 0; i < count; ++i) {
        if (random() % 3 == 0)
            index = int(random() % (1u << bits));
        pixels.indices.push_back((unsigned char)index);
        pixels.alternatives.push_back(random() % 3 == 0 && index != transparent ? short(transparent)
                                                                                : kNoAlternative);
    }
    return pixels;
}

// Every width of code and length of data, long enough for the code table to fill and start again
// many times. Catches the code width growing one code early or late, a table not cleared when
// full, a sub-block longer than 255 bytes, the last code lost, and a pixel given its alternative
// where the decoder sees another index.
TEST(GifCoding, LzwDataReadsBackInEveryWidthAndLength)
{
    for (int bits = 1; bits <= 8; ++bits) {
        for (const QSize size : {QSize(1, 1), QSize(7, 3), QSize(300, 240)}) {
            SCOPED_TRACE(testing::Message()
                         << bits << " bits, " << size.width() << " x " << size.height());
            const int transparent = (1 << bits) - 1;
            const size_t count = size_t(size.width()) * size_t(size.height());
            Pixels pixels = randomPixels(count, bits, transparent, unsigned(bits));
            const std::vector<unsigned char> own = pixels.indices;
            GifFrameCode frame;
            frame.rect = QRect(QPoint(0, 0), size);
            frame.indices = pixels.indices.data();
            frame.alternatives = pixels.alternatives.data();
            frame.indexBits = bits;
            frame.transparentIndex = transparent;
            const std::vector<QImage> read =
                readWithQt(AssembleGif(size, table(1 << bits), {CodeGifFrame(frame)}));
            ASSERT_EQ(read.size(), 1u);
            const QImage &image = read[0];
            ASSERT_EQ(image.size(), size);
            for (size_t i = 0; i < count; ++i) {
                const int coded = pixels.indices[i];
                ASSERT_TRUE(coded == own[i] || coded == pixels.alternatives[i]) << i;
                const QRgb got =
                    image.pixel(int(i % size_t(size.width())), int(i / size_t(size.width())));
                if (coded == transparent)
                    ASSERT_EQ(qAlpha(got), 0) << i;
                else
                    ASSERT_EQ(got, colourOf(coded)) << i;
            }
        }
    }
}

// A table whose colours the later frames draw from its end is ordered again and those frames
// coded again: every frame must show what it showed. Catches a colour moved without its indices,
// a transparent index left where a colour now is, and an alternative mapped to the old order.
TEST(GifCoding, ReorderedGlobalTableShowsTheSameFrames)
{
    const QSize size(64, 48);
    const int colours = 12, transparent = 12, bits = 4;
    std::vector<QByteArray> frames;
    std::vector<GlobalTableFrame> coded;
    std::vector<int> shown(size_t(size.width() * size.height()), 0); // by pixel: colour index
    for (int k = 0; k < 6; ++k) {
        GlobalTableFrame frame;
        frame.place = size_t(k);
        frame.code.rect = k == 0 ? QRect(QPoint(0, 0), size) : QRect(4 * k, 3, 40, 30);
        frame.code.indexBits = bits;
        frame.code.transparentIndex = transparent;
        const QRect &r = frame.code.rect;
        const Pixels random =
            randomPixels(size_t(r.width() * r.height()), bits, transparent, unsigned(100 + k));
        // The first frame draws every colour; the others only the last three, or transparency.
        // Where a pixel shows the same either way, drawn or transparent, the other is its
        // alternative.
        for (int y = r.top(), i = 0; y <= r.bottom(); ++y) {
            for (int x = r.left(); x <= r.right(); ++x, ++i) {
                const int index = random.indices[size_t(i)];
                int &seen = shown[size_t(y * size.width() + x)];
                const int own = k == 0                 ? index % colours
                                : index == transparent ? transparent
                                                       : colours - 1 - index % 3;
                frame.indices.push_back((unsigned char)own);
                frame.alternatives.push_back(k == 0               ? kNoAlternative
                                             : own == transparent ? short(seen)
                                             : own == seen        ? short(transparent)
                                                                  : kNoAlternative);
                if (own != transparent)
                    seen = own;
            }
        }
        std::vector<unsigned char> indices = frame.indices;
        GifFrameCode code = frame.code;
        code.indices = indices.data();
        frames.push_back(CodeGifFrame(code));
        coded.push_back(std::move(frame));
    }
    std::vector<QRgb> globalColours = table(colours);
    const std::vector<QImage> before =
        readWithQt(AssembleGif(size, table(transparent + 1), frames));
    int tableSlots = transparent + 1;
    ASSERT_TRUE(ReorderGlobalTable(globalColours, tableSlots, coded, frames));
    globalColours.resize(size_t(std::max(int(globalColours.size()), tableSlots)), qRgb(0, 0, 0));
    const std::vector<QImage> after = readWithQt(AssembleGif(size, globalColours, frames));
    ASSERT_EQ(after.size(), before.size());
    for (size_t k = 0; k < before.size(); ++k)
        EXPECT_EQ(after[k], before[k]) << "frame " << k;
}

// Without dithering every pixel must be the colour of the returned palette nearest to it, or
// transparent where what is shown is opaque and no farther, against a search of every colour.
// Catches a colour the search by cells leaves out, an early stop of the search that misses a
// nearer colour, and transparency where what shows through is farther than the palette.
TEST(GifCoding, RemappedPixelsAreTheNearestColourOrWhatShows)
{
    std::mt19937 random(7);
    auto anyColour = [&] {
        return qRgb(int(random() % 256), int(random() % 256), int(random() % 256));
    };
    const int t = 5;
    std::vector<QRgb> palette;
    for (int i = 0; i < 200; ++i)
        palette.push_back(i == t ? qRgb(0, 0, 0) : anyColour());
    QImage part(64, 48, QImage::Format_ARGB32), shown(part.size(), QImage::Format_ARGB32);
    for (int y = 0; y < part.height(); ++y)
        for (int x = 0; x < part.width(); ++x) {
            part.setPixel(x, y, random() % 9 == 0 ? 0 : anyColour());
            shown.setPixel(x, y, random() % 4 == 0 ? 0 : anyColour());
        }
    const RemappedPixels out = RemapToPalette(part, shown, palette, t, 0.0f);
    ASSERT_EQ(out.colours.size(), palette.size());
    auto distance = [](QRgb a, QRgb b) {
        const int dr = qRed(a) - qRed(b), dg = qGreen(a) - qGreen(b), db = qBlue(a) - qBlue(b);
        return dr * dr + dg * dg + db * db;
    };
    for (int y = 0; y < part.height(); ++y)
        for (int x = 0; x < part.width(); ++x) {
            const QRgb p = part.pixel(x, y), s = shown.pixel(x, y);
            const int index = out.indices[size_t(y * part.width() + x)];
            if (qAlpha(p) == 0) {
                EXPECT_EQ(index, t);
                continue;
            }
            int nearest = INT_MAX;
            for (int i = 0; i < int(out.colours.size()); ++i)
                if (i != t)
                    nearest = std::min(nearest, distance(p, out.colours[size_t(i)]));
            const bool showsThrough = qAlpha(s) != 0 && distance(p, s) <= nearest;
            if (showsThrough)
                EXPECT_EQ(index, t) << x << "," << y;
            else
                EXPECT_EQ(distance(p, out.colours[size_t(index)]), nearest) << x << "," << y;
        }
}

// Below the best quality a pixel the player shows stays while it is close enough to the one
// wanted: blocks of few colours that drift a level or two a frame must then show every pixel of
// every frame within the tolerance. Catches the encoder losing track of what the player shows (a
// kept pixel taken for drawn), which lets the error grow frame after frame.
TEST(GifCoding, WithAToleranceEveryShownPixelStaysWithinIt)
{
    AnimationOptions options;
    options.gifQuality = 60;
    const int tolerance = GifAnimationEncoder::tuningOf(options.gifQuality, true).tolerance;
    ASSERT_GT(tolerance, 2);
    const QSize size(40, 30);
    GifAnimationEncoder encoder(size, options);
    std::vector<QImage> frames;
    for (int k = 0; k < 24; ++k) {
        QImage frame(size, QImage::Format_RGB32);
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x)
                frame.setPixel(x, y,
                               (x / 10 + y / 10) % 2 ? qRgb(100 + k, 50, 200 - k)
                                                     : qRgb(20, 180 - k, 90 + 2 * k));
        // Two marks in opposite corners that swap colours make every frame change from corner
        // to corner, over the drifting blocks.
        frame.setPixel(0, 0, k % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
        frame.setPixel(size.width() - 1, size.height() - 1,
                       k % 2 ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
        encoder.add(frame);
        frames.push_back(frame);
    }
    const std::vector<QImage> read = readWithQt(encoder.finish());
    ASSERT_EQ(read.size(), frames.size());
    for (size_t k = 0; k < frames.size(); ++k)
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x) {
                const QRgb want = frames[k].pixel(x, y), got = read[k].pixel(x, y);
                ASSERT_LE(std::max({std::abs(qRed(want) - qRed(got)),
                                    std::abs(qGreen(want) - qGreen(got)),
                                    std::abs(qBlue(want) - qBlue(got))}),
                          tolerance)
                    << "frame " << k << " at " << x << "," << y;
            }
}

} // namespace
