// SPDX-License-Identifier: GPL-3.0-or-later
// The layout that wraps its items into rows.
#include "windows/flow_layout.h"

#include <QWidget>
#include <algorithm>

FlowLayout::FlowLayout(QWidget *parent) : QLayout(parent) {}

FlowLayout::~FlowLayout()
{
    while (QLayoutItem *item = takeAt(0))
        delete item;
}

void FlowLayout::addGap(int width)
{
    if (!m_gapsAfter.isEmpty())
        m_gapsAfter.back() += width;
}

void FlowLayout::addItem(QLayoutItem *item)
{
    m_items.append(item);
    m_gapsAfter.append(0);
}

int FlowLayout::count() const
{
    return int(m_items.size());
}

QLayoutItem *FlowLayout::itemAt(int index) const
{
    return m_items.value(index);
}

QLayoutItem *FlowLayout::takeAt(int index)
{
    if (index < 0 || index >= m_items.size())
        return nullptr;
    m_gapsAfter.removeAt(index);
    return m_items.takeAt(index);
}

Qt::Orientations FlowLayout::expandingDirections() const
{
    return {};
}

bool FlowLayout::hasHeightForWidth() const
{
    return true;
}

int FlowLayout::heightForWidth(int width) const
{
    return place(QRect(0, 0, width, 0), true);
}

QSize FlowLayout::minimumSize() const
{
    // The widest item on a row of its own.
    QSize size;
    for (const QLayoutItem *item : m_items)
        size = size.expandedTo(item->minimumSize());
    const QMargins m = contentsMargins();
    return size + QSize(m.left() + m.right(), m.top() + m.bottom());
}

QSize FlowLayout::sizeHint() const
{
    // Every item on one row.
    int width = 0;
    int height = 0;
    for (qsizetype i = 0; i < m_items.size(); ++i) {
        const QSize hint = m_items[i]->sizeHint();
        width += hint.width() + (i > 0 ? spacing() : 0) + m_gapsAfter[i];
        height = std::max(height, hint.height());
    }
    const QMargins m = contentsMargins();
    return {width + m.left() + m.right(), height + m.top() + m.bottom()};
}

void FlowLayout::setGeometry(const QRect &rect)
{
    QLayout::setGeometry(rect);
    place(rect, false);
}

int FlowLayout::place(const QRect &rect, bool test) const
{
    const QRect area = rect.marginsRemoved(contentsMargins());
    int x = area.x();
    int y = area.y();
    int rowHeight = 0;
    for (qsizetype i = 0; i < m_items.size(); ++i) {
        QLayoutItem *item = m_items[i];
        if (item->isEmpty())
            continue;
        const QSize hint = item->sizeHint();
        // A new row where the item would pass the right edge, unless it starts the row.
        if (x > area.x() && x + hint.width() > area.right() + 1) {
            x = area.x();
            y += rowHeight + spacing();
            rowHeight = 0;
        }
        if (!test)
            item->setGeometry(QRect(QPoint(x, y), hint));
        x += hint.width() + spacing() + m_gapsAfter[i];
        rowHeight = std::max(rowHeight, hint.height());
    }
    const QMargins m = contentsMargins();
    return y + rowHeight - rect.y() + m.bottom();
}
