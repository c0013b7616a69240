#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks the names in src/ against the naming scheme in .clang-tidy, with clang-tidy 14 and the
# compile commands of a configured build folder.
# usage: scripts/check-names.sh [FILE...]   (default: every tracked .cpp file under src/)
#   BUILD_DIR chooses the build folder (default build; `make build` or `cmake --preset default`
#   makes it). Installs clang-tidy when it is missing.
# Prints each finding once (a header included by several files is read several times) and
# exits 1 when there is any.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build_dir=${BUILD_DIR:-build}

# Pinned like clang-format: another version classifies some names differently.
clang_tidy=clang-tidy-14
command -v "$clang_tidy" >/dev/null || bash scripts/install-deps.sh clang-tidy

[ -f "$build_dir/compile_commands.json" ] || {
    echo "check-names: no $build_dir/compile_commands.json: configure first (make build)" >&2
    exit 2
}
# The sources include headers that the build generates (Designer forms, moc): make them, and
# nothing else.
mapfile -t autogen < <(ninja -C "$build_dir" -t targets all 2>/dev/null |
    sed -n 's/^\([A-Za-z0-9_]*_autogen\): phony$/\1/p')
if [ ${#autogen[@]} -gt 0 ]; then
    cmake --build "$build_dir" --target "${autogen[@]}" >/dev/null
fi

if [ $# -gt 0 ]; then
    files=("$@")
else
    mapfile -d '' -t files < <(git ls-files -z -- 'src/*.cpp')
fi

# Headers count only under src/ of this tree: not the system's, not the generated ones in the
# build folder.
header_filter="^$(printf '%s' "$root/src/" | sed 's/[][\.*^$+?(){}|]/\\&/g')"

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
printf '%s\0' "${files[@]}" | xargs -0 -P "$(nproc)" -I{} sh -c '
    log="$2/$(printf "%s" "$1" | tr / _).log"
    "$3" -p "$4" --quiet --header-filter="$5" "$1" >"$log" 2>&1 ||
        echo "$1: error: clang-tidy exited with status $?" >>"$log"' \
    sh {} "$out" "$clang_tidy" "$build_dir" "$header_filter"

findings=$(cat "$out"/*.log | grep -E '^[^ ].*:[0-9]+:[0-9]+: (warning|error): |: error: clang-tidy exited' |
    sed "s|^$root/||" | sort -u || true)
if [ -n "$findings" ]; then
    printf '%s\n' "$findings"
    echo "check-names: $(printf '%s\n' "$findings" | wc -l) findings in ${#files[@]} files" >&2
    exit 1
fi
echo "check-names: ${#files[@]} files, no findings"
