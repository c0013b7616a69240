// SPDX-License-Identifier: GPL-3.0-or-later
// Setting the main window's cut frame in a test as the cut-size dialog, a drag or a typed
// position would: through the frame's own rules, so the frame stays inside the picture.
#pragma once

#include "windows/main_window.h"

inline void SetCutSize(MainWindow &form, QSize size)
{
    CutFrame frame = form.frame();
    frame.setSize(size);
    form.placeFrame(frame);
}

inline void MoveFrame(MainWindow &form, QPoint position)
{
    CutFrame frame = form.frame();
    frame.moveTo(position);
    form.placeFrame(frame);
}
