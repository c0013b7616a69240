#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The whole-picture edits beside ImageMagick on the same 4000 x 3000 picture, in one table: the
# program's own calls (bench_edits) against ImageMagick's nearest commands.
#
#   bench/compare_edits.sh                   builds and runs in $BUILD_DIR (default: build)
#   BUILD_DIR=/tmp/build-bench bench/compare_edits.sh
#   IM_REPEATS=5 bench/compare_edits.sh      more ImageMagick runs per command (default 3)
#
# ImageMagick's time for an edit is that of `convert source.bmp -OP null:` minus that of
# `convert source.bmp null:`: starting, reading the BMP into its pixel cache and the null output
# cost the same in both and drop out. Each command runs IM_REPEATS times; the best run counts.
# A cache file (MPC) was not used: ImageMagick maps it from the disk, and an edit then pays for
# the page faults and the writes back to the file, which is not the edit's own cost.
# Both programs run twice: with the threads they choose (ImageMagick's OpenMP and our row bands)
# and kept to one thread.
#
# ImageMagick is installed here when missing, for this comparison only; nothing builds with it.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-build}
[[ $build == /* ]] || build=$root/$build
imRepeats=${IM_REPEATS:-3}

cmake --build "$build" --target bench_edits
bench=$build/bench/bench_edits

isImageMagick() { "$1" -version 2>/dev/null | grep -q '^Version: ImageMagick'; }
findImageMagick() {
    # Debian's own binary by its full name first: the plain name may be another program's link.
    for candidate in magick convert-im6.q16 convert; do
        if command -v "$candidate" >/dev/null && isImageMagick "$candidate"; then
            echo "$candidate"
            return
        fi
    done
}
im=$(findImageMagick)
if [[ -z $im ]]; then
    echo "ImageMagick is missing: installing it for this comparison" >&2
    sudo=()
    [[ $(id -u) == 0 ]] || sudo=(sudo)
    "${sudo[@]}" apt-get install -y --no-install-recommends imagemagick >&2
    im=$(findImageMagick)
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/mokaran-edits.XXXXXX")
trap 'rm -rf "$work"' EXIT
source=$work/source.bmp
MOKARAN_BENCH_SOURCE=$source "$bench"

# Ours first, while nothing else of this script runs.
"$bench" --benchmark_display_aggregates_only=true --benchmark_out="$work/bench.json" \
    --benchmark_out_format=json

# The best wall time in milliseconds of imRepeats runs of one ImageMagick command.
bestMs() {
    local best='' start end ms
    for ((i = 0; i < imRepeats; i++)); do
        start=$(date +%s%N)
        "$im" "$@"
        end=$(date +%s%N)
        ms=$(((end - start) / 1000))
        [[ -n $best && $best -le $ms ]] || best=$ms
    done
    awk -v us="$best" 'BEGIN { printf "%.3f", us / 1000 }'
}

# name and ImageMagick's nearest command, in the order of the table.
edits=(
    "scale_320|-scale 320x"
    "scale_1024|-scale 1024x"
    "enlarge_6000|-resize 6000x"
    "rotate_45|-rotate 45"
    "blur|-blur 0x1"
    "sharpen|-sharpen 0x1"
    "contrast_0.1|-sigmoidal-contrast 3x50%"
    "gamma_2.0|-gamma 2.0"
    "level_correct|-auto-level"
)
defaultThreads=$("$im" -list resource | awk '/^ *Thread:/ { print $2 }')
for threads in cores one_thread; do
    limit=()
    [[ $threads == one_thread ]] && limit=(-limit thread 1)
    echo "read_only $(bestMs "${limit[@]}" "$source" null:)" >>"$work/im_$threads.txt"
    for edit in "${edits[@]}"; do
        read -r -a op <<<"${edit#*|}"
        echo "${edit%%|*} $(bestMs "${limit[@]}" "$source" "${op[@]}" null:)" >>"$work/im_$threads.txt"
    done
done

python3 - "$work" "$imRepeats" "$("$im" -version | head -1)" "$defaultThreads" "${edits[@]}" <<'EOF'
import json, sys

work, repeats, version, defaultThreads = sys.argv[1:5]
edits = [e.split("|") for e in sys.argv[5:]]
scale = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}

# Ours: the best repetition (each the mean of its runs), wall time in ms.
ours = {}
for b in json.load(open(f"{work}/bench.json"))["benchmarks"]:
    if b.get("run_type") != "iteration" or b.get("error_occurred"):
        continue
    threads, name = b["run_name"].split("/")[:2]
    ms = b["real_time"] * scale[b["time_unit"]]
    ours[(threads, name)] = min(ms, ours.get((threads, name), ms))

im = {}
for threads in ("cores", "one_thread"):
    for line in open(f"{work}/im_{threads}.txt"):
        name, ms = line.split()
        im[(threads, name)] = float(ms)
    read = im[(threads, "read_only")]
    for name, _ in edits:
        im[(threads, name)] -= read

def cell(threads, name):
    o, m = ours.get((threads, name)), im[(threads, name)]
    if o is None:
        return f"{'failed':>10}{m:>10.1f}{'':>8}{'':>5}"
    return f"{o:>10.1f}{m:>10.1f}{m / o:>8.1f}{'yes' if m >= 2 * o else 'NO':>5}"

print()
print(f"{'':<15}{'':<27}{'-- threads as each chooses --':>33}{'-- one thread each --':>33}")
print(f"{'edit':<15}{'ImageMagick command':<27}"
      + f"{'ours ms':>10}{'IM ms':>10}{'IM/ours':>8}{'2x?':>5}" * 2)
for name, command in edits:
    print(f"{name:<15}{command:<27}{cell('cores', name)}{cell('one_thread', name)}")
print()
print(f"ImageMagick: {version}; {defaultThreads} OpenMP threads by default, 1 with -limit thread 1.")
print(f"Its edit times are `convert source.bmp OP null:` minus `convert source.bmp null:` "
      f"({im[('cores', 'read_only')]:.1f} ms and {im[('one_thread', 'read_only')]:.1f} ms "
      f"alone), each the best of {repeats} runs.")
print("Ours: the best of 3 repetitions of 3 calls each (the mean call of a repetition), wall time;")
print("'threads as each chooses' is the program as it runs (row bands over the cores).")
print("Load average at the end:", " ".join(open("/proc/loadavg").read().split()[:3]))
EOF
