// SPDX-License-Identifier: GPL-3.0-or-later
// Sprite sheets.
#include "core/animation/sprite_sheet.h"

#include "core/base/files.h"
#include "core/base/io_error.h"
#include "core/image/picture.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <new>

SheetExtent SheetExtentOf(int count, QSize frameSize, const SheetOptions &options)
{
    if (count < 1 || frameSize.isEmpty())
        return {};
    const long long columns = std::clamp(options.columns, 1, count);
    const long long rows = (count + columns - 1) / columns; // whole rows, the last one partly full
    const long long padding = std::clamp(options.padding, 0, kMaxSheetPadding);
    return {columns * (frameSize.width() + padding) + padding,
            rows * (frameSize.height() + padding) + padding};
}

SheetLayout LayOutSheet(int count, QSize frameSize, const SheetOptions &options)
{
    SheetLayout layout;
    if (count < 1 || frameSize.isEmpty())
        return layout;
    const long long columns = std::clamp(options.columns, 1, count);
    const long long padding = std::clamp(options.padding, 0, kMaxSheetPadding);
    const auto [width, height] = SheetExtentOf(count, frameSize, options);
    // The sheet is as large as the frames together: the same limit as any picture. The 32-bit
    // form of a sheet with alpha takes a third more, which the limit leaves room for.
    if (width > INT_MAX || height > INT_MAX || ExceedsPictureLimit(width, height))
        throw Failure(PictureTooLargeText(width, height));
    layout.size = QSize(int(width), int(height));
    for (int k = 0; k < count; ++k) {
        const long long column = k % columns, row = k / columns;
        layout.cells.emplace_back(int(padding + column * (frameSize.width() + padding)),
                                  int(padding + row * (frameSize.height() + padding)),
                                  frameSize.width(), frameSize.height());
    }
    return layout;
}

QImage BlankSheet(const SheetLayout &layout, bool alpha)
{
    QImage sheet(layout.size, alpha ? QImage::Format_ARGB32 : kPictureFormat);
    if (sheet.isNull())
        throw std::bad_alloc();
    sheet.fill(alpha ? qRgba(0, 0, 0, 0) : qRgb(255, 255, 255));
    return sheet;
}

void PlaceOnSheet(QImage &sheet, const QRect &cell, const QImage &frame)
{
    const QImage pixels = frame.format() == sheet.format() ? frame
                          : sheet.format() == kPictureFormat
                              ? To24Bit(frame)
                              : frame.convertToFormat(sheet.format());
    const int bytesPerPixel = sheet.depth() / 8;
    const size_t rowBytes = size_t(cell.width()) * size_t(bytesPerPixel);
    for (int y = 0; y < cell.height(); ++y)
        std::memcpy(sheet.scanLine(cell.y() + y) + size_t(cell.x()) * size_t(bytesPerPixel),
                    pixels.constScanLine(y), rowBytes);
}

QString SheetDataPath(const QString &sheetPath)
{
    const qsizetype slash = sheetPath.lastIndexOf(u'/');
    const qsizetype dot = sheetPath.lastIndexOf(u'.');
    // A dot that starts the name (".png") or lies in a folder's name is no extension.
    if (dot > slash + 1)
        return sheetPath.left(dot) + QStringLiteral(".json");
    return sheetPath + QStringLiteral(".json");
}
