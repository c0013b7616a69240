// SPDX-License-Identifier: GPL-3.0-or-later
// The sprite sheet and its JSON on frames and options the bytes choose: a sheet the picture
// limit allows holds every frame whole at the rectangle the JSON gives it, inside the sheet and
// apart from the others.
#include "core/animation/atlas_data.h"
#include "core/animation/sprite_sheet.h"
#include "core/base/io_error.h"
#include "core/image/picture.h"

#include "fuzz_bytes.h"
#include "fuzz_target.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzBytes bytes(FuzzInput(data, size));
    // The layout alone at any size: refused, or within the picture limit with every cell inside.
    const SheetOptions far{bytes.take(1, 1 << 16), bytes.take(0, kMaxSheetPadding)};
    const QSize farFrame(bytes.take(1, 1 << 15), bytes.take(1, 1 << 15));
    try {
        const SheetLayout layout = LayOutSheet(bytes.take(1, 1 << 16), farFrame, far);
        Require(!ExceedsPictureLimit(layout.size.width(), layout.size.height()));
        Require(QRect(QPoint(), layout.size).contains(layout.cells.back()));
    } catch (const Failure &) {
    }
    // Then sheets small enough to make, with their pixels.
    SheetOptions options;
    options.columns = bytes.take(1, 48);
    options.padding = bytes.take(0, 40);
    const QSize frameSize(bytes.take(1, 32), bytes.take(1, 32));
    const int count = bytes.take(1, 40);
    SheetLayout layout;
    try {
        layout = LayOutSheet(count, frameSize, options);
    } catch (const Failure &) {
        return 0; // a sheet beyond the picture limit
    }
    const bool alpha = bytes.flag();
    QImage sheet = BlankSheet(layout, alpha);
    std::vector<QImage> frames;
    std::vector<DataFrame> cells;
    for (int k = 1; k <= count; ++k) {
        const QImage frame = bytes.picture(frameSize);
        PlaceOnSheet(sheet, layout.cells[size_t(k - 1)], frame);
        // A sheet without alpha shows a frame as every 24-bit picture does, over white.
        frames.push_back(alpha ? frame.convertToFormat(QImage::Format_ARGB32) : To24Bit(frame));
        const QRect cell = layout.cells[size_t(k - 1)];
        cells.push_back(
            {QStringLiteral("f%1.png").arg(k), cell, QRect(QPoint(), frameSize), frameSize});
    }
    const DataMeta meta{QStringLiteral("s.png"), sheet.size(), QStringLiteral("s")};
    const QJsonObject json =
        QJsonDocument::fromJson(AtlasData(cells, meta, JsonLayout::Array)).object();
    const QJsonObject sheetSize =
        json[QStringLiteral("meta")].toObject()[QStringLiteral("size")].toObject();
    Require(sheetSize[QStringLiteral("w")].toInt() == sheet.width());
    const QJsonArray told = json[QStringLiteral("frames")].toArray();
    Require(told.size() == count);
    QImage covered(sheet.size(), QImage::Format_Grayscale8);
    covered.fill(0);
    for (int k = 0; k < count; ++k) {
        const QJsonObject c = told[k].toObject()[QStringLiteral("frame")].toObject();
        const QRect rect(c[QStringLiteral("x")].toInt(), c[QStringLiteral("y")].toInt(),
                         c[QStringLiteral("w")].toInt(), c[QStringLiteral("h")].toInt());
        Require(sheet.rect().contains(rect) && rect.size() == frameSize);
        Require(sheet.copy(rect) == frames[size_t(k)]);
        for (int y = rect.top(); y <= rect.bottom(); ++y)
            for (int x = rect.left(); x <= rect.right(); ++x) {
                Require(covered.scanLine(y)[x] == 0); // no two frames share a pixel
                covered.scanLine(y)[x] = 1;
            }
    }
    return 0;
}
