#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Every command and option that `mokaran --help` lists must be in the man page and in the bash
# completion: catches an option added to the command line and forgotten in either.
# usage: check_cli_docs.sh MOKARAN MAN_PAGE COMPLETION
set -u
program=$1
man_page=$2
completion=$3

usage=$("$program" --help) || { echo "mokaran --help failed"; exit 1; }
bash -n "$completion" || { echo "$completion: not valid bash"; exit 1; }
# The man page writes a dash as \- ; read it as the terminal shows it.
man_text=$(sed 's/\\-/-/g' "$man_page")

verbs=$(printf '%s\n' "$usage" | sed -n 's/^ *\(usage:\)\{0,1\} *mokaran \([a-z][a-z]*\) .*/\2/p' | sort -u)
options=$(printf '%s\n' "$usage" | grep -o -- '--[a-z][a-z-]*' | sort -u)
[ -n "$verbs" ] && [ -n "$options" ] || { echo "no commands or options found in --help"; exit 1; }

missing=0
for verb in $verbs; do
    printf '%s\n' "$man_text" | grep -q "mokaran $verb\b" ||
        { echo "man page lacks the command $verb"; missing=1; }
    grep -q "^ *local commands=.*\b$verb\b" "$completion" ||
        { echo "completion lacks the command $verb"; missing=1; }
done
for option in $options; do
    printf '%s\n' "$man_text" | grep -q -- "$option\b" ||
        { echo "man page lacks $option"; missing=1; }
    grep -q -- "$option\b" "$completion" || { echo "completion lacks $option"; missing=1; }
done
[ $missing -eq 0 ] && echo "$(echo $verbs | wc -w) commands and $(echo $options | wc -w) options in the man page and the completion"
exit $missing
