// SPDX-License-Identifier: GPL-3.0-or-later
// A layout that places its items in a row and starts a new row where the next item does not fit:
// a narrow window wraps its buttons instead of cutting them off.
#pragma once

#include <QLayout>
#include <QList>

class FlowLayout : public QLayout {
  public:
    explicit FlowLayout(QWidget *parent = nullptr);
    ~FlowLayout() override;

    // Extra room left after the item at index, beside the layout's spacing.
    void addGap(int width);

    void addItem(QLayoutItem *item) override;
    int count() const override;
    QLayoutItem *itemAt(int index) const override;
    QLayoutItem *takeAt(int index) override;
    Qt::Orientations expandingDirections() const override;
    bool hasHeightForWidth() const override;
    int heightForWidth(int width) const override;
    QSize minimumSize() const override;
    QSize sizeHint() const override;
    void setGeometry(const QRect &rect) override;

  private:
    // Places the items in rect (only measures when test is true) and returns the height used.
    int place(const QRect &rect, bool test) const;

    QList<QLayoutItem *> m_items;
    QList<int> m_gapsAfter; // extra room after each item
};
