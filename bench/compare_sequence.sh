#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The sequence outputs three ways on the same 4000 x 3000 picture: the program's own runs and a plain
# write loop (bench_sequence), and ImageMagick doing the same jobs, in one table.
#
#   bench/compare_sequence.sh                  builds and runs in $BUILD_DIR (default: build)
#   BUILD_DIR=/tmp/build-bench bench/compare_sequence.sh
#
# ImageMagick is installed here when missing, for this comparison only; nothing builds with it.
#
# Files go to a memory file system (/dev/shm) unless TMPDIR says otherwise, and each run's folder
# is removed once measured (MOKARAN_BENCH_RECYCLE=1). On the virtual machine this was tuned on,
# gigabytes of files kept on disk made whole repetitions several times slower at random, for every
# writer alike (fresh memory pages for the page cache, and an ext4 without a journal skipping
# recently freed inodes), which drowned the differences this table is about.
#   TMPDIR=/var/tmp MOKARAN_BENCH_RECYCLE=0 bench/compare_sequence.sh    measures on that disk
set -euo pipefail

if [[ -z ${TMPDIR:-} && -d /dev/shm ]]; then
    export TMPDIR=/dev/shm
fi
export MOKARAN_BENCH_RECYCLE=${MOKARAN_BENCH_RECYCLE:-1}

root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-build}
[[ $build == /* ]] || build=$root/$build

# Frames of the one-pixel run ImageMagick really writes; the rest is extrapolated (see below).
imSubset=${IM_SUBSET:-380}
imRepeats=${IM_REPEATS:-3}
continuousFrames=3801

cmake --build "$build" --target bench_sequence
bench=$build/bench/bench_sequence

isImageMagick() { "$1" -version 2>/dev/null | grep -q '^Version: ImageMagick'; }
if command -v magick >/dev/null && isImageMagick magick; then
    im=(magick)
else
    if ! isImageMagick convert; then
        echo "ImageMagick is missing: installing it for this comparison" >&2
        sudo=()
        [[ $(id -u) == 0 ]] || sudo=(sudo)
        "${sudo[@]}" apt-get install -y --no-install-recommends imagemagick >&2
    fi
    im=(convert)
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/mokaran-compare.XXXXXX")
trap 'rm -rf "$work"' EXIT

MOKARAN_BENCH_DUMP=$work/pictures "$bench" >/dev/null

now() { date +%s.%N; }
# Runs an ImageMagick command imRepeats times, each into a new folder after a sync (as the
# benchmark does), checks the number of files, and appends "job seconds" (the mean) to im.txt.
folders=0
timeIm() {
    local job=$1 files=$2 total=0 start end out count
    shift 2
    for ((i = 0; i < imRepeats; i++)); do
        out=$work/im-$((++folders))
        mkdir "$out"
        sync
        start=$(now)
        "${im[@]}" "${@//@OUT@/$out}"
        end=$(now)
        count=$(find "$out" -type f | wc -l)
        if ((count != files)); then
            echo "ImageMagick wrote $count files for $job, not $files" >&2
            exit 1
        fi
        total=$(awk -v t="$total" -v a="$start" -v b="$end" 'BEGIN { printf "%.6f", t + b - a }')
    done
    awk -v j="$job" -v t="$total" -v n="$imRepeats" 'BEGIN { printf "%s %.6f\n", j, t / n }' >>"$work/im.txt"
}

pictures=$work/pictures
# Reading the picture alone: the part of the one-pixel run that does not grow with the frames.
timeIm read 0 "$pictures/source.bmp" null:
crops=()
for ((x = 0; x < imSubset; x++)); do
    crops+=(\( +clone -crop "200x200+$x+0" +repage -write "BMP3:@OUT@/walk$(printf %03d $((x + 1))).bmp"
        +delete \))
done
timeIm continuous_subset "$imSubset" "$pictures/source.bmp" "${crops[@]}" null:
timeIm tiles 300 "$pictures/source.bmp" -crop 200x200 +repage "BMP3:@OUT@/tile_%03d.bmp"
timeIm blend_21 21 "$pictures/mix_cut.bmp" "$pictures/mix_blend.bmp" -morph 19 "BMP3:@OUT@/m_%03d.bmp"

# The benchmark last: it deletes its files when it ends, and on ext4 without a journal files created
# soon after many deletions cost more (see bench_sequence.cpp). ImageMagick's files stay until the end.
"$bench" --benchmark_enable_random_interleaving=true --benchmark_display_aggregates_only=true \
    --benchmark_out="$work/bench.json" --benchmark_out_format=json

python3 - "$work/bench.json" "$work/im.txt" "$imSubset" "$continuousFrames" "$imRepeats" <<'EOF'
import json, sys

report, imFile, subset, frames, repeats = sys.argv[1], sys.argv[2], int(sys.argv[3]), int(sys.argv[4]), sys.argv[5]
scale = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}
ours, cpu = {}, {}
for b in json.load(open(report))["benchmarks"]:
    if b.get("aggregate_name") == "median":
        job, kind = b["name"].split("/")[:2]
        ours[(job, kind)] = b["real_time"] * scale[b["time_unit"]]
        cpu[(job, kind)] = b["cpu_time"] * scale[b["time_unit"]]
im = {}
for line in open(imFile):
    job, seconds = line.split()
    im[job] = float(seconds)
# The one-pixel run: the picture read once, then the per-frame cost of the subset for every frame.
im["continuous_1px"] = im["read"] + (im["continuous_subset"] - im["read"]) * frames / subset
rows = [("continuous_1px", frames), ("tiles", 300), ("blend_21", 21)]

print()
print(f"{'job':<16}{'frames':>7}{'ours (s)':>11}{'plain loop (s)':>16}{'ours/plain':>12}"
      f"{'ImageMagick (s)':>17}{'ImageMagick/ours':>18}{'ours frames/s':>15}")
for job, n in rows:
    o, p, m = ours[(job, "ours")], ours[(job, "plain_loop")], im[job]
    print(f"{job:<16}{n:>7}{o:>11.4f}{p:>16.4f}{o / p:>12.2f}{m:>17.4f}{m / o:>18.1f}{n / o:>15.0f}")
print()
print("Where the difference goes (s, wall):")
print(f"{'job':<16}{'ours without files':>20}{'plain loop with rename':>24}"
      f"{'ours CPU':>10}{'plain loop CPU':>16}")
for job, _ in rows:
    print(f"{job:<16}{ours[(job, 'ours_without_files')]:>20.4f}"
          f"{ours[(job, 'plain_loop_with_rename')]:>24.4f}"
          f"{cpu[(job, 'ours')]:>10.4f}{cpu[(job, 'plain_loop')]:>16.4f}")
print()
print("ours and plain loop: medians of 5 repetitions taking turns in random order (wall time).")
import os
print(f"Files written under {os.environ.get('TMPDIR', '/tmp')}; run folders removed once measured: "
      f"{'yes' if os.environ.get('MOKARAN_BENCH_RECYCLE') == '1' else 'no'}.")
print(f"ImageMagick: mean of {repeats} runs each; its times include reading the 4000 x 3000 BMP "
      f"({im['read']:.3f} s alone).")
print(f"continuous_1px for ImageMagick is extrapolated: {subset} frames written in one process took "
      f"{im['continuous_subset']:.3f} s; read + (that - read) x {frames}/{subset}.")
print("blend_21 for ImageMagick is -morph 19 between the cut and the blend picture (21 frames).")
print("Load average at the end:", open("/proc/loadavg").read().split()[:3])
EOF
