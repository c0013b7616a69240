// SPDX-License-Identifier: GPL-3.0-or-later
// Our GIF coding read back by Qt's own GIF decoder, which shares no code with it.
#include "core/animation/gif_coding.h"
#include "core/animation/gif_lzw.h"
#include "core/animation/gif_table_order.h"

#include <QBuffer>
#include <QImageReader>

#include <gtest/gtest.h>

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

} // namespace
