#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Animated input against ImageMagick, in one run, on a 512 x 512 GIF of 60 frames (a fractal
# rolled 8 pixels a frame, so every frame changes everywhere, with a still border that frame
# optimisation can leave out):
#   - frames: every frame whole as PNG, `mokaran frames` against `convert -coalesce`;
#   - tiles: the 16 tiles of 128 x 128 as animated GIFs, `mokaran sequence --direction grid
#     --format gif` against ImageMagick cropping the coalesced frames once per tile and writing
#     each with `-layers optimize`;
#   - cut: one 200 x 150 cut as an animated WebP, `mokaran cut` against `convert -coalesce
#     -crop` then `img2webp -lossless`.
# Each time is the whole command, reading the GIF included; medians of REPEATS runs (default 3).
# /usr/bin/time -v gives each command's peak memory (maximum resident set size).
#
#   bench/compare_animations.sh          builds and runs in $BUILD_DIR (default: build)
set -euo pipefail

if [[ -z ${TMPDIR:-} && -d /dev/shm ]]; then
    export TMPDIR=/dev/shm
fi
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-build}
[[ $build == /* ]] || build=$root/$build
repeats=${REPEATS:-3}
cmake --build "$build" --target mokaran >/dev/null
mokaran=$build/bin/mokaran
for tool in convert:imagemagick img2webp:webp; do
    command -v "${tool%%:*}" >/dev/null && continue
    echo "${tool%%:*} is missing: installing ${tool#*:} for this comparison" >&2
    sudo=()
    [[ $(id -u) == 0 ]] || sudo=(sudo)
    "${sudo[@]}" apt-get install -y --no-install-recommends "${tool#*:}" >&2
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
now() { date +%s.%N; }
# The median time of running the command `repeats` times, each in a fresh folder @OUT@, and
# the peak memory of the last run in megabytes.
measure() {
    local times=() start out
    for ((i = 0; i < repeats; i++)); do
        out=$work/run-$RANDOM$RANDOM
        mkdir "$out"
        start=$(now)
        /usr/bin/time -f %M -o "$work/memory" bash -c "${1//@OUT@/$out}" >/dev/null 2>&1
        times+=("$(awk -v a="$start" -v b="$(now)" 'BEGIN { printf "%.3f", b - a }')")
        rm -rf "$out"
    done
    printf '%s s, %s MB\n' \
        "$(printf '%s\n' "${times[@]}" | sort -n | awk '{ t[NR] = $1 } END { print t[int((NR + 1) / 2)] }')" \
        "$(awk '{ printf "%.0f", $1 / 1024 }' "$work/memory")"
}

convert -size 576x512 plasma:fractal -seed 7 "$work/plasma.png" 2>/dev/null
for ((f = 0; f < 60; f++)); do
    convert "$work/plasma.png" -roll "+$((8 * f))+0" -crop 512x512+0+0 +repage \
        -fill '#202020' -draw 'rectangle 0,0 511,31' "$work/f$(printf %02d $f).png"
done
convert -delay 5 "$work"/f*.png -loop 0 "$work/in.gif"
gif=$work/in.gif
echo "input: 512 x 512, 60 frames, $(stat -c %s "$gif") bytes"

printf 'frames as PNG   ours: %s\n' "$(measure "'$mokaran' frames '$gif' @OUT@/f")"
printf 'frames as PNG   ImageMagick: %s\n' "$(measure "convert '$gif' -coalesce @OUT@/f%03d.png")"
printf '16 tile GIFs    ours: %s\n' \
    "$(measure "'$mokaran' sequence '$gif' @OUT@/t --direction grid --size 128x128 --format gif")"
crops=""
for ((t = 0; t < 16; t++)); do
    crops+=" \\( -clone 0--1 -crop 128x128+$((t % 4 * 128))+$((t / 4 * 128)) +repage -layers optimize -write @OUT@/t$t.gif -delete 0--1 \\)"
done
printf '16 tile GIFs    ImageMagick: %s\n' "$(measure "convert '$gif' -coalesce $crops null:")"
printf 'cut as WebP     ours: %s\n' \
    "$(measure "'$mokaran' cut '$gif' @OUT@/c.webp --size 200x150 --at 100,100")"
printf 'cut as WebP     ImageMagick + img2webp: %s\n' \
    "$(measure "convert '$gif' -coalesce -crop 200x150+100+100 +repage @OUT@/c%03d.png && img2webp -lossless -loop 0 -d 50 @OUT@/c*.png -o @OUT@/c.webp")"
