#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Makes the screenshot the software centres show (data/screenshots/main-window.png): the main
# window with a picture loaded from the command line and the cut frame placed on it, on a private
# X display with a window manager. Run it after a change to the window's look, then look at the
# picture. ImageMagick's `import` grabs the window (installed here when missing; not a build
# dependency). The window speaks Japanese whatever the locale (MOKARAN_LANG=ja).
# usage: scripts/make-screenshot.sh [OUT.png]   (BUILD_DIR chooses the build)
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-data/screenshots/main-window.png}")
build=${BUILD_DIR:-build}
command -v import >/dev/null || bash scripts/install-deps.sh imagemagick

# A copy of the program in a folder of its own: it keeps its set.ini there, so the build's own
# settings stay as they are, and the window's size and the cut size are the ones set here.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$build/bin/mokaran" data/data.dat data/jpeg.dat data/help.html data/readme.txt "$work/"
printf '[set]\r\nPosX=0\r\nPosY=0\r\nPosW=760\r\nPosH=560\r\nImageWidth=120\r\nImageHeight=90\r\n' \
    >"$work/set.ini"
perl scripts/scene-picture.pl 640 400 "$work/scene.bmp"

MOKARAN_LANG=ja LANG=ja_JP.UTF-8 QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    set -e
    work=$1 out=$2
    openbox >/dev/null 2>&1 &
    sleep 2
    "$work/mokaran" "$work/scene.bmp" &
    app=$!
    window=$(timeout 30 xdotool search --sync --onlyvisible --name "MOKARAN\$" | head -n 1)
    xdotool windowactivate --sync "$window"
    sleep 1
    # Place the frame over the houses: a press on the picture moves the frame'"'"'s corner there.
    xdotool mousemove --window "$window" 305 318 click 1
    xdotool mousemove --window "$window" 700 40
    sleep 1
    import -window "$window" -frame "$out"
    xdotool key alt+F4
    wait $app || true
' bash "$work" "$out"
echo "make-screenshot: $out"
