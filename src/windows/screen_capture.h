// SPDX-License-Identifier: GPL-3.0-or-later
// Screen and active-window capture on X11.
#pragma once

#include <QImage>

enum class CaptureTarget { Screen, ActiveWindow };

// The whole primary screen, and the window in front with its frame and title bar, as 24-bit
// pictures. They need an X11 display (Wayland offers no such copy); without one, or when the copy
// fails, they throw Failure instead of giving a black picture.
QImage CaptureScreen();
QImage CaptureActiveWindow();
QImage Capture(CaptureTarget target);
