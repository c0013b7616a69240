#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Every command and option that `mokaran --help` lists must be in the man page, in the bash
# completion, in the command-line synopsis of README.md and in the command-line section of both
# help pages: catches an option added to the command line and forgotten in any of them.
# usage: check_cli_docs.sh MOKARAN MAN_PAGE COMPLETION README HELP_HTML HELP_EN_HTML
set -u
[ $# -eq 6 ] || { echo "usage: $0 MOKARAN MAN_PAGE COMPLETION README HELP_HTML HELP_EN_HTML"; exit 2; }
program=$1
man_page=$2
completion=$3
readme=$4
help_ja=$5
help_en=$6

usage=$("$program" --help) || { echo "mokaran --help failed"; exit 1; }
bash -n "$completion" || { echo "$completion: not valid bash"; exit 1; }
for file in "$man_page" "$readme" "$help_ja" "$help_en"; do
    [ -r "$file" ] || { echo "$file: cannot be read"; exit 1; }
done
# The man page writes a dash as \- ; read it as the terminal shows it.
man_text=$(sed 's/\\-/-/g' "$man_page")
# The README's synopsis: the first fenced block under its "## Command line" heading.
readme_text=$(awk '/^## Command line/ { in_section = 1; next }
                   in_section && /^## / { exit }
                   in_section && /^```/ { if (in_block) exit; in_block = 1; next }
                   in_block { print }' "$readme")
# A help page's command-line section (from <h2 id="cli"> to the next <h2>), as a browser shows
# its text: without tags, the entities a synopsis needs decoded.
help_section() {
    awk '/<h2 id="cli"/ { in_section = 1; print; next }
         in_section && /<h2/ { exit }
         in_section { print }' "$1" |
        sed -e 's/<[^>]*>//g' -e 's/&lt;/</g' -e 's/&gt;/>/g' -e 's/&nbsp;/ /g' -e 's/&amp;/\&/g'
}
help_ja_text=$(help_section "$help_ja")
help_en_text=$(help_section "$help_en")

verbs=$(printf '%s\n' "$usage" | sed -n 's/^ *\(usage:\)\{0,1\} *mokaran \([a-z][a-z]*\) .*/\2/p' | sort -u)
options=$(printf '%s\n' "$usage" | grep -o -- '--[a-z][a-z-]*' | sort -u)
[ -n "$verbs" ] && [ -n "$options" ] || { echo "no commands or options found in --help"; exit 1; }

# Whole words only: --at is not found in --attach, nor cut in cutting.
has_verb() { printf '%s\n' "$2" | grep -Eq "mokaran +$1([^a-z-]|\$)"; }
has_option() { printf '%s\n' "$2" | grep -Eq -- "(^|[^a-z-])$1([^a-z-]|\$)"; }

missing=0
lacks() {
    echo "$1 lacks $2"
    missing=1
}
# Each document that shows a synopsis: its name in the messages, and its text.
check_document() {
    name=$1
    text=$2
    [ -n "$text" ] || { lacks "$name" "its text (not found)"; return; }
    for verb in $verbs; do
        has_verb "$verb" "$text" || lacks "$name" "the command $verb"
    done
    for option in $options; do
        has_option "$option" "$text" || lacks "$name" "$option"
    done
}

check_document "the man page" "$man_text"
for verb in $verbs; do
    grep -q "^ *local commands=.*\b$verb\b" "$completion" || lacks "the completion" "the command $verb"
done
for option in $options; do
    has_option "$option" "$(cat "$completion")" || lacks "the completion" "$option"
done
check_document "README.md's command-line synopsis" "$readme_text"
check_document "$(basename "$help_ja")'s command-line section" "$help_ja_text"
check_document "$(basename "$help_en")'s command-line section" "$help_en_text"

[ $missing -eq 0 ] && echo "$(echo $verbs | wc -w) commands and $(echo $options | wc -w) options in the man page, the completion, README.md and both help pages"
exit $missing
