#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# The package's build dependencies and the install script must agree: catches a package that
# `make deb` needs but scripts/install-deps.sh does not install, and a library added to the
# install script for the program but forgotten in debian/control (the package would then build
# here and nowhere clean).
# usage: check_build_depends.sh SOURCE_DIR
set -u
src=$1

# Build-Depends: the field and its continuation lines, one name per line, without versions and
# architecture qualifiers; debhelper-compat comes with the debhelper package.
build_depends=$(sed -n '/^Build-Depends:/,/^[^ ]/p' "$src/debian/control" | sed '$!b;/^[^ ]/d' |
    sed 's/^Build-Depends://' | tr ',' '\n' | sed 's/[[(].*//; s/^ *//; s/ *$//' | grep . |
    sed 's/^debhelper-compat$/debhelper/' | sort -u)
# The install script's packages: every word of its packages=( ... ) and packages+=( ... ) lists.
installed=$(sed -n '/^packages+\{0,1\}=(/,/)/p' "$src/scripts/install-deps.sh" | sed 's/#.*//' |
    sed 's/^packages+\{0,1\}=(//; s/)//' | tr ' ' '\n' | grep -v '^"\$@"$' | grep . | sort -u)
# Libraries (lib*-dev, qt6-*-dev) only the tests and the benchmarks link.
test_only="libgtest-dev libgmock-dev libbenchmark-dev"

[ -n "$build_depends" ] && [ -n "$installed" ] || { echo "could not read the two lists"; exit 1; }
status=0
for p in $build_depends; do
    printf '%s\n' "$installed" | grep -qx "$p" ||
        { echo "debian/control needs $p, which scripts/install-deps.sh does not install"; status=1; }
done
for p in $(printf '%s\n' "$installed" | grep -E '^(lib|qt6-).*-dev$'); do
    case " $test_only " in *" $p "*) continue ;; esac
    printf '%s\n' "$build_depends" | grep -qx "$p" ||
        { echo "scripts/install-deps.sh installs $p, which debian/control does not list"; status=1; }
done
[ $status -eq 0 ] && echo "Build-Depends: $(echo $build_depends)"
exit $status
