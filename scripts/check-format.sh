#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks that C++ files follow the repository's .clang-format, without changing them.
# usage: scripts/check-format.sh [BASE]
#   BASE given: the C++ files changed since that git revision (committed or not, and new
#               files not yet added); without it: every tracked C++ file.
# Exits 1 and lists the files that clang-format would change; `clang-format-14 -i FILE...`
# fixes them.
set -euo pipefail
cd "$(dirname "$0")/.."

# Pinned: another clang-format version formats some constructs differently.
clang_format=clang-format-14
command -v "$clang_format" >/dev/null || {
    echo "check-format: $clang_format not found (make deps installs it)" >&2
    exit 2
}

patterns=('*.cpp' '*.cc' '*.cxx' '*.h' '*.hh' '*.hpp')
files=()
if [ $# -ge 1 ]; then
    base=$1
    git rev-parse --verify --quiet "$base^{commit}" >/dev/null || {
        echo "check-format: '$base' is not a git revision" >&2
        exit 2
    }
    # Deleted files have nothing left to check.
    while IFS= read -r -d '' f; do files+=("$f"); done < <(
        git diff -z --name-only --diff-filter=d "$base" -- "${patterns[@]}"
        git ls-files -z --others --exclude-standard -- "${patterns[@]}")
else
    while IFS= read -r -d '' f; do files+=("$f"); done < <(git ls-files -z -- "${patterns[@]}")
fi

if [ ${#files[@]} -eq 0 ]; then
    echo "check-format: no C++ files to check"
    exit 0
fi

off=()
for f in "${files[@]}"; do
    if ! "$clang_format" --style=file --dry-run -Werror "$f" >/dev/null 2>&1; then
        off+=("$f")
    fi
done

if [ ${#off[@]} -gt 0 ]; then
    echo "check-format: ${#off[@]} of ${#files[@]} files are not formatted:" >&2
    printf '  %s\n' "${off[@]}" >&2
    echo "fix with: $clang_format -i ${off[*]}" >&2
    exit 1
fi
echo "check-format: ${#files[@]} files formatted"
