// SPDX-License-Identifier: GPL-3.0-or-later
// Where windows go on the screens.
#include "windows/screen_placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>

QList<QRect> AvailableScreenAreas()
{
    QList<QRect> areas;
    const QScreen *primary = QGuiApplication::primaryScreen();
    if (primary)
        areas << primary->availableGeometry();
    for (const QScreen *screen : QGuiApplication::screens()) {
        if (screen != primary)
            areas << screen->availableGeometry();
    }
    return areas;
}

QRect PlaceOnScreens(int left, int top, int width, int height, QSize minimum,
                     const QList<QRect> &areas)
{
    // The stored numbers may be anything a file can hold: the arithmetic is done in 64 bits.
    const qint64 frameLeft = left;
    const qint64 frameTop = top;
    const qint64 frameWidth = std::max<qint64>(width, minimum.width());
    const qint64 frameHeight = std::max<qint64>(height, minimum.height());
    const auto overlap = [](qint64 start, qint64 length, int areaStart, int areaLength) {
        return std::max<qint64>(0,
                                std::min<qint64>(start + length, qint64(areaStart) + areaLength) -
                                    std::max<qint64>(start, areaStart));
    };
    QRect area(QPoint(0, 0), minimum); // no screen at all: the minimum at the origin
    qint64 best = 0;
    for (qsizetype i = 0; i < areas.size(); ++i) {
        const QRect &candidate = areas[i];
        const qint64 shared = overlap(frameLeft, frameWidth, candidate.x(), candidate.width()) *
                              overlap(frameTop, frameHeight, candidate.y(), candidate.height());
        if (i == 0 || shared > best) { // the primary unless another holds more of the frame
            area = candidate;
            best = shared;
        }
    }
    // The size first, then the place: a frame larger than the area takes the area's corner.
    const auto fit = [](qint64 start, qint64 length, int areaStart, int areaLength) {
        return std::max<qint64>(areaStart,
                                std::min<qint64>(start, qint64(areaStart) + areaLength - length));
    };
    const int placedWidth =
        int(std::max<qint64>(minimum.width(), std::min<qint64>(frameWidth, area.width())));
    const int placedHeight =
        int(std::max<qint64>(minimum.height(), std::min<qint64>(frameHeight, area.height())));
    return QRect(int(fit(frameLeft, placedWidth, area.x(), area.width())),
                 int(fit(frameTop, placedHeight, area.y(), area.height())), placedWidth,
                 placedHeight);
}

QPoint CentredOn(const QRect &over, QSize size, const QList<QRect> &areas)
{
    const QPoint corner = over.center() - QRect(QPoint(0, 0), size).center();
    return PlaceOnScreens(corner.x(), corner.y(), size.width(), size.height(), QSize(0, 0), areas)
        .topLeft();
}
