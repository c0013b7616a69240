#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the package `make deb` built as a user would (apt-get install ./mokaran_*.deb) and
# starts it: --version, the man page, and the window with a picture given on the command line, on
# a private X display. Catches a package that does not install on Debian 12 (a dependency
# missing from the archive), a program that does not start from /usr/bin, and files missing from
# the package. The package is removed again unless it was installed before.
# Needs root: exits 77 (skipped) otherwise. usage: test_package.sh [SCREENSHOT.png]
set -euo pipefail
cd "$(dirname "$0")/../.."
if [ "$(id -u)" -ne 0 ]; then
    echo "test_package: skipped (installing the package needs root)"
    exit 77
fi

version=$(dpkg-parsechangelog -S Version)
deb=dist/mokaran_${version}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || { echo "test_package: $deb is missing: run make deb first" >&2; exit 1; }
id=$(sed -n 's/^set(MOKARAN_APP_ID \(.*\))$/\1/p' CMakeLists.txt)

work=$(mktemp -d)
installed_before=$(dpkg-query -W -f='${Status}' mokaran 2>/dev/null | grep -c 'ok installed' || true)
cleanup() {
    rm -rf "$work"
    if [ "$installed_before" = 0 ]; then
        DEBIAN_FRONTEND=noninteractive apt-get purge -y -q mokaran >/dev/null 2>&1 || true
    fi
}
trap cleanup EXIT

install() {
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q "./$deb"
}
# A machine whose package lists are gone (a fresh container) needs them for the dependencies.
install || { apt-get update -q && install; }

out=$(/usr/bin/mokaran --version)
[ "$out" = "mokaran $version ($(sed -n 's/^set(MOKARAN_RELEASE_DATE "\(.*\)")$/\1/p' CMakeLists.txt))" ] ||
    { echo "test_package: mokaran --version printed: $out" >&2; exit 1; }
for file in /usr/share/applications/$id.desktop /usr/share/metainfo/$id.metainfo.xml \
    /usr/share/icons/hicolor/scalable/apps/$id.svg /usr/share/icons/hicolor/48x48/apps/$id.png \
    /usr/share/mokaran/data.dat /usr/share/bash-completion/completions/mokaran \
    /usr/share/doc/mokaran/copyright; do
    [ -f "$file" ] || { echo "test_package: not in the package: $file" >&2; exit 1; }
done
man -w mokaran >/dev/null || { echo "test_package: man mokaran finds no page" >&2; exit 1; }

tests/install/open_picture_window.sh /usr/bin/mokaran "$work" "${1:-}"
echo "test_package: $deb installs and starts"
