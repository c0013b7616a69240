// SPDX-License-Identifier: GPL-3.0-or-later
// Packed atlases read back: no two frames overlap, each keeps its spacing, its pixels are its
// trimmed source, identical frames are stored once, and the JSON tells all of it.
#include "core/animation/rect_packing.h"
#include "core/sequence/frame_output.h"
#include "core/sequence/frame_runs.h"

#include "pictures.h"
#include "test_files.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <map>

namespace {

// w x h with the opaque block `block` of colours from seed, the rest fully transparent; pixels
// of alpha 1 on the block's edge are kept by a trim as any other that is not fully transparent.
QImage framed(int w, int h, QRect block, int seed)
{
    QImage picture(w, h, QImage::Format_ARGB32);
    picture.fill(qRgba(0, 0, 0, 0));
    for (int y = block.top(); y <= block.bottom(); ++y)
        for (int x = block.left(); x <= block.right(); ++x) {
            const int dx = x - block.left(), dy = y - block.top();
            const int alpha = dx == 0 && dy == 0 ? 1 : 255;
            picture.setPixel(x, y,
                             qRgba((dx * 37 + seed) % 256, (dy * 53 + seed) % 256,
                                   (dx * dy + seed) % 256, alpha));
        }
    return picture;
}

// The frames: b and e are equal; c holds a's block elsewhere, equal to it once trimmed; d is
// all transparent; g has no alpha at all.
const std::vector<std::pair<QString, QImage>> &frames()
{
    static const std::vector<std::pair<QString, QImage>> kFrames{
        {"a.png", framed(20, 16, {3, 2, 10, 8}, 7)},
        {"b.png", framed(30, 30, {0, 0, 30, 30}, 90)},
        {"c.png", framed(25, 20, {10, 5, 10, 8}, 7)},
        {"d.png", framed(12, 12, {}, 0)},
        {"e.png", framed(30, 30, {0, 0, 30, 30}, 90)},
        {"f.png", framed(7, 40, {1, 0, 5, 39}, 200)},
        {"g.png", framed(10, 6, {0, 0, 10, 6}, 33).convertToFormat(QImage::Format_RGB888)},
    };
    return kFrames;
}

// The part of a frame a trim keeps, by a plain search: every pixel that is not fully
// transparent, or the top-left pixel of a frame with none.
QRect keptPart(const QImage &frame)
{
    QRect kept;
    for (int y = 0; y < frame.height(); ++y)
        for (int x = 0; x < frame.width(); ++x)
            if (qAlpha(frame.pixel(x, y)) > 0)
                kept |= QRect(x, y, 1, 1);
    return kept.isNull() ? QRect(0, 0, 1, 1) : kept;
}

QRect rectOf(const QJsonObject &o)
{
    return {o["x"].toInt(), o["y"].toInt(), o["w"].toInt(), o["h"].toInt()};
}

// The JSON's entries by frame name, from either layout.
std::map<QString, QJsonObject> entriesOf(const QJsonObject &json, JsonLayout layout)
{
    std::map<QString, QJsonObject> entries;
    if (layout == JsonLayout::Hash) {
        const QJsonObject frames = json["frames"].toObject();
        for (auto it = frames.begin(); it != frames.end(); ++it)
            entries[it.key()] = it.value().toObject();
    } else {
        for (const QJsonValue &each : json["frames"].toArray())
            entries[each.toObject()["filename"].toString()] = each.toObject();
    }
    return entries;
}

bool isPowerOfTwo(int n)
{
    return n > 0 && (n & (n - 1)) == 0;
}

// Each frame's entry against its source, and its pixels in the atlas with the extruded edge.
void checkFrame(const QImage &atlas, const QImage &source, const QJsonObject &entry,
                const AtlasOptions &options)
{
    const QRect rect = rectOf(entry["frame"].toObject());
    const QRect kept = rectOf(entry["spriteSourceSize"].toObject());
    const QJsonObject sourceSize = entry["sourceSize"].toObject();
    EXPECT_EQ(QSize(sourceSize["w"].toInt(), sourceSize["h"].toInt()), source.size());
    EXPECT_EQ(kept, options.trim ? keptPart(source) : source.rect());
    EXPECT_EQ(entry["trimmed"].toBool(), kept != source.rect());
    EXPECT_FALSE(entry["rotated"].toBool());
    const int e = options.extrude, b = options.border;
    ASSERT_TRUE(QRect(b, b, atlas.width() - 2 * b, atlas.height() - 2 * b)
                    .contains(rect.adjusted(-e, -e, e, e)));
    const QImage pixels = source.convertToFormat(QImage::Format_ARGB32).copy(kept);
    ASSERT_EQ(rect.size(), pixels.size());
    for (int y = -e; y < rect.height() + e; ++y)
        for (int x = -e; x < rect.width() + e; ++x) {
            const QPoint edge(std::clamp(x, 0, rect.width() - 1),
                              std::clamp(y, 0, rect.height() - 1));
            ASSERT_EQ(atlas.pixel(rect.topLeft() + QPoint(x, y)), pixels.pixel(edge))
                << x << "," << y;
        }
}

// Atlases of the frames with each option, read back as an engine would. Catches a trim that
// drops nearly transparent pixels or keeps nothing of an empty frame, frames that overlap or
// come closer than the padding (and the border), a wrong extruded corner, duplicates stored
// twice (or merged with --keep-duplicates), a side not rounded to a power of two, and a JSON
// whose entries do not match the pixels.
TEST(Atlas, FramesPackedApartTrimmedAndStoredOnce)
{
    QTemporaryDir dir;
    const struct {
        AtlasOptions options;
        JsonLayout layout;
    } rows[] = {
        {{false, 0, 0, 0, false, 4096, false}, JsonLayout::Hash},
        {{true, 2, 1, 0, false, 4096, false}, JsonLayout::Array},
        {{true, 3, 2, 2, true, 4096, false}, JsonLayout::Hash},
        {{true, 1, 0, 1, false, 4096, true}, JsonLayout::Hash},
    };
    for (const auto &row : rows) {
        const AtlasOptions &options = row.options;
        SCOPED_TRACE(testing::Message()
                     << "trim " << options.trim << ", padding " << options.padding << ", border "
                     << options.border << ", extrude " << options.extrude);
        FrameOutput output;
        output.kind = OutputKind::Atlas;
        output.path = dir.filePath("atlas.png");
        output.atlas = options;
        output.json = row.layout;
        output.animation.delayMs = 40;
        output.animation.pingPong = true;
        std::vector<QImage> pictures;
        for (const auto &[name, picture] : frames()) {
            output.frameNames << name;
            pictures.push_back(picture);
        }
        WriteFrameOutput(*MakePictureRun(pictures), output);

        const QImage atlas = PixelsOf(output.path, QImage::Format_ARGB32);
        const QJsonObject json =
            QJsonDocument::fromJson(FileBytes(dir.filePath("atlas.json"))).object();
        const QJsonObject meta = json["meta"].toObject();
        EXPECT_EQ(meta["size"].toObject()["w"].toInt(), atlas.width());
        EXPECT_EQ(meta["size"].toObject()["h"].toInt(), atlas.height());
        EXPECT_EQ(isPowerOfTwo(atlas.width()) && isPowerOfTwo(atlas.height()), options.powerOfTwo);
        EXPECT_EQ(
            meta["frameTags"].toArray()[0].toObject(),
            (QJsonObject{{"name", "atlas"}, {"from", 0}, {"to", 6}, {"direction", "pingpong"}}));
        EXPECT_EQ(json["animations"].toObject()["atlas"].toArray().size(), 7);

        const std::map<QString, QJsonObject> entries = entriesOf(json, row.layout);
        ASSERT_EQ(entries.size(), frames().size());
        QImage covered(atlas.size(), QImage::Format_Mono);
        covered.fill(0);
        std::vector<QRect> stored;
        for (const auto &[name, picture] : frames()) {
            SCOPED_TRACE(name.toStdString());
            const QJsonObject &entry = entries.at(name);
            EXPECT_EQ(entry["duration"].toInt(), 40);
            checkFrame(atlas, picture, entry, options);
            const QRect rect = rectOf(entry["frame"].toObject());
            if (std::find(stored.begin(), stored.end(), rect) == stored.end())
                stored.push_back(rect);
            const QRect outer =
                rect.adjusted(-options.extrude, -options.extrude, options.extrude, options.extrude);
            for (int y = outer.top(); y <= outer.bottom(); ++y)
                for (int x = outer.left(); x <= outer.right(); ++x)
                    covered.setPixel(x, y, 1);
        }
        // a and c are equal once trimmed, b and e always; g and d never equal another.
        const size_t expected = options.keepDuplicates ? 7 : options.trim ? 5 : 6;
        EXPECT_EQ(stored.size(), expected);
        const int reach = options.extrude + options.padding;
        for (size_t i = 0; i < stored.size(); ++i)
            for (size_t j = i + 1; j < stored.size(); ++j)
                EXPECT_FALSE(stored[i]
                                 .adjusted(-reach, -reach, reach, reach)
                                 .intersects(stored[j].adjusted(-options.extrude, -options.extrude,
                                                                options.extrude, options.extrude)))
                    << i << " and " << j;
        for (int y = 0; y < atlas.height(); ++y)
            for (int x = 0; x < atlas.width(); ++x)
                if (!covered.pixelIndex(x, y)) {
                    ASSERT_EQ(atlas.pixel(x, y), 0u) << "outside every frame at " << x << "," << y;
                }
    }
}

// Frames that do not fit the largest side allowed fail with that side named and write nothing;
// a sheet or an atlas under another name than a PNG's is refused. Catches an atlas silently
// made larger than asked, and PNG data written under a .jpg name.
TEST(Atlas, RefusesWhatItCannotWrite)
{
    QTemporaryDir dir;
    FrameOutput output;
    output.kind = OutputKind::Atlas;
    output.path = dir.filePath("small.png");
    output.atlas.maxSize = 29;
    std::vector<QImage> pictures{frames()[1].second};
    EXPECT_TRUE(FailureOf([&] {
                    WriteFrameOutput(*MakePictureRun(pictures), output);
                }).contains(TooLargeToPackText(29)));
    output.atlas.maxSize = 30;
    output.path = dir.filePath("sheet.jpg");
    EXPECT_NE(FailureOf([&] { WriteFrameOutput(*MakePictureRun(pictures), output); }), QString());
    output.kind = OutputKind::Sheet;
    EXPECT_NE(FailureOf([&] { WriteFrameOutput(*MakePictureRun(pictures), output); }), QString());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList());
}

// Many rectangles of every shape packed with each spacing: none overlaps another or comes
// closer than the padding, none is nearer the edge than the border, and the search gives the
// same packing every time whichever of its threads ends first. Catches a free space split
// wrongly (two rectangles in one place), free spaces dropped that still held room, and a
// result that depends on the threads.
TEST(PackRectangles, NoneOverlapsAndEachKeepsItsSpacing)
{
    uint32_t state = 99;
    const auto below = [&state](int n) {
        state = state * 1664525u + 1013904223u;
        return int((state >> 8) % uint32_t(n));
    };
    for (const int count : {1, 2, 37, 300, 1200}) {
        std::vector<QSize> sizes;
        for (int i = 0; i < count; ++i)
            sizes.emplace_back(1 + below(i % 5 == 0 ? 200 : 40), 1 + below(i % 7 == 0 ? 150 : 30));
        for (const PackingRules &rules :
             {PackingRules{0, 0, false, 8192}, PackingRules{3, 2, true, 8192}}) {
            SCOPED_TRACE(testing::Message() << count << " rectangles, padding " << rules.padding);
            const Packing packing = PackRectangles(sizes, rules);
            EXPECT_EQ(PackRectangles(sizes, rules).places, packing.places);
            const QRect inside(rules.border, rules.border, packing.size.width() - 2 * rules.border,
                               packing.size.height() - 2 * rules.border);
            std::vector<QRect> placed;
            long long area = 0;
            for (size_t i = 0; i < sizes.size(); ++i) {
                placed.emplace_back(packing.places[i], sizes[i]);
                ASSERT_TRUE(inside.contains(placed.back())) << i;
                area += (long long)sizes[i].width() * sizes[i].height();
            }
            for (size_t i = 0; i < placed.size(); ++i)
                for (size_t j = i + 1; j < placed.size(); ++j)
                    ASSERT_FALSE(
                        placed[i]
                            .adjusted(-rules.padding, -rules.padding, rules.padding, rules.padding)
                            .intersects(placed[j]))
                        << i << " and " << j;
            EXPECT_GE((long long)packing.size.width() * packing.size.height(), area);
        }
    }
}

} // namespace
