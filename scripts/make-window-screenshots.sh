#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Pictures of the main window and of every dialog in Japanese and English, at the desktop's font
# and at one half as large again, for looking at a change to the forms: nothing may be cut off or
# overlap. They are drawn off screen (QT_QPA_PLATFORM=offscreen), so no display is needed.
# usage: scripts/make-window-screenshots.sh [OUT_FOLDER]   (BUILD_DIR chooses the build)
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-build/window-screenshots}")
build=${BUILD_DIR:-build}
cmake --build "$build" --target window_screenshots >/dev/null
for lang in ja en; do
    for scale in 1 1.5; do
        MOKARAN_LANG=$lang QT_QPA_PLATFORM=offscreen \
            "$build/bin/window_screenshots" "$out/$lang-$scale" "$scale"
    done
done
