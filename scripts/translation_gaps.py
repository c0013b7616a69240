#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# What a translation lacks, for scripts/update-translations.sh --check: prints one line per gap
# and exits 1 when there is any.
# usage: translation_gaps.py TS_FILE SOURCE_FOLDER
#   TS_FILE: a .ts file lupdate has just brought up to date with SOURCE_FOLDER (a copy: lupdate
#            marks new and changed texts unfinished, and texts gone from the sources vanished).
# Gaps: a message whose translation is unfinished or vanished, and a Japanese string in the
# sources that is no message's text, i.e. a text shown without tr() (or
# QCoreApplication::translate, or QT_TRANSLATE_NOOP), which lupdate cannot see.
import pathlib
import re
import sys
import xml.etree.ElementTree as tree

# Japanese strings in the sources that are not texts of the program, with the reason.
NOT_TEXTS = {
    'ＭＳ Ｐゴシック': 'a font family name',
    '任意切り取りサイズ': 'the free size as data.dat names it: a name in a file, not a text',
}

# A C++ comment, string literal or character literal; group 1 is a string literal's inside.
TOKEN = re.compile(r'//[^\n]*|/\*.*?\*/|"((?:[^"\\\n]|\\.)*)"|\'(?:[^\'\\\n]|\\.)*\'', re.S)
ESCAPES = {'n': '\n', 't': '\t', '"': '"', "'": "'", '\\': '\\'}


def shown(text):
    return text.replace('\n', '\\n')


def main(ts_file, source_folder):
    gaps = []
    sources = []
    for context in tree.parse(ts_file).getroot().iter('context'):
        for message in context.iter('message'):
            text = message.findtext('source')
            sources.append(text)
            kind = message.find('translation').get('type')
            if kind in ('unfinished', 'vanished', 'obsolete'):
                gaps.append(f'{kind}: {context.findtext("name")}: {shown(text)}')
    for path in sorted(pathlib.Path(source_folder).rglob('*')):
        if path.suffix not in ('.cpp', '.h'):
            continue
        for match in TOKEN.finditer(path.read_text(encoding='utf-8')):
            literal = match.group(1)
            if literal is None or literal.isascii():
                continue
            text = re.sub(r'\\(.)', lambda m: ESCAPES.get(m.group(1), m.group(0)), literal)
            if text not in NOT_TEXTS and not any(text in source for source in sources):
                gaps.append(f'not passed through tr(): {path}: {shown(text)}')
    for gap in gaps:
        print('  ' + gap)
    return 1 if gaps else 0


if __name__ == '__main__':
    sys.exit(main(sys.argv[1], sys.argv[2]))
