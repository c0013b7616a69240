#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Puts the licence's SPDX line at the top of every source file git tracks in src/, tests/, bench/,
# fuzz/ and scripts/, and of the build files (CMake, the Makefile, CI): "// SPDX-..." in C++,
# "# SPDX-..." in CMake, shell, Perl and Python (after a "#!" line), "<!-- SPDX-... -->" in Designer
# forms (after the XML declaration). A file that already has the line is left alone, so the script
# can run again after new files arrive. Test fixtures and data files are left alone.
# usage: scripts/add-spdx.sh   (prints the files it changed)
set -euo pipefail
cd "$(dirname "$0")/.."

licence='SPDX-License-Identifier: GPL-3.0-or-later'

# The comment that carries the licence in a file of this name, or nothing for a file left alone.
comment_for() {
    case $1 in
    *.cpp | *.h | *.h.in) echo "// $licence" ;;
    *.ui) echo "<!-- $licence -->" ;;
    *CMakeLists.txt | *.cmake | *.sh | *.py | *.pl | Makefile | .ci/run) echo "# $licence" ;;
    esac
}

git ls-files -z -- src tests bench fuzz scripts CMakeLists.txt data/CMakeLists.txt Makefile .ci/run |
    while IFS= read -r -d '' file; do
        comment=$(comment_for "$file")
        [ -n "$comment" ] || continue
        head -n 3 "$file" | grep -q 'SPDX-License-Identifier:' && continue
        # A "#!" line and an XML declaration must stay first.
        first=$(head -n 1 "$file")
        if [[ $first == '#!'* || $first == '<?xml'* ]]; then
            { printf '%s\n%s\n' "$first" "$comment"; tail -n +2 "$file"; } >"$file.spdx"
        else
            { printf '%s\n' "$comment"; cat "$file"; } >"$file.spdx"
        fi
        chmod --reference="$file" "$file.spdx"
        mv "$file.spdx" "$file"
        echo "$file"
    done
