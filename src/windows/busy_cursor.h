// SPDX-License-Identifier: GPL-3.0-or-later
// A wait cursor for as long as an object of this class lives: for work on a large picture that
// keeps the window from answering for a moment, or Qt::BusyCursor for work that can be stopped.
#pragma once

#include <QApplication>

class BusyCursor {
  public:
    explicit BusyCursor(Qt::CursorShape shape = Qt::WaitCursor)
    {
        QApplication::setOverrideCursor(shape);
    }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;
};
