#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a test program on a private X display with a window manager, as a desktop would have.
# usage: run_with_x.sh PROGRAM [ARGS...]
exec xvfb-run -a -s "-screen 0 1280x1024x24" sh -c '
  openbox >/dev/null 2>&1 &
  wm=$!
  # Give the window manager time to take the screen over: the tests rely on it to activate and
  # frame windows (a busy machine needs more than an idle one).
  sleep 2
  "$@"
  rc=$?
  kill $wm 2>/dev/null
  exit $rc' sh "$@"
