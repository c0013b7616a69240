#!/bin/sh
# Runs a test program on a private X display with a window manager, as a desktop would have.
# usage: run_with_x.sh PROGRAM [ARGS...]
exec xvfb-run -a -s "-screen 0 1280x1024x24" sh -c '
  openbox >/dev/null 2>&1 &
  wm=$!
  sleep 1
  "$@"
  rc=$?
  kill $wm 2>/dev/null
  exit $rc' sh "$@"
