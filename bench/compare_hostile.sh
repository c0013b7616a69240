#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Hostile and damaged inputs through the command line of two builds: for each input, the wall
# time, the peak memory (/usr/bin/time -v) and the outcome (exit status and the first line of
# standard error, or what was checked afterwards), as a Markdown table.
#
#   bench/compare_hostile.sh BEFORE_BUILD [AFTER_BUILD]
#     each a build folder holding bin/mokaran; AFTER_BUILD defaults to $BUILD_DIR or build, and
#     its fuzz/fuzz_seeds makes the inputs (the fuzz seeds' findings plus the large ones).
#   WAIT=10   seconds before a run that blocks is stopped
#   ONLY=RE   only the rows whose input matches the extended regular expression RE
#
# The disk-full row mounts a 1 MB memory file system in a private namespace (unshare), which
# needs root or user namespaces; the row says so when it cannot.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
[ $# -ge 1 ] || { sed -n '2,12p' "$0"; exit 2; }
before=$(cd "$1" && pwd)
after=$(cd "${2:-${BUILD_DIR:-$root/build}}" && pwd)
wait=${WAIT:-10}
cmake --build "$after" --target mokaran fuzz_seeds >/dev/null

work=$(mktemp -d /var/tmp/hostile.XXXXXX)
trap 'rm -rf "$work"' EXIT
"$after/fuzz/fuzz_seeds" "$work/in" "$root/data" --large
in=$work/in
cp "$root/data/jpeg.dat" "$work/jpeg.dat"

# An ordinary photo-like JPEG made by the program itself from a BMP seed, for the shrink rows.
"$after/bin/mokaran" edit "$in/bmp/depth-24.bmp" "$work/small.jpg" --resize 400 2>/dev/null

cp932=$(printf '\x8e\xca\x90\x5e')   # 写真 in CP932: not UTF-8
cp "$work/small.jpg" "$work/$cp932.jpg"
mkdir -p "$work/cp932-folder" && cp "$work/small.jpg" "$work/cp932-folder/$cp932.jpg"
mkfifo "$work/pipe.jpg" "$work/pipe.mkp" "$work/pipe.dat"
mkdir -p "$work/taken.bmp"
printf '"1","1","","jpg"\r\n"1","1","","jpg"\r\n"1","1","","JPG"\r\n' >"$work/repeated.dat"
mkdir -p "$work/photos"
for i in 1 2 3; do cp "$work/small.jpg" "$work/photos/p$i.jpg"; done

header() {
    echo "| input | command | before: time, peak memory, outcome | after: time, peak memory, outcome |"
    echo "|---|---|---|---|"
}

# run BUILD SETUP CHECK -- ARGS...: runs mokaran ARGS in $work after SETUP (a shell snippet run
# first, in a fresh copy of the scratch files), prints "T s, M MB, outcome".
run() {
    local build=$1 setup=$2 check=$3
    shift 4
    (cd "$work" && eval "$setup")
    local log=$work/time.log err=$work/stderr.log status=0
    (cd "$work" && timeout -s KILL "${ROW_WAIT:-$wait}" /usr/bin/time -v -o "$log" \
        "$build/bin/mokaran" "$@" >/dev/null 2>"$err") || status=$?
    local outcome
    if [ "$status" -eq 137 ]; then
        printf 'stopped after %s s, still running' "${ROW_WAIT:-$wait}"
        return
    fi
    outcome="exit $status"
    local first
    first=$(grep -v '^shrink: [0-9]' "$err" | head -1 | sed "s|$work/||g; s|mokaran: ||")
    [ -n "$first" ] && outcome+=": $first"
    [ -n "$check" ] && outcome+="; $(cd "$work" && eval "$check")"
    local seconds kb
    seconds=$(sed -n 's/.*Elapsed (wall clock) time.*: //p' "$log")
    kb=$(sed -n 's/.*Maximum resident set size (kbytes): //p' "$log")
    printf '%s, %d MB, %s' "$seconds" $((kb / 1024)) "$outcome"
}

# row INPUT SETUP CHECK -- ARGS...
row() {
    local name=$1 setup=$2 check=$3
    shift 4
    [[ -z "${ONLY:-}" || "$name" =~ $ONLY ]] || return 0
    printf '| %s | `mokaran %s` | %s | %s |\n' "$name" "$(echo "$*" | sed "s|$work/||g")" \
        "$(run "$before" "$setup" "$check" -- "$@")" "$(run "$after" "$setup" "$check" -- "$@")"
}

# Checks run after a row, in $work, with $build and $err (the run's standard error) at hand.
# Uninitialised pixels reach the written file: valgrind sees them (the same run again under it).
uninitialised='echo "valgrind: $(valgrind "$build/bin/mokaran" "$@" 2>&1 >/dev/null |
    grep -c "uninitialised") reports of uninitialised bytes"'
countFiles='echo "$(ls out | wc -l) files"'
summary='tail -1 "$err"'
fresh='rm -rf out && mkdir out'

header
row "RLE8, end of bitmap after the first row (124 B)" "" "$uninitialised" -- \
    cut "$in/bmp/finding-rle8-end-of-bitmap-early.bmp" out.bmp --size 4x3
row "RLE8, a jump over pixels (128 B)" "" "$uninitialised" -- \
    cut "$in/bmp/finding-rle8-jump-skips.bmp" out.bmp --size 4x2
row "RLE8 cut short (123 B)" "" "" -- cut "$in/bmp/finding-rle8-cut-short.bmp" out.bmp --size 4x2
row "RLE8 declaring 16384 x 16384 (126 B)" "" "" -- \
    cut "$in/bmp/finding-rle8-16384-square-in-a-few-bytes.bmp" out.bmp --size 8x8
row "BMP sides 2^31-1 x -2^31 (70 B)" "" "" -- \
    cut "$in/bmp/finding-sides-near-2-31.bmp" out.bmp --size 8x8
row "BMP 16385 x 16385, 1 bit (33 MB)" "" "" -- \
    cut "$in/large/bmp-16385-square-1-bit.bmp" out.bmp --size 8x8
ROW_WAIT=600 row "progressive JPEG 18918 x 18918, 499 scans" "" "" -- \
    cut "$in/large/progressive-499-scans-18918-square.jpg" out.bmp --size 8x8
row "flat arithmetic JPEG of 18918 x 18918 ($(stat -c %s "$in/large/arithmetic-flat-18918-square.jpg") B)" "" "" -- \
    cut "$in/large/arithmetic-flat-18918-square.jpg" out.bmp --size 8x8
row "arithmetic JPEG header declaring 18918 x 18918 (123 B)" "" "" -- \
    cut "$in/jpeg/finding-arithmetic-declares-18918-square.jpg" out.bmp --size 8x8
for coding in baseline progressive arithmetic arithmetic-progressive; do
    row "$coding JPEG cut short" "" "" -- \
        cut "$in/jpeg/finding-$coding-cut-short.jpg" out.bmp --size 8x8
done
row "Huffman JPEG declaring 18918 x 18918 (159 B), shrink, 2 workers" \
    "$fresh; rm -rf huge && mkdir huge && cp $in/jpeg/finding-huffman-declares-18918-square.jpg huge/a.jpg && cp huge/a.jpg huge/b.jpg" \
    "" -- shrink huge out --width 100
row "CP932 file name" "" "" -- cut "$cp932.jpg" out.bmp --size 8x8
row "CP932 file name in a shrunk folder" "$fresh" "$countFiles" -- shrink cp932-folder out --width 100
row "FIFO as picture" "" "" -- cut pipe.jpg out.bmp --size 8x8
row "FIFO as page project" "" "" -- page pipe.mkp out.html
row "FIFO as jpeg.dat" "$fresh" "" -- shrink photos out --width 100 --extensions pipe.dat
row "a folder where the output belongs" "" "" -- cut small.jpg taken.bmp --size 8x8
row "output into a missing folder" "" "" -- cut small.jpg no/such/out.bmp --size 8x8
row "jpeg.dat with a repeated row" "$fresh" "$summary" -- \
    shrink photos out --width 100 --extensions repeated.dat
row "shrink into its own folder" "cp small.jpg photos/p1.jpg" \
    'echo "p1.jpg $(cmp -s small.jpg photos/p1.jpg && echo kept || echo replaced)"' -- \
    shrink photos photos/../photos --width 100
row "replacing a 0600 file" "echo old >private.bmp && chmod 600 private.bmp" \
    'stat -c "mode %a" private.bmp' -- cut small.jpg private.bmp --size 8x8
row "replacing a read-only file" "echo old >locked.bmp && chmod 444 locked.bmp" \
    'echo "content $(head -c3 locked.bmp | tr -dc a-z)"' -- cut small.jpg locked.bmp --size 8x8
row "writing through a symbolic link" "echo old >real.bmp && ln -sfn real.bmp link.bmp" \
    'echo "$(stat -c %F link.bmp), real.bmp $(head -c2 real.bmp)"' -- cut small.jpg link.bmp --size 8x8

# The picture kinds beyond BMP and JPEG, and the new writers.
bmpWide() { # a 24-bit BMP of $1 x 1 pixels
    python3 -c "import struct,sys; w=int(sys.argv[1]); s=(w*3+3)//4*4; sys.stdout.buffer.write(b'BM'+struct.pack('<IHHIIiiHHIIiiII',54+s,0,0,54,40,w,1,1,24,0,s,2835,2835,0,0)+bytes((i*7)%256 for i in range(s)))" "$1"
}
bmpWide 10000 >"$work/wide-10000.bmp"
bmpWide 40000 >"$work/wide-40000.bmp"
: >"$work/empty.png"
ln -sfn loop-b.bmp "$work/loop-a.bmp" && ln -sfn loop-a.bmp "$work/loop-b.bmp"
long=$(printf 'x%.0s' $(seq 300))
bmpSize='[ -f out.bmp ] && echo "$(od -An -tu4 -j18 -N4 out.bmp | tr -d " ") x $(od -An -tu4 -j22 -N4 out.bmp | tr -d " ") written" || echo "nothing written"'
ROW_WAIT=60 row "PNG of 100 zTXt chunks, 1 x 1 ($(stat -c %s "$in/large/png-100-text-chunks.png") B)" "" "" -- \
    cut "$in/large/png-100-text-chunks.png" out.bmp --size 1x1
ROW_WAIT=60 row "16-bit PNG of 16384 x 16384 ($(stat -c %s "$in/large/png-16-bit-16384-square.png") B)" "" "" -- \
    cut "$in/large/png-16-bit-16384-square.png" out.bmp --size 8x8
row "TIFF 16000 x 16000, 16,000 strips share one row ($(stat -c %s "$in/pictures/finding-strips-share-one-row.tif") B)" "" "" -- \
    cut "$in/pictures/finding-strips-share-one-row.tif" out.bmp --size 8x8
row "lossless WebP declaring 16383 x 16383 ($(stat -c %s "$in/pictures/finding-16383-square-in-34-bytes.webp") B)" "" "" -- \
    cut "$in/pictures/finding-16383-square-in-34-bytes.webp" out.bmp --size 8x8
row "GIF, 1 x 1 frame on a 16383 x 16383 screen ($(stat -c %s "$in/pictures/finding-screen-16383-square.gif") B)" "" "" -- \
    cut "$in/pictures/finding-screen-16383-square.gif" out.bmp --size 1x1
row "GIF on a 65535 x 65535 screen" "" "" -- \
    cut "$in/pictures/finding-screen-65535-square.gif" out.bmp --size 1x1
row "PNG, 1 bit, 20000 x 20000 ($(stat -c %s "$in/pictures/finding-20000-square-flat.png") B)" "" "" -- \
    cut "$in/pictures/finding-20000-square-flat.png" out.bmp --size 8x8
row "two-frame WebP 6000 x 6000, the first picture read" "rm -f out.bmp" "$bmpSize" -- \
    cut "$in/large/webp-two-frames-6000-square.webp" out.bmp --size 8x8
row "TIFF, RGB tiles of 16 over 40 x 30" "rm -f out.bmp" "$bmpSize" -- \
    cut "$in/pictures/tiles-rgb-40x30.tif" out.bmp --size 99x99
row "TIFF, 10 x 10 in one tile of 16" "rm -f out.bmp" "$bmpSize" -- \
    cut "$in/pictures/tile-larger-than-the-picture.tif" out.bmp --size 99x99
row "TIFF 5 x 3, orientation 6" "rm -f out.bmp" "$bmpSize" -- \
    cut "$in/pictures/orientation-6.tif" out.bmp --size 99x99
row "an empty file" "" "" -- cut empty.png out.bmp --size 8x8
row "an empty output name" "" "" -- cut small.jpg "" --size 8x8
row "a loop of symbolic links as output" "" "" -- cut small.jpg loop-a.bmp --size 8x8
row "an output name of 300 bytes" "" "" -- cut small.jpg "$long.bmp" --size 8x8
ROW_WAIT=120 row "WebP animation of 10,000 frames" "" "" -- \
    sequence wide-10000.bmp --size 1x1 --step 1 --animate anim.webp --delay 10
ROW_WAIT=300 row "WebP animation of 40,000 frames" "" "" -- \
    sequence wide-40000.bmp --size 1x1 --step 1 --animate anim.webp --delay 10

# The sheet and its JSON as a pair, names that destroy what they name, runs without a ceiling,
# and the temporary files of killed runs.
square=$work/square-1000.bmp
python3 -c "import struct,sys,random; w=h=1000; s=w*3; random.seed(1); sys.stdout.buffer.write(b'BM'+struct.pack('<IHHIIiiHHIIiiII',54+s*h,0,0,54,40,w,h,1,24,0,s*h,2835,2835,0,0)+random.randbytes(s*h))" >"$square"
"$after/bin/mokaran" cut "$in/bmp/depth-24.bmp" "$work/source.png" --size 64x64 --format png 2>/dev/null
oldPair='rm -rf pair.png pair.json && echo old >pair.png && echo old >pair.json'
pairLeft='echo "pair.png $(head -c3 pair.png | tr -dc a-z | grep -q old && echo old || echo new), pair.json $([ -d pair.json ] && echo a folder || (grep -q old pair.json && echo old || echo new))"'
sourceLeft='cmp -s source.png keep.png && echo "source.png kept" || echo "source.png replaced"'
keepSource='cp source.png keep.png && rm -f link.png && ln -s source.png link.png'
row "a sheet whose JSON's name is a folder" "$oldPair && rm pair.json && mkdir -p pair.json/in" "$pairLeft" -- \
    sequence source.png --size 8x8 --sheet pair.png --columns 4
row "a sheet whose JSON is read-only" "$oldPair && chmod 444 pair.json" "$pairLeft" -- \
    sequence source.png --size 8x8 --sheet pair.png --columns 4
row "the picture read as the cut's output" "$keepSource" "$sourceLeft" -- \
    cut source.png source.png --size 8x8 --format png
row "an edit written through a link to the picture read" "$keepSource" "$sourceLeft" -- \
    edit source.png link.png --blur
row "a sheet onto its source" "$keepSource" "$sourceLeft" -- \
    sequence source.png --size 8x8 --sheet source.png --columns 4
row "a sheet named .json" "rm -f s.json" 'echo "s.json $([ -f s.json ] && echo written || echo absent)"' -- \
    sequence source.png --size 8x8 --sheet s.json --columns 4
row "a sheet named .gif" "rm -f x.gif" 'echo "x.gif $([ -f x.gif ] && echo written || echo absent)"' -- \
    sequence source.png --size 8x8 --sheet x.gif --columns 4
row "an empty BASE" "rm -f 0*.bmp" 'echo "$(ls 0*.bmp 2>/dev/null | wc -l) numbered files in the current folder"' -- \
    sequence source.png "" --size 8x8 --step 8
ROW_WAIT=120 row "a sheet of 1,000,000 tiles of 1 x 1 (1000 x 1000 BMP)" "rm -f tiles.png tiles.json" "" -- \
    sequence square-1000.bmp --size 1x1 --direction grid --sheet tiles.png --columns 1000
ROW_WAIT=120 row "a sheet of 15,625 tiles of 8 x 8, 1024 pixels apart" "rm -f tiles.png tiles.json" "" -- \
    sequence square-1000.bmp --size 8x8 --direction grid --sheet tiles.png --columns 125 --padding 1024
row "a temporary file of a killed edit" "echo partial >.mokaran-999999999-k3x9.tmp" \
    'echo "$([ -f .mokaran-999999999-k3x9.tmp ] && echo left || echo removed)"' -- \
    edit source.png edited.png --blur

# The disk-full row: 40 JPEGs into a 1 MB memory file system.
mkdir -p "$work/many"
"$after/bin/mokaran" edit "$in/bmp/depth-24.bmp" "$work/many/p01.jpg" --resize 1200 2>/dev/null
for i in $(seq -w 2 40); do cp "$work/many/p01.jpg" "$work/many/p$i.jpg"; done
diskFull() {
    local build=$1
    unshare -m --propagation private sh -c "mkdir -p '$work/full' && mount -t tmpfs -o size=1m tmpfs '$work/full' && \
        /usr/bin/time -v -o '$work/time.log' '$build/bin/mokaran' shrink '$work/many' '$work/full' --width 1200 \
        2>'$work/stderr.log' >/dev/null; echo \$? >'$work/status'" 2>/dev/null ||
        { printf 'no private mount here'; return; }
    printf '%s, %d MB, exit %s: %s; %s' "$(sed -n 's/.*Elapsed (wall clock) time.*: //p' "$work/time.log")" \
        $(($(sed -n 's/.*Maximum resident set size (kbytes): //p' "$work/time.log") / 1024)) \
        "$(cat "$work/status")" "$(grep -c 'に書き込めません (ディスクがいっぱいです)' "$work/stderr.log") files failed for a full disk; $(grep -o '残りの.*変換していません' "$work/stderr.log")" "$(tail -1 "$work/stderr.log")"
}
[[ -z "${ONLY:-}" || "40 JPEGs shrunk onto a full 1 MB disk" =~ $ONLY ]] || exit 0
printf '| 40 JPEGs shrunk onto a full 1 MB disk | `mokaran shrink many full --width 1200` | %s | %s |\n' \
    "$(diskFull "$before")" "$(diskFull "$after")"
