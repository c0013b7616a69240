#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The new outputs against their peers, in one run:
#   - png: 3801 one-pixel frames of 200 x 200 (the pictures of bench_sequence) as PNG: `mokaran
#     sequence --format png` against ImageMagick cropping and writing the same PNGs (a subset,
#     extrapolated as in compare_sequence.sh); time and file size.
#   - gif: the animations of bench/make_gif_corpus.sh (photographic ones, and ones whose frames
#     share pixels and colours) as GIF: ours, `gifsicle -O3` of the earlier program's GIF (of ours
#     without BEFORE), gifski -Q 90, ours with --max-size set to gifski's size, and ImageMagick's
#     `convert -delay 10 -loop 0 -dispose background`; size, mean PSNR over the frames (each GIF
#     coalesced and every frame put over magenta, as its source frame, then ImageMagick's
#     `compare -metric PSNR`; "exact" when every frame is equal), and time.
#   - webp: the 21-frame blend of bench_sequence as a lossless WebP against `img2webp -loop 0 -d
#     100 frames*.png`; time and size.
#   - preview: the preview's first frame on a 6000 x 4000 picture (bench_preview).
# Our times are the whole command, reading the picture included, as the peers' are (gifski's and
# ImageMagick's read the PNG frames).
#
#   bench/compare_formats.sh                 builds and runs in $BUILD_DIR (default: build)
#   PARTS="gif"                              only these parts (default: png gif webp preview)
#   BEFORE=path/to/mokaran                   an earlier program, for the GIF table's first column
#   REPEATS=3                                runs timed for each median
#
# ImageMagick, img2webp (Debian webp) and gifsicle are installed here with apt when missing, and
# gifski with npm into ~/.cache/mokaran-bench, for this comparison only.
set -euo pipefail

if [[ -z ${TMPDIR:-} && -d /dev/shm ]]; then
    export TMPDIR=/dev/shm
fi
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-build}
[[ $build == /* ]] || build=$root/$build
repeats=${REPEATS:-3}
parts=" ${PARTS:-png gif webp preview} "
imSubset=${IM_SUBSET:-200}
frames=3801
before=${BEFORE:-}

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
need gifsicle gifsicle
# gifski's npm package ships the program itself; it goes into a cache of its own, never the build.
gifskiCache=${XDG_CACHE_HOME:-$HOME/.cache}/mokaran-bench
gifski=$gifskiCache/node_modules/gifski/bin/debian/gifski
if [[ $parts == *" gif "* && ! -x $gifski ]]; then
    echo "gifski is missing: installing the npm package gifski into $gifskiCache" >&2
    npm install --no-save --prefix "$gifskiCache" gifski >&2
fi

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
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.1f", a / b }'; }

pngPart() {
    oursPng=$(median "$mokaran" sequence "$pictures/source.bmp" @OUT@/walk --size 200x200 --step 1 --format png)
    local oursPngSize oursPngCount
    oursPngSize=$(folderSize "$(lastOut)")
    oursPngCount=$(find "$(lastOut)" -name '*.png' | wc -l)
    local first=$(lastOut) crops=()
    for ((x = 0; x < imSubset; x++)); do
        crops+=(\( +clone -crop "200x200+$x+0" +repage -write "@OUT@/walk$(printf %03d $((x + 1))).png" +delete \))
    done
    local imRead imSubsetTime imSubsetSize imPng oursSubsetSize=0
    imRead=$(median convert "$pictures/source.bmp" null:)
    imSubsetTime=$(median convert "$pictures/source.bmp" "${crops[@]}" null:)
    imSubsetSize=$(folderSize "$(lastOut)")
    imPng=$(awk -v r="$imRead" -v s="$imSubsetTime" -v n="$frames" -v k="$imSubset" 'BEGIN { printf "%.4f", r + (s - r) * n / k }')
    # Our first imSubset frames against ImageMagick's, file by file.
    for ((k = 1; k <= imSubset; k++)); do
        oursSubsetSize=$((oursSubsetSize + $(sizeOf "$first/walk$(printf %03d $k).png" 2>/dev/null || echo 0)))
    done
    echo
    printf '%-22s %10s %12s %12s %14s %10s\n' job ours_s peer_s peer/ours ours_bytes peer_bytes
    printf '%-22s %10s %12s %12s %14s %10s\n' "png_3801_frames" "$oursPng" "$imPng" \
        "$(ratio "$imPng" "$oursPng")" "$oursSubsetSize" "$imSubsetSize"
    echo "PNG peer: ImageMagick, $imSubset frames written in one process, extrapolated to $frames"
    echo "(read $imRead s + the rest per frame); sizes are of those first $imSubset frames, ours and"
    echo "ImageMagick's. Ours: $oursPngCount PNG files, $oursPngSize bytes in all."
}

webpPart() {
    local mix=("$pictures/mix_cut.bmp" "$pictures/mix_blend.bmp" --size 400x300)
    "$mokaran" blend "${mix[@]}" "$work/p" --format png
    local oursWebp peerWebp
    oursWebp=$(median "$mokaran" blend "${mix[@]}" --animate @OUT@/ours.webp)
    cp "$(lastOut)/ours.webp" "$work/ours.webp"
    peerWebp=$(median img2webp -loop 0 -d 100 "$work"/p*.png -o @OUT@/peer.webp)
    cp "$(lastOut)/peer.webp" "$work/peer.webp"
    echo
    printf '%-22s %10s %12s %12s %14s %10s\n' job ours_s peer_s peer/ours ours_bytes peer_bytes
    printf '%-22s %10s %12s %12s %14s %10s\n' "webp_blend_21" "$oursWebp" "$peerWebp" \
        "$(ratio "$peerWebp" "$oursWebp")" "$(sizeOf "$work/ours.webp")" "$(sizeOf "$work/peer.webp")"
    echo "WebP peer: img2webp -loop 0 -d 100 (lossless, the library's defaults, as ours)."
}

# The mean PSNR of a GIF's frames against the source frames in folder $2 (prepared by
# flatFrames), or "exact" when every frame is equal. Transparent pixels count as magenta in both.
flatFrames() {
    local from=$1 to=$2
    mkdir -p "$to"
    convert "$from"/f*.png -background magenta -alpha remove -alpha off "$to/f%03d.ppm"
}
psnr() {
    local gif=$1 source=$2 d total=0 n=0 exact=1 v
    d=$(mktemp -d "$work/psnr.XXXXXX")
    convert "$gif" -coalesce -background magenta -alpha remove -alpha off "$d/f%03d.ppm"
    for f in "$source"/f*.ppm; do
        v=$(compare -metric PSNR "$d/${f##*/}" "$f" null: 2>&1 || true)
        # Equal frames have no finite PSNR; 100 dB stands for them in the mean.
        [[ $v == inf ]] && v=100 || exact=0
        total=$(awk -v t="$total" -v v="$v" 'BEGIN { print t + v }')
        n=$((n + 1))
    done
    rm -rf "$d"
    if ((exact)); then echo exact; else awk -v t="$total" -v n="$n" 'BEGIN { printf "%.2f dB", t / n }'; fi
}
# "SIZE KB, PSNR, TIME s" of a GIF.
cell() { printf '%.1f KB, %s, %s s' "$(awk -v b="$(sizeOf "$1")" 'BEGIN { print b / 1000 }')" "$(psnr "$1" "$2")" "$3"; }

gifPart() {
    local corpus=$work/corpus
    bench/make_gif_corpus.sh "$corpus" "$mokaran" >/dev/null
    local header="| animation | kind |"
    [[ -n $before ]] && header+=" before |"
    header+=" ours | gifsicle -O3 of $([[ -n $before ]] && echo before || echo ours) | gifski -Q 90 | ours at gifski's size | ImageMagick |"
    echo
    echo "$header"
    echo "$header" | sed 's/[^|]*|/---|/g'
    local verdicts=()
    for args in "$corpus"/*.args; do
        local name kind words source row g
        name=$(basename "$args" .args)
        kind=$(cat "$corpus/$name.kind")
        mapfile -t words <"$args"
        source=$work/flat_$name
        flatFrames "$corpus/frames_$name" "$source"
        row="| $name | $kind |"
        local beforeGif='' beforeTime
        if [[ -n $before ]]; then
            beforeTime=$(median "$before" "${words[@]}" --animate @OUT@/before.gif)
            beforeGif=$work/$name.before.gif
            cp "$(lastOut)/before.gif" "$beforeGif"
            row+=" $(cell "$beforeGif" "$source" "$beforeTime") |"
        fi
        local oursTime oursGif=$work/$name.ours.gif
        oursTime=$(median "$mokaran" "${words[@]}" --animate @OUT@/ours.gif)
        cp "$(lastOut)/ours.gif" "$oursGif"
        row+=" $(cell "$oursGif" "$source" "$oursTime") |"
        local optimized=$work/$name.gifsicle.gif optimizedTime
        optimizedTime=$(median gifsicle -O3 "${beforeGif:-$oursGif}" -o @OUT@/o.gif)
        cp "$(lastOut)/o.gif" "$optimized"
        row+=" $(cell "$optimized" "$source" "$optimizedTime") |"
        local gifskiTime gifskiGif=$work/$name.gifski.gif
        gifskiTime=$(median "$gifski" -q -Q 90 --fps 10 -o @OUT@/g.gif "$corpus/frames_$name"/f*.png)
        cp "$(lastOut)/g.gif" "$gifskiGif"
        row+=" $(cell "$gifskiGif" "$source" "$gifskiTime") |"
        local fitTime fitGif=$work/$name.fit.gif
        fitTime=$(median "$mokaran" "${words[@]}" --animate @OUT@/fit.gif --max-size "$(sizeOf "$gifskiGif")")
        if [[ -f $(lastOut)/fit.gif ]]; then
            cp "$(lastOut)/fit.gif" "$fitGif"
            row+=" $(cell "$fitGif" "$source" "$fitTime") |"
        else
            row+=" does not fit |"
        fi
        local imTime imGif=$work/$name.im.gif
        imTime=$(median convert -delay 10 -loop 0 -dispose background "$corpus/frames_$name"/f*.png @OUT@/im.gif)
        cp "$(lastOut)/im.gif" "$imGif"
        row+=" $(cell "$imGif" "$source" "$imTime") |"
        echo "$row"
        verdicts+=("$(verdict "$name" "$kind" "$oursGif" "$beforeGif" "$optimized" "$gifskiGif" "$fitGif" "$source" "$gifskiTime" "$fitTime")")
    done
    echo
    echo "Goals:"
    printf '  %s\n' "${verdicts[@]}"
    echo "gifski $("$gifski" --version | cut -d' ' -f2) with --fps 10; gifsicle -O3 with no other option."
}

# One line on the goals of an animation: photographic frames at gifski's size at least as good
# and 3 times as fast; frames that share pixels exact in no more bytes than gifsicle -O3 makes;
# never larger than the earlier program's GIF.
verdict() {
    local name=$1 kind=$2 ours=$3 beforeGif=$4 optimized=$5 gifskiGif=$6 fit=$7 source=$8
    local gifskiTime=$9 fitTime=${10} line="$name:"
    if [[ $kind == photo ]]; then
        if [[ -f $fit ]]; then
            line+=" at gifski's size $(psnr "$fit" "$source") against $(psnr "$gifskiGif" "$source"),"
            line+=" $(ratio "$gifskiTime" "$fitTime") times as fast;"
        else
            line+=" does not fit in gifski's size;"
        fi
    else
        line+=" $(psnr "$ours" "$source"), $(sizeOf "$ours") bytes against gifsicle's $(sizeOf "$optimized");"
    fi
    if [[ -n $beforeGif ]]; then
        line+=" $(sizeOf "$ours") bytes against $(sizeOf "$beforeGif") before"
    fi
    echo "$line"
}

[[ $parts == *" png "* ]] && pngPart
[[ $parts == *" gif "* ]] && (cd "$root" && gifPart)
[[ $parts == *" webp "* ]] && webpPart
if [[ $parts == *" preview "* ]]; then
    echo
    QT_QPA_PLATFORM=offscreen "$build/bench/bench_preview" 2>/dev/null
fi
echo
echo "Medians of $repeats runs (wall). Files under ${TMPDIR:-/tmp}."
echo "Load average at the end: $(cut -d' ' -f1-3 /proc/loadavg)"
