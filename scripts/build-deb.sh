#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package (dpkg-buildpackage -us -uc -b) and checks it with lintian.
# dpkg-buildpackage writes its results into the folder above the source, so the source is copied
# to build-deb/mokaran-VERSION/ and the results land in build-deb/; the .deb is then copied to
# dist/. The copy's build folder is kept between runs, so a second build compiles only what
# changed (a clean clone builds everything).
set -euo pipefail
cd "$(dirname "$0")/.."

version=$(sed -n 's/^project(mokaran VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
changelog=$(dpkg-parsechangelog -S Version)
if [ "$version" != "$changelog" ]; then
    echo "build-deb: CMakeLists.txt says version $version, debian/changelog $changelog" >&2
    exit 1
fi
arch=$(dpkg-architecture -qDEB_HOST_ARCH)
stage=build-deb
source=$stage/mokaran-$version
mkdir -p "$source" dist

# The copy: every file git knows (tracked, or new and not ignored), with its time stamps, so
# that the kept build folder sees unchanged files as unchanged. Without git, the whole tree
# less the build folders.
find "$source" -mindepth 1 -maxdepth 1 ! -name 'obj-*' -exec rm -rf {} +
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    git ls-files -z --cached --others --exclude-standard |
        while IFS= read -r -d '' f; do [ -e "$f" ] && printf '%s\0' "$f"; done |
        tar --null -T - -cf - | tar -xf - -C "$source"
else
    tar --exclude='./build*' --exclude=./dist --exclude=./.git -cf - . | tar -xf - -C "$source"
fi

rm -f "$stage"/mokaran_"$version"_* "$stage"/mokaran-dbgsym_"$version"_*
(cd "$source" && DEB_BUILD_OPTIONS="parallel=2 ${DEB_BUILD_OPTIONS:-}" \
    dpkg-buildpackage -us -uc -b -nc)

deb=mokaran_${version}_$arch.deb
cp "$stage/$deb" dist/
echo "build-deb: dist/$deb"

if command -v lintian >/dev/null; then
    # Errors fail the build; warnings and notes are shown.
    lintian --fail-on error "$stage/mokaran_${version}_$arch.changes"
    echo "build-deb: lintian found no error"
else
    echo "build-deb: lintian is not installed; the package is not checked" >&2
fi
