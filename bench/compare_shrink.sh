#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The batch JPEG shrink beside other programs on the same 48 photo-like JPEGs (24 of 4000 x 3000,
# 24 of 1600 x 1200, made by bench_shrink): the program's own run and a plain libjpeg loop
# (bench_shrink), ImageMagick (full decode, and a reduced-size decode), GraphicsMagick and libvips,
# all writing the longer side T at quality 90, 4:2:0, for T = 200 and 1024. Then the peak memory of
# the command line's shrink over the 48 files.
#
#   bench/compare_shrink.sh                  builds and runs in $BUILD_DIR (default: build)
#   BUILD_DIR=/tmp/build-bench bench/compare_shrink.sh
#   PEER_REPEATS=3 BENCH_REPEATS=3           runs per peer and repetitions of each benchmark
#
# The other programs are installed here when missing, for this comparison only; nothing builds with
# them. Each runs as it comes (its own threads, one process per set of 24 files).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-build}
[[ $build == /* ]] || build=$root/$build
peerRepeats=${PEER_REPEATS:-3}
benchRepeats=${BENCH_REPEATS:-3}

cmake --build "$build" --target bench_shrink mokaran
bench=$build/bench/bench_shrink
cli=$build/bin/mokaran

isImageMagick() { "$1" -version 2>/dev/null | grep -q '^Version: ImageMagick'; }
missing=()
isImageMagick mogrify || missing+=(imagemagick)
command -v gm >/dev/null || missing+=(graphicsmagick)
command -v vipsthumbnail >/dev/null || missing+=(libvips-tools)
[[ -x /usr/bin/time ]] || missing+=(time)
if ((${#missing[@]})); then
    echo "installing ${missing[*]} for this comparison" >&2
    sudo=()
    [[ $(id -u) == 0 ]] || sudo=(sudo)
    "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}" >&2 ||
        { "${sudo[@]}" apt-get update >&2 &&
            "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}" >&2; }
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/mokaran-shrink.XXXXXX")
trap 'rm -rf "$work"' EXIT
in=$work/in
MOKARAN_BENCH_MAKE=$in "$bench"

now() { date +%s.%N; }
# The longer side of every output is T: 4000 x 3000 and 1600 x 1200 both give T x 3T/4.
checkSize() { # file T
    local got
    got=$(identify -format '%wx%h %[jpeg:sampling-factor] %Q' "$1")
    if [[ $got != "$2x$(($2 * 3 / 4)) 2x2,1x1,1x1 90" ]]; then
        echo "$1: $got, not $2x$(($2 * 3 / 4)) 2x2,1x1,1x1 90" >&2
        exit 1
    fi
}

# timePeer tool T set command...: runs the command peerRepeats times on the 24 files of a set
# (big_ or small_), each time into a new folder after a sync, with @OUT@ replaced by that folder;
# checks the files and appends "tool T set seconds..." to peers.txt. The files are named relative
# to the input folder: gm mogrify puts a name's whole path under its output directory.
folders=0
timePeer() {
    local tool=$1 T=$2 set=$3 times=() start end out count
    shift 3
    for ((i = 0; i < peerRepeats; i++)); do
        out=$work/peer-$((++folders))
        mkdir "$out"
        sync
        start=$(now)
        (cd "$in" && "${@//@OUT@/$out}" "$set"*.jpg)
        end=$(now)
        count=$(find "$out" -name '*.jpg' | wc -l)
        if ((count != 24)); then
            echo "$tool wrote $count files for T=$T ${set}*, not 24" >&2
            exit 1
        fi
        checkSize "$out/${set}01.jpg" "$T"
        times+=("$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.4f", b - a }')")
        rm -rf "$out"
    done
    echo "$tool $T $set ${times[*]}" >>"$work/peers.txt"
}

for T in 200 1024; do
    box=${T}x$T
    twice=$((2 * T))x$((2 * T))
    for set in big_ small_; do
        timePeer mogrify_resize "$T" "$set" \
            mogrify -path @OUT@ -resize "$box" -quality 90 -sampling-factor 2x2
        timePeer mogrify_jpeg_size "$T" "$set" \
            mogrify -path @OUT@ -define "jpeg:size=$twice" -resize "$box" -quality 90 \
            -sampling-factor 2x2
        timePeer gm_mogrify "$T" "$set" \
            gm mogrify -output-directory @OUT@ -size "$twice" -resize "$box" -quality 90 \
            -sampling-factor 2x2
        timePeer vipsthumbnail "$T" "$set" \
            vipsthumbnail --size "$T" -o "@OUT@/%s.jpg[Q=90,subsample-mode=on]"
    done
done

"$bench" --benchmark_repetitions="$benchRepeats" --benchmark_enable_random_interleaving=true \
    --benchmark_display_aggregates_only=true \
    --benchmark_out="$work/bench.json" --benchmark_out_format=json

# The command line over all 48 files on every core: wall time and peak memory.
for T in 200 1024; do
    out=$work/cli-$T
    mkdir "$out"
    sync
    QT_QPA_PLATFORM=offscreen /usr/bin/time -v -o "$work/cli-$T.txt" \
        "$cli" shrink "$in" "$out" --width "$T" --extensions "$in/jpeg.dat" 2>"$work/cli-$T.log"
    count=$(find "$out" -name '*.jpg' | wc -l)
    ((count == 48)) || { echo "the command line wrote $count files, not 48" >&2; exit 1; }
    checkSize "$out/big_01.jpg" "$T"
    checkSize "$out/small_01.jpg" "$T"
done

python3 - "$work" "$peerRepeats" "$benchRepeats" <<'EOF'
import json, re, statistics, sys

work, peerRepeats, benchRepeats = sys.argv[1], sys.argv[2], sys.argv[3]
scale = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}
sets = {"big_": "12MP", "small_": "2MP"}
files = 24
runs = {}  # (tool, T, set) -> seconds for the 24 files
for b in json.load(open(f"{work}/bench.json"))["benchmarks"]:
    if b.get("aggregate_name") == "median":
        label, target, tool = b["name"].split("/")[:3]
        runs[(tool, int(target[1:]), label.split("_")[1])] = b["real_time"] * scale[b["time_unit"]]
ours = ["ours_1_worker", "ours_1_thread", "ours_2_workers", "plain_loop", "plain_loop_2_threads"]
for line in open(f"{work}/peers.txt"):
    tool, target, prefix, *seconds = line.split()
    runs[(tool, int(target), sets[prefix])] = statistics.median(map(float, seconds))
peers = ["mogrify_resize", "mogrify_jpeg_size", "gm_mogrify", "vipsthumbnail"]

def cli(T):
    text = open(f"{work}/cli-{T}.txt").read()
    rss = int(re.search(r"Maximum resident set size \(kbytes\): (\d+)", text).group(1))
    clock = re.search(r"Elapsed \(wall clock\) time \(h:mm:ss or m:ss\): (\S+)", text).group(1)
    seconds = sum(float(part) * 60 ** i for i, part in enumerate(reversed(clock.split(":"))))
    return seconds, rss

for T in (200, 1024):
    base = "ours_2_workers"
    b12, b2 = runs[(base, T, "12MP")], runs[(base, T, "2MP")]
    print()
    print(f"T = {T} (longer side), quality 90, 4:2:0; ratio = tool / ours_2_workers (above 1: slower)")
    print(f"{'tool':<22}{'ms/12MP file':>13}{'ratio':>7}{'ms/2MP file':>13}{'ratio':>7}"
          f"{'48 files (s)':>14}{'ratio':>7}")
    for tool in ours + peers:
        t12, t2 = runs[(tool, T, "12MP")], runs[(tool, T, "2MP")]
        print(f"{tool:<22}{t12 / files * 1e3:>13.1f}{t12 / b12:>7.2f}{t2 / files * 1e3:>13.1f}"
              f"{t2 / b2:>7.2f}{t12 + t2:>14.2f}{(t12 + t2) / (b12 + b2):>7.2f}")
    seconds, rss = cli(T)
    print(f"{'mokaran shrink (CLI)':<22}{'':>40}{seconds:>14.2f}{seconds / (b12 + b2):>7.2f}"
          f"   peak RSS {rss / 1024:.1f} MiB")
    for tool in ("ours_1_worker", "ours_1_thread"):
        print(f"  {tool} / plain_loop: 12MP {runs[(tool, T, '12MP')] / runs[('plain_loop', T, '12MP')]:.3f}"
              f"  2MP {runs[(tool, T, '2MP')] / runs[('plain_loop', T, '2MP')]:.3f}")
    print(f"  ours_2_workers / plain_loop_2_threads: "
          f"12MP {b12 / runs[('plain_loop_2_threads', T, '12MP')]:.3f}"
          f"  2MP {b2 / runs[('plain_loop_2_threads', T, '2MP')]:.3f}")
print()
print(f"ours and the plain loop: medians of {benchRepeats} repetitions in random order (wall time,")
print(f"files read from the page cache); the other programs: medians of {peerRepeats} runs, one process")
print("per set of 24 files, each with its own threads. The CLI row: one run over all 48 files,")
print("process start included, peak resident memory from /usr/bin/time -v.")
print("Load average at the end:", open("/proc/loadavg").read().split()[:3])
EOF
