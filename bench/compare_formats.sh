#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The new outputs against their peers, on the pictures of bench_sequence, in one run:
#   - 3801 one-pixel frames of 200 x 200 as PNG: `mokaran sequence --format png` against
#     ImageMagick cropping and writing the same PNGs (a subset, extrapolated as in
#     compare_sequence.sh); time and file size.
#   - the 21-frame blend of 400 x 300 as a GIF: `mokaran blend --animate` against
#     `convert -delay 10 -loop 0 frames*.bmp out.gif`; time, size, mean PSNR over the frames.
#   - the same as a lossless WebP: against `img2webp -loop 0 -d 100 frames*.png`; time and size.
#   - the preview's first frame on a 6000 x 4000 picture (bench_preview).
# Our times are the whole command, reading the picture included, as the peers' are.
#
#   bench/compare_formats.sh                 builds and runs in $BUILD_DIR (default: build)
#
# ImageMagick and img2webp (Debian webp) are installed here when missing, for this comparison only.
set -euo pipefail

if [[ -z ${TMPDIR:-} && -d /dev/shm ]]; then
    export TMPDIR=/dev/shm
fi
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-build}
[[ $build == /* ]] || build=$root/$build
repeats=${REPEATS:-3}
imSubset=${IM_SUBSET:-200}
frames=3801

cmake --build "$build" --target mokaran bench_sequence bench_preview
mokaran=$build/bin/mokaran

need() {
    command -v "$1" >/dev/null && return
    echo "$1 is missing: installing $2 for this comparison" >&2
    sudo=()
    [[ $(id -u) == 0 ]] || sudo=(sudo)
    "${sudo[@]}" apt-get install -y --no-install-recommends "$2" >&2
}
need convert imagemagick
need img2webp webp

work=$(mktemp -d "${TMPDIR:-/tmp}/mokaran-formats.XXXXXX")
trap 'rm -rf "$work"' EXIT
MOKARAN_BENCH_DUMP=$work/pictures "$build/bench/bench_sequence" >/dev/null
pictures=$work/pictures

now() { date +%s.%N; }
# The median wall time of `repeats` runs of a command, each in a fresh folder @OUT@. It runs in
# a subshell ($(...)), so the count of folders lives in a file; lastOut names the last folder.
echo 0 >"$work/runs"
median() {
    local times=() start out runs
    for ((i = 0; i < repeats; i++)); do
        runs=$(($(cat "$work/runs") + 1))
        echo "$runs" >"$work/runs"
        out=$work/run-$runs
        mkdir "$out"
        sync
        start=$(now)
        "${@//@OUT@/$out}" >/dev/null 2>&1
        times+=("$(awk -v a="$start" -v b="$(now)" 'BEGIN { printf "%.4f", b - a }')")
    done
    printf '%s\n' "${times[@]}" | sort -n | awk '{ t[NR] = $1 } END { print t[int((NR + 1) / 2)] }'
}
lastOut() { echo "$work/run-$(cat "$work/runs")"; }
sizeOf() { stat -c %s "$1"; }
folderSize() { du -sb "$1" | cut -f1; }

# PNG frames.
oursPng=$(median "$mokaran" sequence "$pictures/source.bmp" @OUT@/walk --size 200x200 --step 1 --format png)
oursPngSize=$(folderSize "$(lastOut)")
oursPngCount=$(find "$(lastOut)" -name '*.png' | wc -l)
crops=()
for ((x = 0; x < imSubset; x++)); do
    crops+=(\( +clone -crop "200x200+$x+0" +repage -write "@OUT@/walk$(printf %03d $((x + 1))).png" +delete \))
done
imRead=$(median convert "$pictures/source.bmp" null:)
imSubsetTime=$(median convert "$pictures/source.bmp" "${crops[@]}" null:)
imSubsetSize=$(folderSize "$(lastOut)")
imPng=$(awk -v r="$imRead" -v s="$imSubsetTime" -v n="$frames" -v k="$imSubset" 'BEGIN { printf "%.4f", r + (s - r) * n / k }')
# Our first imSubset frames against ImageMagick's, file by file.
oursSubsetSize=0
for ((k = 1; k <= imSubset; k++)); do
    oursSubsetSize=$((oursSubsetSize + $(sizeOf "$work/run-1/walk$(printf %03d $k).png" 2>/dev/null || echo 0)))
done

# The blend as GIF and WebP.
mix=("$pictures/mix_cut.bmp" "$pictures/mix_blend.bmp" --size 400x300)
"$mokaran" blend "${mix[@]}" "$work/m"
"$mokaran" blend "${mix[@]}" "$work/p" --format png
oursGif=$(median "$mokaran" blend "${mix[@]}" --animate @OUT@/ours.gif)
cp "$(lastOut)/ours.gif" "$work/ours.gif"
imGif=$(median convert -delay 10 -loop 0 "$work"/m*.bmp @OUT@/im.gif)
cp "$(lastOut)/im.gif" "$work/im.gif"
oursWebp=$(median "$mokaran" blend "${mix[@]}" --animate @OUT@/ours.webp)
cp "$(lastOut)/ours.webp" "$work/ours.webp"
peerWebp=$(median img2webp -loop 0 -d 100 "$work"/p*.png -o @OUT@/peer.webp)
cp "$(lastOut)/peer.webp" "$work/peer.webp"

# Mean PSNR of a GIF's frames against the 21 BMP frames it was made from.
psnr() {
    local d total=0 i=1 v
    d=$(mktemp -d "$work/psnr.XXXXXX")
    convert "$1" -coalesce "$d/f%02d.png"
    for f in "$d"/f*.png; do
        v=$(compare -metric PSNR "$f" "$work/m$(printf %03d $i).bmp" null: 2>&1 || true)
        total=$(awk -v t="$total" -v v="$v" 'BEGIN { print t + v }')
        i=$((i + 1))
    done
    awk -v t="$total" -v n=$((i - 1)) 'BEGIN { printf "%.2f", t / n }'
}

preview=$(QT_QPA_PLATFORM=offscreen "$build/bench/bench_preview" 2>/dev/null)

echo
printf '%-22s %10s %12s %12s %14s %10s\n' job ours_s peer_s peer/ours ours_bytes peer_bytes
printf '%-22s %10s %12s %12.1f %14s %10s\n' "png_3801_frames" "$oursPng" "$imPng" \
    "$(awk -v a="$imPng" -v b="$oursPng" 'BEGIN { print a / b }')" "$oursSubsetSize" "$imSubsetSize"
printf '%-22s %10s %12s %12.1f %14s %10s\n' "gif_blend_21" "$oursGif" "$imGif" \
    "$(awk -v a="$imGif" -v b="$oursGif" 'BEGIN { print a / b }')" "$(sizeOf "$work/ours.gif")" "$(sizeOf "$work/im.gif")"
printf '%-22s %10s %12s %12.1f %14s %10s\n' "webp_blend_21" "$oursWebp" "$peerWebp" \
    "$(awk -v a="$peerWebp" -v b="$oursWebp" 'BEGIN { print a / b }')" "$(sizeOf "$work/ours.webp")" "$(sizeOf "$work/peer.webp")"
echo
echo "GIF mean PSNR against the frames: ours $(psnr "$work/ours.gif") dB, ImageMagick $(psnr "$work/im.gif") dB"
echo "$preview"
echo
echo "Medians of $repeats runs (wall). PNG peer: ImageMagick, $imSubset frames written in one process,"
echo "extrapolated to $frames (read $imRead s + the rest per frame); sizes are of those first $imSubset"
echo "frames, ours and ImageMagick's. GIF peer: convert -delay 10 -loop 0; WebP peer: img2webp"
echo "-loop 0 -d 100 (lossless, the library's defaults, as ours). Ours: $oursPngCount PNG files,"
echo "$oursPngSize bytes in all. Files under ${TMPDIR:-/tmp}."
echo "Load average at the end: $(cut -d' ' -f1-3 /proc/loadavg)"
