// SPDX-License-Identifier: GPL-3.0-or-later
// The edits of the whole picture.
#include "core/image/edit_table.h"

#include "core/image/edits.h"
#include "core/image/filters.h"
#include "core/image/pixel_scaling.h"
#include "core/image/rotate.h"

#include <QCoreApplication>
#include <QRegularExpression>

namespace {

// A whole-number value arrives as a double that holds it exactly.
constexpr std::array<Edit, 7> kEdits{{
    {EditKind::Resize, "resize", QT_TRANSLATE_NOOP("Edits", "拡大縮小(&X)…"),
     EditValue::WholeNumber, EditReach::Neighbourhood,
     [](const QImage &p, double width) { return ScaleToWidth(p, int32_t(width)); }},
    {EditKind::Rotate, "rotate", QT_TRANSLATE_NOOP("Edits", "回転(&R)…"), EditValue::WholeNumber,
     EditReach::Neighbourhood,
     [](const QImage &p, double degrees) { return Rotate(p, int32_t(degrees)); }},
    {EditKind::Blur, "blur", QT_TRANSLATE_NOOP("Edits", "ぼかし(&S)"), EditValue::None,
     EditReach::Neighbourhood,
     [](const QImage &p, double) { return Filter3x3(p, FilterKind::Blur); }},
    {EditKind::Sharpen, "sharpen", QT_TRANSLATE_NOOP("Edits", "シャープネス(&H)"), EditValue::None,
     EditReach::Neighbourhood,
     [](const QImage &p, double) { return Filter3x3(p, FilterKind::Sharpen); }},
    {EditKind::Contrast, "contrast", QT_TRANSLATE_NOOP("Edits", "コントラスト強調(&C)…"),
     EditValue::Fraction, EditReach::Pixelwise,
     [](const QImage &p, double factor) { return Contrast(p, factor); }},
    {EditKind::Gamma, "gamma", QT_TRANSLATE_NOOP("Edits", "ガンマ補正(&G)…"), EditValue::Fraction,
     EditReach::Pixelwise, [](const QImage &p, double gamma) { return Gamma(p, gamma); }},
    {EditKind::Levels, "levels", QT_TRANSLATE_NOOP("Edits", "レベル補正"), EditValue::None,
     EditReach::Pixelwise, [](const QImage &p, double) { return LevelCorrect(p); }},
}};

// EditOf finds an edit by its kind's number.
constexpr bool inKindOrder()
{
    for (size_t i = 0; i < kEdits.size(); ++i)
        if (kEdits[i].kind != EditKind(i))
            return false;
    return true;
}
static_assert(inKindOrder(), "the table lists the edits in the order of EditKind");

} // namespace

const std::array<Edit, 7> &Edits()
{
    return kEdits;
}

const Edit &EditOf(EditKind kind)
{
    return kEdits[size_t(kind)];
}

QImage ApplyEdit(const Edit &edit, const QImage &picture, double value)
{
    return EditKeepingAlpha(picture, edit.reach,
                            [&](const QImage &part) { return edit.apply(part, value); });
}

QImage ResizeToWidth(const QImage &picture, int width, bool repeatPixels)
{
    const int factor = WholeEnlargement(picture.width(), width);
    if (repeatPixels && factor > 0)
        return EnlargeByRepeating(picture, factor);
    return ApplyEdit(EditOf(EditKind::Resize), picture, width);
}

QString EditCaption(const Edit &edit)
{
    return QCoreApplication::translate("Edits", edit.caption);
}

QString StepNameOf(QString caption)
{
    // "(&X)" after a Japanese caption, "&" before the key's letter of an English one ("&&" is an
    // ampersand of the text), and the dots that tell a menu item opens a dialog.
    static const QRegularExpression kJapaneseKey(QStringLiteral("\\(&[^&]\\)"));
    static const QRegularExpression kKey(QStringLiteral("&(.)"));
    static const QRegularExpression kDots(QStringLiteral("(\\.\\.\\.|\\x{2026})$"));
    return caption.remove(kJapaneseKey).replace(kKey, QStringLiteral("\\1")).remove(kDots);
}

QString EditStepName(const Edit &edit)
{
    return StepNameOf(EditCaption(edit));
}
