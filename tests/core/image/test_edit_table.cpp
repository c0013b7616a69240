// SPDX-License-Identifier: GPL-3.0-or-later
// The table of edits that the Edit menu and `mokaran edit` share.
#include "core/image/edit_table.h"

#include "core/image/pixel_scaling.h"
#include "pattern.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

// Catches two edits answering to one option (the command line would take the first), the table
// out of step with EditKind, and a history step named with the menu's access key or dots, in
// either language.
TEST(EditTable, OptionsAreDistinctAndStepNamesPlain)
{
    std::set<std::string> options;
    for (const Edit &edit : Edits()) {
        EXPECT_TRUE(options.insert(edit.option).second) << edit.option;
        EXPECT_EQ(&EditOf(edit.kind), &edit) << edit.option;
        EXPECT_FALSE(EditStepName(edit).contains(u'&')) << edit.option;
    }
    EXPECT_EQ(EditStepName(EditOf(EditKind::Resize)), QStringLiteral("拡大縮小"));
    EXPECT_EQ(EditStepName(EditOf(EditKind::Levels)), QStringLiteral("レベル補正"));
    EXPECT_EQ(EditStepName(EditOf(EditKind::Sharpen)), QStringLiteral("シャープネス"));
    EXPECT_EQ(StepNameOf(QStringLiteral("Resi&ze...")), QStringLiteral("Resize"));
    EXPECT_EQ(StepNameOf(QStringLiteral("&Blur")), QStringLiteral("Blur"));
    EXPECT_EQ(StepNameOf(QStringLiteral("回転(&R)…")), QStringLiteral("回転"));
    EXPECT_EQ(StepNameOf(QStringLiteral("Fish && Chips")), QStringLiteral("Fish & Chips"));
}

// Each edit with a value that exercises it: an enlargement and a shrink, a turn that adds corners.
struct Sample {
    EditKind kind;
    double value;
};
constexpr Sample kSamples[] = {{EditKind::Resize, 37}, {EditKind::Resize, 90},
                               {EditKind::Rotate, 30}, {EditKind::Blur, 0},
                               {EditKind::Sharpen, 0}, {EditKind::Contrast, 0.5},
                               {EditKind::Gamma, 2.2}, {EditKind::Levels, 0}};

// Catches an edit that flattens a picture with alpha onto white, the alpha and colour channels
// mixed up, a transparent pixel's colour bleeding into its neighbours, a rotation's corners left
// opaque, and an opaque picture with an alpha channel edited differently from its 24-bit self.
TEST(EditTable, EveryEditKeepsTheAlpha)
{
    const QImage opaque = Pattern(60, 40);
    // The left half transparent with a colour no edit may show; the right half opaque green.
    QImage halves(60, 40, QImage::Format_ARGB32);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 60; ++x)
            halves.setPixel(x, y, x < 30 ? qRgba(255, 0, 0, 0) : qRgba(0, 200, 0, 255));
    for (const Sample &sample : kSamples) {
        const Edit &edit = EditOf(sample.kind);
        SCOPED_TRACE(edit.option);
        // Opaque with an alpha channel: exactly the 24-bit edit where the result is opaque.
        const QImage flat = edit.apply(opaque, sample.value);
        const QImage kept =
            ApplyEdit(edit, opaque.convertToFormat(QImage::Format_ARGB32), sample.value);
        ASSERT_EQ(kept.size(), flat.size());
        ASSERT_TRUE(kept.hasAlphaChannel());
        int transparent = 0;
        for (int y = 0; y < kept.height(); ++y)
            for (int x = 0; x < kept.width(); ++x) {
                const QRgb p = kept.pixel(x, y);
                if (qAlpha(p) == 255) {
                    ASSERT_EQ(p, flat.pixel(x, y)) << x << "," << y;
                } else {
                    ++transparent;
                }
            }
        // Only a rotation adds area, and that area is see-through.
        EXPECT_EQ(transparent > 0, sample.kind == EditKind::Rotate);
        if (sample.kind == EditKind::Rotate) {
            EXPECT_EQ(qAlpha(kept.pixel(0, 0)), 0);
        }

        // Half transparent: the transparent red never shows, the left edge stays transparent.
        const QImage edited = ApplyEdit(edit, halves, sample.value);
        ASSERT_TRUE(edited.hasAlphaChannel());
        for (int y = 0; y < edited.height(); ++y)
            for (int x = 0; x < edited.width(); ++x) {
                const QRgb p = edited.pixel(x, y);
                if (qAlpha(p) > 0) {
                    ASSERT_EQ(qRed(p), 0) << x << "," << y;
                }
            }
        EXPECT_EQ(qAlpha(edited.pixel(0, edited.height() / 2)), 0);
        if (edit.reach == EditReach::Pixelwise) {
            for (int x = 0; x < 60; ++x)
                ASSERT_EQ(qAlpha(edited.pixel(x, 5)), x < 30 ? 0 : 255);
        }
    }
}

// Catches a factor offered for a width that is no whole multiple (or for a shrink), a pixel not
// repeated into a full block or its alpha lost, and the colour count off by one at the limit.
TEST(PixelScaling, WholeFactorsRepeatEachPixel)
{
    EXPECT_EQ(WholeEnlargement(16, 32), 2);
    EXPECT_EQ(WholeEnlargement(16, 48), 3);
    EXPECT_EQ(WholeEnlargement(16, 16), 0);
    EXPECT_EQ(WholeEnlargement(16, 40), 0);
    EXPECT_EQ(WholeEnlargement(16, 8), 0);
    EXPECT_EQ(WholeEnlargement(0, 8), 0);

    QImage sprite(3, 2, QImage::Format_ARGB32);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            sprite.setPixel(x, y, qRgba(40 * x, 90 * y, 7, x == 1 ? 0 : 255));
    const QImage big = EnlargeByRepeating(sprite, 3);
    ASSERT_EQ(big.size(), QSize(9, 6));
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 9; ++x)
            ASSERT_EQ(big.pixel(x, y), sprite.pixel(x / 3, y / 3)) << x << "," << y;
    EXPECT_EQ(ResizeToWidth(sprite, 6, true).pixel(5, 3), sprite.pixel(2, 1));

    QImage colours(257, 1, kPictureFormat);
    for (int x = 0; x < 257; ++x)
        colours.setPixel(x, 0, qRgb(x % 256, x / 256, 0));
    EXPECT_FALSE(HasFewColours(colours));
    EXPECT_TRUE(HasFewColours(colours.copy(0, 0, 256, 1)));
}

} // namespace
