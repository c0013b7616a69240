// SPDX-License-Identifier: GPL-3.0-or-later
// The colours of the panels.
#include "windows/palettes.h"

#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QScrollBar>

void SetDarkBackground(QWidget *widget)
{
    widget->setAutoFillBackground(true);
    QPalette pal = widget->palette();
    pal.setColor(QPalette::Window, DarkShadowColor());
    pal.setColor(QPalette::WindowText, Qt::white);
    widget->setPalette(pal);
    // Spin boxes, scroll bars and combo boxes draw their arrows in the window's text colour on
    // their own light button faces, where white vanishes: they keep the desktop's colour. A
    // combo box's list is made later and takes it from the combo box.
    const QPalette desktop = QApplication::palette();
    for (QWidget *control : widget->findChildren<QWidget *>()) {
        if (!qobject_cast<QAbstractSpinBox *>(control) && !qobject_cast<QScrollBar *>(control) &&
            !qobject_cast<QComboBox *>(control) && !qobject_cast<QAbstractScrollArea *>(control))
            continue;
        QPalette own; // only the text colour is the control's own; the rest is inherited
        for (const QPalette::ColorGroup group :
             {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
            own.setColor(group, QPalette::WindowText, desktop.color(group, QPalette::WindowText));
        control->setPalette(own);
    }
}

QColor DarkShadowColor()
{
    return QApplication::palette().color(QPalette::Shadow);
}

QColor GrayTextColor()
{
    return QApplication::palette().color(QPalette::Disabled, QPalette::Text);
}

const QBrush &CheckerboardBrush()
{
    static const QBrush kBrush = [] {
        constexpr int kSquare = 8;
        const QColor grey(204, 204, 204);
        QPixmap tile(2 * kSquare, 2 * kSquare);
        tile.fill(Qt::white);
        QPainter painter(&tile);
        painter.fillRect(kSquare, 0, kSquare, kSquare, grey);
        painter.fillRect(0, kSquare, kSquare, kSquare, grey);
        return QBrush(tile);
    }();
    return kBrush;
}
