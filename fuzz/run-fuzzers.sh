#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the fuzz targets with clang's libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer
# in their own build folder, writes the seed corpora, and runs each target for a bounded time.
# usage: fuzz/run-fuzzers.sh [TARGET...]   (default: every target; `make fuzz` runs this)
#   FUZZ_SECONDS  how long each target runs (default 60)
#   FUZZ_JOBS     how many targets run at once (default 1; one core each)
#   FUZZ_DIR      the build folder (default build-fuzz)
# Each target's corpus grows in FUZZ_DIR/corpus/TARGET/ from run to run. An input that crashes a
# target, leaks, takes more than 10 s or 2.5 GB is kept in FUZZ_DIR/crashes/TARGET/: once the
# fault is mended, put it in fuzz/findings/TARGET/, where every test run replays it.
# Prints one line a target (runs, seconds, crashes) and exits 1 when any target found something.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
seconds=${FUZZ_SECONDS:-60}
jobs=${FUZZ_JOBS:-1}
dir=${FUZZ_DIR:-build-fuzz}
all=(bmp jpeg pictures reading settings presets jpeg_dat page_project
    png_writer gif_writer webp_writer sheet)
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=("${all[@]}")

bash scripts/install-deps.sh clang-14 libclang-rt-14-dev
if [ ! -f "$dir/build.ninja" ]; then
    cmake -S . -B "$dir" -G Ninja -DCMAKE_CXX_COMPILER=clang++-14 -DMOKARAN_FUZZ=ON \
        -DMOKARAN_BUILD_TESTS=OFF -DMOKARAN_BUILD_BENCHMARKS=OFF >/dev/null
fi
cmake --build "$dir" --target fuzz_targets
rm -rf "$dir/seeds"
"$dir/fuzz/fuzz_seeds" "$dir/seeds" data

export ASAN_OPTIONS=detect_stack_use_after_return=1
export UBSAN_OPTIONS=print_stacktrace=1
export LSAN_OPTIONS=suppressions=$root/scripts/lsan-suppressions.txt:print_suppressions=0

run_target() {
    local target=$1
    local crashes=$dir/crashes/$target
    mkdir -p "$dir/corpus/$target" "$crashes" "$dir/logs"
    rm -f "$crashes"/*
    local corpora=("$dir/corpus/$target" "$dir/seeds/$target")
    [ -d "fuzz/findings/$target" ] && corpora+=("fuzz/findings/$target")
    local status=0 start=$SECONDS
    "$dir/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2560 \
        -print_final_stats=1 -artifact_prefix="$crashes/" "${corpora[@]}" \
        >"$dir/logs/$target.log" 2>&1 || status=$?
    local runs found
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$dir/logs/$target.log" | tail -1)
    found=$(find "$crashes" -type f | wc -l)
    printf 'fuzz %-13s %s runs in %d s, exit %d, %d crashes (log: %s)\n' "$target" \
        "${runs:-?}" $((SECONDS - start)) "$status" "$found" "$dir/logs/$target.log"
    [ "$status" -eq 0 ] && [ "$found" -eq 0 ]
}

failed=0
pids=()
for target in "${targets[@]}"; do
    run_target "$target" &
    pids+=($!)
    if [ ${#pids[@]} -ge "$jobs" ]; then
        wait "${pids[0]}" || failed=1
        pids=("${pids[@]:1}")
    fi
done
for pid in "${pids[@]}"; do
    wait "$pid" || failed=1
done
exit $failed
