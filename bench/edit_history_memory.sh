#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The memory the edit history costs: bench_edit_history (a 6000 x 4000 picture edited 20 times in
# the main window, every step taken back and made again) run once without a history and once with
# the program's limit, each under /usr/bin/time -v. The difference of the two peaks is what the
# history holds; it must stay within the limit.
#
#   bench/edit_history_memory.sh             builds and runs in $BUILD_DIR (default: build)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-build}
[[ $build == /* ]] || build=$root/$build

cmake --build "$build" --target bench_edit_history
bench=$build/bench/bench_edit_history
if [[ ! -x /usr/bin/time ]]; then
    sudo=()
    [[ $(id -u) == 0 ]] || sudo=(sudo)
    "${sudo[@]}" apt-get install -y --no-install-recommends time >&2
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
peak() { # label args...: runs the benchmark, prints its lines, stores the peak in KiB
    local label=$1
    shift
    echo "== $label"
    QT_QPA_PLATFORM=offscreen /usr/bin/time -v -o "$work/$label.time" "$bench" "$@"
    sed -n 's/^\s*Maximum resident set size (kbytes): //p' "$work/$label.time" >"$work/$label.kib"
    echo "peak (time -v) $(($(cat "$work/$label.kib") / 1024)) MiB"
}
peak none --limit-mib 0
peak limited
limitMiB=1024 # kHistoryByteLimit
difference=$((($(cat "$work/limited.kib") - $(cat "$work/none.kib")) / 1024))
echo "== the history costs $difference MiB of peak memory (limit $limitMiB MiB)"
((difference <= limitMiB)) || { echo "past the limit" >&2; exit 1; }
