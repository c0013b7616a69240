#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""A stand-in for the desktop's screenshot portal, for the capture tests on a private session bus.

usage: fake_screenshot_portal.py picture PICTURE COPY   answers with a copy of PICTURE put at COPY
       fake_screenshot_portal.py cancel|fail|silent     answers "cancelled", "failed", or never

It prints "ready" once it owns the portal's name (or "taken" when another program does), then one
line for each call it receives: "Screenshot interactive=0|1" and "Close".
Run it with Debian's /usr/bin/python3, which has the dbus and gi modules.
"""
import pathlib
import shutil
import sys

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

SERVICE = "org.freedesktop.portal.Desktop"
PORTAL_PATH = "/org/freedesktop/portal/desktop"
REQUEST = "org.freedesktop.portal.Request"
ANSWER_DELAY_MS = 50  # a real portal answers after the call has returned


def log(line):
    print(line, flush=True)


class Request(dbus.service.Object):
    @dbus.service.signal(REQUEST, signature="ua{sv}")
    def Response(self, response, results):
        pass

    @dbus.service.method(REQUEST)
    def Close(self):
        log("Close")


class Portal(dbus.service.Object):
    def __init__(self, bus, mode, files):
        super().__init__(bus, PORTAL_PATH)
        self.bus = bus
        self.mode = mode
        self.files = files
        self.requests = []  # the exported Request objects must stay alive

    @dbus.service.method("org.freedesktop.portal.Screenshot", in_signature="sa{sv}",
                         out_signature="o", sender_keyword="sender")
    def Screenshot(self, parent_window, options, sender):
        token = str(options.get("handle_token", "request"))
        path = "%s/request/%s/%s" % (PORTAL_PATH, sender[1:].replace(".", "_"), token)
        request = Request(self.bus, path)
        self.requests.append(request)
        log("Screenshot interactive=%d" % int(bool(options.get("interactive", False))))
        if self.mode != "silent":
            GLib.timeout_add(ANSWER_DELAY_MS, self.answer, request)
        return dbus.ObjectPath(path)

    def answer(self, request):
        results = dbus.Dictionary({}, signature="sv")
        if self.mode == "picture":
            source, copy = self.files
            shutil.copyfile(source, copy)
            results["uri"] = dbus.String(pathlib.Path(copy).absolute().as_uri())
            request.Response(dbus.UInt32(0), results)
        else:
            request.Response(dbus.UInt32(1 if self.mode == "cancel" else 2), results)
        return False  # once


def main():
    mode, files = sys.argv[1], sys.argv[2:]
    if mode not in ("picture", "cancel", "fail", "silent") or len(files) != (2 if mode == "picture" else 0):
        sys.exit(__doc__)
    DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    portal = Portal(bus, mode, files)
    owned = bus.request_name(SERVICE, dbus.bus.NAME_FLAG_DO_NOT_QUEUE)
    if owned != dbus.bus.REQUEST_NAME_REPLY_PRIMARY_OWNER:
        log("taken")
        sys.exit(1)
    log("ready")
    GLib.MainLoop().run()
    del portal


if __name__ == "__main__":
    main()
