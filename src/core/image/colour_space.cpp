// SPDX-License-Identifier: GPL-3.0-or-later
// Conversion of a picture's colours to sRGB with Qt's colour transforms.
#include "core/image/colour_space.h"

#include "core/image/picture.h"

#include <QColorSpace>
#include <QColorTransform>
#include <QCoreApplication>

#include <algorithm>
#include <cstring>

namespace {

// Rows of a 24-bit picture converted through one 32-bit copy: 4 MB at the widest pictures'
// usual widths, against the whole picture once more.
constexpr qsizetype kBandBytes = 4 << 20;

QString nameOf(const QColorSpace &space)
{
    if (!space.description().isEmpty())
        return space.description();
    if (space.transferFunction() == QColorSpace::TransferFunction::Gamma)
        return QCoreApplication::translate("ColourSpace", "ガンマ %1")
            .arg(double(space.gamma()), 0, 'g', 3);
    return QCoreApplication::translate("ColourSpace", "埋め込みのカラープロファイル");
}

void convertPalette(QImage &picture, const QColorTransform &transform)
{
    QList<QRgb> colours = picture.colorTable();
    for (QRgb &colour : colours)
        colour = transform.map(colour);
    picture.setColorTable(colours);
}

// A 24-bit picture has no colour transform of its own in Qt: each band of rows goes through a
// 32-bit copy and back.
void convertBgrRows(QImage &picture, const QColorTransform &transform)
{
    const int rowsPerBand =
        int(std::max<qsizetype>(1, kBandBytes / (4 * qsizetype(picture.width()))));
    for (int top = 0; top < picture.height(); top += rowsPerBand) {
        const int rows = std::min(rowsPerBand, picture.height() - top);
        const QImage view(picture.constScanLine(top), picture.width(), rows, picture.bytesPerLine(),
                          kPictureFormat);
        QImage band = view.convertToFormat(QImage::Format_RGB32);
        band.applyColorTransform(transform);
        band.convertTo(kPictureFormat);
        for (int y = 0; y < rows; ++y)
            std::memcpy(picture.scanLine(top + y), band.constScanLine(y),
                        size_t(picture.width()) * 3);
    }
}

} // namespace

QString ConvertToSrgb(QImage &picture)
{
    const QColorSpace from = picture.colorSpace();
    if (picture.isNull() || !from.isValid() || from == QColorSpace(QColorSpace::SRgb))
        return {};
    const QColorTransform transform = from.transformationToColorSpace(QColorSpace::SRgb);
    if (transform.isIdentity())
        return {};
    switch (picture.format()) {
    case QImage::Format_Indexed8:
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB: convertPalette(picture, transform); break;
    case kPictureFormat: convertBgrRows(picture, transform); break;
    case QImage::Format_ARGB32:
    case QImage::Format_RGB32: picture.applyColorTransform(transform); break;
    default: // the formats Qt's transform takes in place, as they are at 8 bits a channel
        picture.convertTo(picture.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
        picture.applyColorTransform(transform);
        break;
    }
    return nameOf(from);
}

QString ColoursConvertedText(const QString &convertedFrom)
{
    return QCoreApplication::translate("ColourSpace", "色を sRGB に変換しました (%1)")
        .arg(convertedFrom);
}
