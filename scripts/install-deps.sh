#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages that the build, the tests, the format check and the program
# need, and only those that are missing, so a second run does nothing; then the npm package the
# tests read JSON with (tests/node), once. Package names given as
# arguments are installed too, the same way (scripts/check-names.sh asks for clang-tidy so).
set -euo pipefail

packages=(
  g++ make cmake ninja-build pkgconf
  qt6-base-dev qt6-translations-l10n
  qt6-tools-dev qt6-l10n-tools
  libjpeg62-turbo-dev libx11-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-ipafont-gothic
  xvfb xauth xdotool openbox
  dbus-daemon python3 python3-dbus python3-gi
  clang-format-14
)
# --- Desktop integration and the Debian package: the icon's bitmaps (rsvg-convert), the launcher
# and metadata validators, the man page renderer, and what `make deb` and its checks run. ---
packages+=(
  librsvg2-bin desktop-file-utils appstream man-db
  debhelper dpkg-dev lintian
)
# --- end of the desktop and package block ---
# --- picture kinds and animated output: codecs the core links, Qt's plugins for PNG, GIF, WebP,
# TIFF and TGA input, the EXIF reader and the TIFF decoder ---
packages+=(
  libpng-dev libgif-dev libimagequant-dev libwebp-dev libexif-dev libtiff-dev
  qt6-image-formats-plugins
)
# --- end of picture kinds and animated output ---
# --- the tests compare the animated GIF and WebP frames read with ImageMagick's
# (convert -coalesce) ---
packages+=(imagemagick)
# --- end of ImageMagick ---
# --- the tests read the sheets' and atlases' JSON with PixiJS under Node.js: Debian's nodejs and
# npm, unless a Node.js with its own npm is installed already (Debian's npm would conflict) ---
if ! command -v node >/dev/null || ! command -v npm >/dev/null; then
  packages+=(nodejs npm)
fi
# --- end of Node.js ---
packages+=("$@")

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed$'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "install-deps: need root or sudo to install: ${missing[*]}" >&2; exit 1; }
    sudo="sudo"
  fi
  echo "install-deps: installing ${missing[*]}"
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi

# pixi.js from npm, at the version tests/node/package-lock.json pins, into tests/node/node_modules
# (ignored by git, never part of the build or the package). Without a network the PixiJS test
# says it is skipped and why.
readers=$(cd "$(dirname "$0")/../tests/node" && pwd)
if [ ! -f "$readers/node_modules/pixi.js/package.json" ]; then
  echo "install-deps: installing pixi.js from npm into tests/node/node_modules"
  (cd "$readers" && npm ci --no-audit --no-fund --loglevel=error) ||
    echo "install-deps: npm could not install pixi.js; the test that reads the JSON with PixiJS will be skipped" >&2
fi
