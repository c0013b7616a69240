#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Brings the translations in translations/ up to date with the texts in src/ (lupdate over the
# .cpp, .h and .ui files), so that a new or changed text shows up in the .ts file, unfinished,
# for its translation to be written. Run it after changing a text the user sees, then translate
# what it reports (Qt Linguist, or by hand in the .ts file).
# usage: scripts/update-translations.sh           update every .ts file, dropping gone texts
#        scripts/update-translations.sh --check   change nothing; exit 1 when a text in src/ has
#                                                 no finished translation, a .ts file holds a
#                                                 text src/ no longer has, or a Japanese string
#                                                 in src/ is shown without tr() (a ctest runs
#                                                 this; scripts/translation_gaps.py lists them)
# LUPDATE names the lupdate to run (default: Qt 6's, from qt6-l10n-tools).
set -euo pipefail
cd "$(dirname "$0")/.."
lupdate=${LUPDATE:-/usr/lib/qt6/bin/lupdate}
[ -x "$lupdate" ] || { echo "update-translations: $lupdate not found (make deps installs it)" >&2; exit 2; }

# No source locations: a text moving in its file must not change the .ts file, which several
# branches touch at once.
options=(-locations none -source-language ja_JP -silent)
check=false
[ "${1:-}" = --check ] && check=true

status=0
for ts in translations/mokaran_*.ts; do
    language=$(basename "$ts" .ts)
    language=${language#mokaran_}
    if ! $check; then
        "$lupdate" "${options[@]}" -no-obsolete -target-language "$language" src -ts "$ts"
        echo "update-translations: $ts"
        continue
    fi
    work=$(mktemp -d)
    cp "$ts" "$work/"
    copy=$work/$(basename "$ts")
    "$lupdate" "${options[@]}" -target-language "$language" src -ts "$copy"
    report=$(python3 scripts/translation_gaps.py "$copy" src) || true
    rm -rf "$work"
    if [ -n "$report" ]; then
        echo "$ts does not match the texts in src/:"
        echo "$report"
        status=1
    else
        echo "$ts: every text in src/ has its translation"
    fi
done
if $check && [ $status -ne 0 ]; then
    echo "run scripts/update-translations.sh, then translate the unfinished texts"
fi
exit $status
