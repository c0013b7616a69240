// SPDX-License-Identifier: GPL-3.0-or-later
// A wait cursor for as long as an object of this class lives: for work on a large picture that
// keeps the window from answering for a moment.
#pragma once

#include <QApplication>

class BusyCursor {
  public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;
};
