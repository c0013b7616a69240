// SPDX-License-Identifier: GPL-3.0-or-later
// Screen and active-window capture on X11.
#include "windows/screen_capture.h"

#include "core/base/io_error.h"
#include "core/image/picture.h"

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace {

Display *x11Display()
{
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->display() : nullptr;
}

[[noreturn]] void noDisplay()
{
    throw Failure(QCoreApplication::translate(
        "ScreenCapture", "画面をキャプチャーできません (X11 の画面で動いていません)"));
}

// The window the user sees in front: the window manager's active window, or without one the
// window holding the input focus.
Window frontWindow(Display *dpy, Window root)
{
    Window window = None;
    const Atom active = XInternAtom(dpy, "_NET_ACTIVE_WINDOW", True);
    Atom type = None;
    int format = 0;
    unsigned long count = 0, rest = 0;
    unsigned char *data = nullptr;
    if (active != None &&
        XGetWindowProperty(dpy, root, active, 0, 1, False, XA_WINDOW, &type, &format, &count, &rest,
                           &data) == Success &&
        data && count == 1 && format == 32)
        window = Window(*reinterpret_cast<unsigned long *>(data)); // format 32 items are longs
    if (data)
        XFree(data);
    if (window == None) {
        int revert = 0;
        XGetInputFocus(dpy, &window, &revert);
    }
    return window == PointerRoot || window == root ? None : window;
}

// The frame around a window: the ancestor that is a child of the root window (the window
// manager's frame, title bar included), in root coordinates.
QRect frameRect(Display *dpy, Window root, Window window)
{
    for (;;) {
        Window rootReturn = None, parent = None, *children = nullptr;
        unsigned int childCount = 0;
        if (!XQueryTree(dpy, window, &rootReturn, &parent, &children, &childCount))
            return {};
        if (children)
            XFree(children);
        if (parent == root || parent == None)
            break;
        window = parent;
    }
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(dpy, window, &attributes))
        return {};
    const int border = 2 * attributes.border_width;
    return QRect(attributes.x, attributes.y, attributes.width + border, attributes.height + border);
}

QImage grab(QScreen *screen, const QRect &area)
{
    const QPixmap shot = screen->grabWindow(0, area.x(), area.y(), area.width(), area.height());
    if (shot.isNull() || shot.size().isEmpty())
        throw Failure(
            QCoreApplication::translate("ScreenCapture", "画面をキャプチャーできませんでした"));
    return To24Bit(shot.toImage());
}

} // namespace

QImage CaptureScreen()
{
    if (!x11Display())
        noDisplay();
    QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        noDisplay();
    return grab(screen, QRect(QPoint(0, 0), screen->geometry().size()));
}

QImage CaptureActiveWindow()
{
    Display *dpy = x11Display();
    QScreen *screen = QGuiApplication::primaryScreen();
    if (!dpy || !screen)
        noDisplay();
    const Window root = DefaultRootWindow(dpy);
    const Window front = frontWindow(dpy, root);
    const QRect area = front == None ? QRect() : frameRect(dpy, root, front);
    const QRect visible = area.intersected(screen->geometry());
    if (visible.isEmpty())
        throw Failure(QCoreApplication::translate("ScreenCapture",
                                                  "キャプチャーするウインドウが見つかりません"));
    return grab(screen, visible);
}

QImage Capture(CaptureTarget target)
{
    return target == CaptureTarget::ActiveWindow ? CaptureActiveWindow() : CaptureScreen();
}
