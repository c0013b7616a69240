#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Sprite sheets both ways, beside the npm packers, in one run:
#   - bench_sprites: the 2,000 sprites of a 4096 x 4096 sheet found (on transparency and on a flat
#     colour), and 3,000 rectangles packed (the whole search), medians of 5 repetitions;
#   - the atlas area of the same rectangles (3,000 of 8 to 96 pixels, the sheet's 2,000 sprites,
#     200 of the rectangles), frames 2 pixels apart and 1 from the edge, no rotation: ours beside
#     maxrects-packer's and free-tex-packer-core's best (bench/atlas_peers.mjs).
#
#   bench/compare_atlas.sh              builds and runs in $BUILD_DIR (default: build)
#
# The two packers come from npm into a temporary folder for this comparison only (Node.js and
# npm from Debian when missing); they are never build or test dependencies. They take minutes on
# thousands of rectangles.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-build}
[[ $build == /* ]] || build=$root/$build

cmake --build "$build" --target bench_sprites

if ! command -v node >/dev/null || ! command -v npm >/dev/null; then
    echo "Node.js is missing: installing nodejs and npm for this comparison" >&2
    sudo=()
    [[ $(id -u) == 0 ]] || sudo=(sudo)
    "${sudo[@]}" apt-get install -y --no-install-recommends nodejs npm >&2
fi
work=$(mktemp -d "${TMPDIR:-/tmp}/mokaran-atlas.XXXXXX")
trap 'rm -rf "$work"' EXIT
(cd "$work" && npm install --no-audit --no-fund --loglevel=error \
    maxrects-packer@2.7.4 free-tex-packer-core@0.3.9 >&2)

echo "== bench_sprites (load: $(cut -d' ' -f1-3 /proc/loadavg))"
"$build/bench/bench_sprites" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true |
    grep -E 'median|Benchmark'
echo
echo "== atlas area"
MOKARAN_BENCH_DUMP=$work/sets.json "$build/bench/bench_sprites"
node "$root/bench/atlas_peers.mjs" "$work/sets.json" "$work/node_modules"
