#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Starts the program as a launcher or a file manager does (`mokaran FILE`) on a private X display
# with a window manager, closes its window as a user would (Alt+F4) and checks what it kept:
# catches a FILE argument taken for a command or ignored, a window that does not come up, and
# settings that do not reach the user's config folder.
# usage: open_picture_window.sh MOKARAN WORKDIR [SCREENSHOT.png]
# The display's number starts from one of the process's own, so that tests that other users run
# at the same time do not race this one for the same number.
# The program runs with HOME=WORKDIR/home and XDG_CONFIG_HOME=WORKDIR/config. The picture is
# 90x60, smaller than any stored cut size the callers use (the default is 100x100): set.ini then
# holds a cut of 90x60 only if the picture given was loaded, since loading lowers the cut to it.
set -u
program=$1
work=$2
screenshot=${3:-}
here=$(cd "$(dirname "$0")" && pwd)

mkdir -p "$work/home" "$work/config"
perl "$here/../../scripts/scene-picture.pl" 90 60 "$work/picture.bmp" || exit 1

HOME=$work/home XDG_CONFIG_HOME=$work/config QT_QPA_PLATFORM=xcb \
    xvfb-run -a -n $((100 + $$ % 800)) -s "-screen 0 1024x768x24" sh -c '
    program=$1 picture=$2 screenshot=$3
    openbox >/dev/null 2>&1 &
    wm=$!
    sleep 2 # the window manager takes the screen over
    "$program" "$picture" &
    app=$!
    window=$(timeout 30 xdotool search --sync --onlyvisible --name "MOKARAN\$" | head -n 1)
    if [ -z "$window" ]; then
        echo "no MOKARAN window within 30 s"
        kill $app $wm 2>/dev/null
        exit 1
    fi
    sleep 1 # the first paint
    if [ -n "$screenshot" ] && command -v import >/dev/null; then
        import -window root "$screenshot"
    fi
    # The window manager closes the window on Alt+F4; the window saves its settings and the
    # program ends. On a busy machine the window manager may still be starting: ask again.
    for _ in $(seq 10); do
        timeout 5 xdotool windowactivate --sync "$window" key alt+F4 2>/dev/null
        for _ in $(seq 10); do kill -0 $app 2>/dev/null || break 2; sleep 0.2; done
    done
    if kill -0 $app 2>/dev/null; then
        echo "the program is still running after ten Alt+F4"
        kill $app $wm
        exit 1
    fi
    wait $app
    rc=$?
    kill $wm 2>/dev/null
    [ $rc -eq 0 ] || { echo "the program exited with $rc"; exit 1; }
' sh "$program" "$work/picture.bmp" "$screenshot" || exit 1

settings=$work/config/mokaran/set.ini
[ -f "$settings" ] || { echo "no set.ini in the config folder ($settings)"; exit 1; }
lines=$(tr -d '\r' <"$settings")
printf '%s\n' "$lines" | grep -qx 'ImageWidth=90' && printf '%s\n' "$lines" | grep -qx 'ImageHeight=60' || {
    echo "set.ini does not hold the 90x60 cut of the loaded picture:"
    cat "$settings"
    exit 1
}
echo "the window opened with the picture and kept its settings in $settings"
