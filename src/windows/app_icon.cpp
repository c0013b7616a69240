// The program's icon: a picture with a cut frame over it, drawn at each size it is asked for.
#include "windows/window_support.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

void drawIcon(QPainter &p, const QRectF &box)
{
    const qreal s = box.width();
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(box.topLeft());

    // The picture: sky, sun and two hills on a rounded card.
    const QRectF card(s * 0.06, s * 0.06, s * 0.88, s * 0.88);
    QPainterPath cardPath;
    cardPath.addRoundedRect(card, s * 0.12, s * 0.12);
    QLinearGradient sky(card.topLeft(), card.bottomLeft());
    sky.setColorAt(0, QColor(0x4f, 0x9d, 0xf2));
    sky.setColorAt(1, QColor(0xbf, 0xe3, 0xff));
    p.fillPath(cardPath, sky);
    p.save();
    p.setClipPath(cardPath);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xff, 0xd0, 0x3c));
    p.drawEllipse(QPointF(s * 0.72, s * 0.30), s * 0.10, s * 0.10);
    p.setBrush(QColor(0x3f, 0xa3, 0x4d));
    p.drawEllipse(QPointF(s * 0.25, s * 1.00), s * 0.55, s * 0.38);
    p.setBrush(QColor(0x2b, 0x7a, 0x37));
    p.drawEllipse(QPointF(s * 0.85, s * 1.05), s * 0.50, s * 0.40);
    p.restore();
    p.setPen(QPen(QColor(0x1d, 0x3b, 0x5c), qMax(1.0, s / 32)));
    p.setBrush(Qt::NoBrush);
    p.drawPath(cardPath);

    // The cut frame: a white band inside a black line, with a handle at its corner.
    const QRectF frame(s * 0.30, s * 0.34, s * 0.46, s * 0.40);
    p.setPen(QPen(Qt::white, qMax(1.5, s / 14), Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.drawRect(frame);
    p.setPen(QPen(Qt::black, qMax(1.0, s / 40), Qt::DashLine, Qt::SquareCap, Qt::MiterJoin));
    p.drawRect(frame);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    const qreal h = qMax(2.0, s * 0.10);
    p.drawRect(QRectF(frame.left() - h / 2, frame.top() - h / 2, h, h));
}

} // namespace

QIcon MakeAppIcon()
{
    // Window managers read an icon as a set of bitmaps: each common size is drawn on its own, so
    // it is sharp in a title bar and in a launcher alike.
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        drawIcon(painter, QRectF(0, 0, size, size));
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}
