#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks one of the files the desktop reads with the tool the desktop's own packages check it with.
# usage: check_desktop_files.sh desktop|metainfo|man FILE
# Exits 77 (skipped) when the tool is not installed; fails on any error or warning.
set -u
kind=$1
file=$2

need() {
    command -v "$1" >/dev/null 2>&1 || { echo "skipped: $1 is not installed"; exit 77; }
}

case $kind in
desktop)
    need desktop-file-validate
    # It prints nothing for a clean file; every line it prints is an error, a warning or a hint.
    out=$(desktop-file-validate "$file" 2>&1)
    ;;
metainfo)
    need appstreamcli
    # Exits non-zero on errors and warnings; --pedantic lists the smaller hints too.
    out=$(appstreamcli validate --no-net --pedantic --no-color "$file" 2>&1) ||
        { echo "$out"; exit 1; }
    case $out in
    *"Validation was successful"*) out= ;;
    esac
    ;;
man)
    need man
    # Rendered as man shows it; groff's warnings (unknown macros, bad escapes, lines it cannot
    # break) go to standard error.
    out=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$file" 2>&1 >/dev/null)
    ;;
*)
    echo "usage: $0 desktop|metainfo|man FILE" >&2
    exit 2
    ;;
esac

if [ -n "$out" ]; then
    echo "$out"
    exit 1
fi
echo "$kind: $file is clean"
