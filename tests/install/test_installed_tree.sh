#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the build into a temporary prefix with `cmake --install` and runs the installed copy:
# catches a file missing from the install, an icon bitmap of the wrong size, an installed copy
# that cannot find its data files, and one that writes beside its executable (as it could when
# root runs it, or when it is installed under the user's home).
# usage: test_installed_tree.sh BUILD_DIR APP_ID
set -u
build=$1
id=$2
here=$(cd "$(dirname "$0")" && pwd)
for tool in xvfb-run openbox xdotool perl; do
    command -v $tool >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
fail() { echo "$*"; exit 1; }

cmake --install "$build" --prefix "$prefix" >"$work/install.log" || { cat "$work/install.log"; exit 1; }

share=$prefix/share
for file in bin/mokaran share/mokaran/data.dat share/mokaran/jpeg.dat share/mokaran/help.html \
    share/mokaran/help.en.html share/mokaran/readme.txt share/mokaran/readme.en.txt \
    share/mokaran/translations/mokaran_en.qm share/applications/$id.desktop share/metainfo/$id.metainfo.xml \
    share/icons/hicolor/scalable/apps/$id.svg share/man/man1/mokaran.1 \
    share/bash-completion/completions/mokaran; do
    [ -f "$prefix/$file" ] || fail "not installed: $file"
done
# Each bitmap is as wide and as high as its folder says (the PNG header's words at bytes 16, 20).
for size in 16 24 32 48 64 128 256; do
    png=$share/icons/hicolor/${size}x$size/apps/$id.png
    [ -f "$png" ] || fail "not installed: $png"
    set -- $(od -An -tu1 -j16 -N8 "$png")
    width=$(($1 << 24 | $2 << 16 | $3 << 8 | $4))
    height=$(($5 << 24 | $6 << 16 | $7 << 8 | $8))
    [ "$width $height" = "$size $size" ] || fail "$png is $width x $height, not $size x $size"
done

mokaran=$prefix/bin/mokaran
"$mokaran" --version | grep -q '^mokaran ' || fail "the installed mokaran --version failed"
# shrink reads jpeg.dat; an installed copy finds it in share/mokaran (missing, the run fails).
mkdir "$work/photos" "$work/small"
"$mokaran" shrink "$work/photos" "$work/small" --width 10 2>"$work/shrink.log" ||
    { cat "$work/shrink.log"; fail "the installed copy did not find its jpeg.dat"; }

# The installed copy finds its translation in share/mokaran/translations: under an English
# locale the failures the core reports are in English, under C in Japanese as they always were.
cut_missing() {
    env -u LC_ALL -u LC_MESSAGES -u LANGUAGE -u MOKARAN_LANG LANG=$1 \
        "$mokaran" cut "$work/none.bmp" "$work/cut.bmp" --size 1x1 2>&1
}
cut_missing en_US.UTF-8 | grep -q "File not found" ||
    fail "the installed copy did not speak English under en_US: $(cut_missing en_US.UTF-8)"
cut_missing C | grep -q "ファイルが見つかりません" ||
    fail "the installed copy did not keep Japanese under C: $(cut_missing C)"

# A set.ini that an earlier installed copy kept beside itself is taken over, its other sections
# kept, and left as it was; nothing new appears beside the executable.
printf '[set]\r\nImageWidth=500\r\nImageHeight=400\r\n[mine]\r\nkept=yes\r\n' >"$prefix/bin/set.ini"
cp "$prefix/bin/set.ini" "$work/earlier.ini"
before=$(ls -A "$prefix/bin")
"$here/open_picture_window.sh" "$mokaran" "$work" || exit 1
[ "$(ls -A "$prefix/bin")" = "$before" ] || fail "written beside the executable: $(ls -A "$prefix/bin")"
cmp -s "$prefix/bin/set.ini" "$work/earlier.ini" || fail "the earlier set.ini was changed"
tr -d '\r' <"$work/config/mokaran/set.ini" | grep -qx 'kept=yes' ||
    fail "the earlier set.ini's other sections were not taken over"
echo "the installed tree is complete and writes only to the user's config folder"
