#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The animations compare_formats.sh writes as GIF, drawn with ImageMagick and cut by mokaran:
#
#   bench/make_gif_corpus.sh DIR MOKARAN
#
# DIR/NAME.args holds, one word a line, the mokaran command that cuts animation NAME without its
# output (add `--animate OUT.gif`, or a BASE and `--format png` for its frames); DIR/NAME.kind
# says photo (more than 256 colours) or shared (few colours, pixels shared between frames).
#   photo:  blend    21-frame blend of two 640 x 480 plasma pictures, cut 320 x 240
#           fade     21-frame fade to black of one of them
#           pan      33-frame step-15 pan over an 800 x 240 plasma picture, cut 320 x 240
#           still    16 frames of a flat ball rolling over one still plasma picture
#   shared: flatpan  41-frame step-15 pan over a flat-coloured 800 x 200 picture, cut 200 x 200
#           sprites  12 poses of a 96 x 96 sprite on a transparent background
#           tiles    the 64 tiles of an 8 x 8 sheet of 64 x 64 icons on one background
#           screen   30 frames of 480 x 320 of a window being typed into, a pointer moving
#           flatmix  21-frame blend of two flat-coloured pictures (exact per frame only)
set -euo pipefail

[ $# -eq 2 ] || { sed -n '3,19p' "$0"; exit 2; }
dir=$1
mokaran=$2
mkdir -p "$dir"
cd "$dir"

# put NAME KIND WORDS...: the command of animation NAME.
put() {
    local name=$1 kind=$2
    shift 2
    printf '%s\n' "$@" >"$name.args"
    echo "$kind" >"$name.kind"
}

# Photographic pictures: ImageMagick's plasma, cloudy colour at every scale.
convert -size 640x480 -seed 11 plasma:fractal plasma_a.png
convert -size 640x480 -seed 12 plasma:fractal plasma_b.png
convert -size 800x240 -seed 13 plasma:fractal plasma_wide.png
put blend photo blend "$dir/plasma_a.png" "$dir/plasma_b.png" --size 320x240
put fade photo fade "$dir/plasma_a.png" --size 320x240 --color black
put pan photo sequence "$dir/plasma_wide.png" --size 320x240 --step 15

# A ball rolling over a still photo: 16 cells side by side, cut one cell a step.
draw=()
for ((i = 0; i < 16; i++)); do
    x=$((i * 320 + 30 + i * 16))
    y=$((150 - (i % 8) * (8 - i % 8) * 2))
    draw+=(-fill '#e63946' -draw "circle $x,$y $((x + 18)),$y")
    draw+=(-fill '#f1faee' -draw "rectangle $((x - 4)),$((y - 12)) $((x + 4)),$((y - 6))")
done
convert plasma_a.png -crop 320x240+0+0 +repage -write mpr:bg +delete \
    -size 5120x240 tile:mpr:bg +antialias "${draw[@]}" still.png
put still photo sequence "$dir/still.png" --size 320x240 --step cut

# A flat-coloured picture to pan over, and a second one to blend it with.
convert -size 800x200 xc:'#2a6f97' +antialias \
    -fill '#f4d35e' -draw 'circle 100,100 160,100' \
    -fill '#ee964b' -draw 'rectangle 250,40 400,160' \
    -fill '#f95738' -draw 'polygon 450,180 520,20 600,180' \
    -fill '#ffffff' -draw 'rectangle 620,60 780,140' \
    -fill '#0d3b66' -draw 'rectangle 640,80 760,90' -draw 'rectangle 640,110 730,120' \
    -fill '#faf0ca' -draw 'rectangle 0,185 800,200' \
    -fill '#3d5a80' -draw 'circle 330,100 350,100' -draw 'circle 200,30 215,30' flat.png
convert -size 800x200 xc:'#fefae0' +antialias \
    -fill '#606c38' -draw 'rectangle 20,20 180,180' \
    -fill '#283618' -draw 'circle 100,100 140,100' \
    -fill '#dda15e' -draw 'polygon 60,190 120,120 190,190' flat_b.png
put flatpan shared sequence "$dir/flat.png" --size 200x200 --step 15
put flatmix shared blend "$dir/flat.png" "$dir/flat_b.png" --size 200x200

# Sprite poses on a transparent background: a head bobbing, arms and legs swinging.
draw=()
for ((i = 0; i < 12; i++)); do
    ox=$((i * 96))
    bob=$(awk -v i="$i" 'BEGIN { printf "%d", 4 * sin(i * 3.14159 / 6) }')
    swing=$(awk -v i="$i" 'BEGIN { printf "%d", 14 * sin(i * 3.14159 / 6) }')
    draw+=(-fill '#f2c14e' -draw "circle $((ox + 48)),$((22 + bob)) $((ox + 60)),$((22 + bob))")
    draw+=(-fill '#3a86ff' -draw "rectangle $((ox + 38)),$((36 + bob)) $((ox + 58)),$((64 + bob))")
    draw+=(-stroke '#8338ec' -strokewidth 5)
    draw+=(-draw "line $((ox + 38)),$((40 + bob)) $((ox + 26 - swing)),$((60 + bob))")
    draw+=(-draw "line $((ox + 58)),$((40 + bob)) $((ox + 70 + swing)),$((60 + bob))")
    draw+=(-draw "line $((ox + 42)),$((64 + bob)) $((ox + 40 + swing)),90")
    draw+=(-draw "line $((ox + 54)),$((64 + bob)) $((ox + 56 - swing)),90" +stroke)
done
convert -size 1152x96 xc:none +antialias "${draw[@]}" sprites.png
put sprites shared sequence "$dir/sprites.png" --size 96x96 --step cut

# An 8 x 8 sheet of icons sharing their background and border.
colours=('#e63946' '#f1faee' '#a8dadc' '#457b9d' '#ffb703' '#fb8500' '#8ecae6' '#219ebc')
draw=()
for ((r = 0; r < 8; r++)); do
    for ((c = 0; c < 8; c++)); do
        x=$((c * 64)) y=$((r * 64)) radius=$((8 + (r * 3 + c) % 16))
        draw+=(-fill '#1d3557' -stroke '#a8dadc' -draw "rectangle $((x + 2)),$((y + 2)) $((x + 61)),$((y + 61))" +stroke)
        draw+=(-fill "${colours[$(((r + c) % 8))]}" -draw "circle $((x + 32)),$((y + 32)) $((x + 32 + radius)),$((y + 32))")
        draw+=(-fill "${colours[$(((r * c) % 8))]}" -draw "rectangle $((x + 8 + c)),$((y + 8)) $((x + 20 + c)),$((y + 14 + r))")
    done
done
convert -size 512x512 xc:'#0b132b' +antialias "${draw[@]}" tiles.png
put tiles shared sequence "$dir/tiles.png" --size 64x64 --direction grid

# A screen recording: a window whose lines are typed one after another, a pointer moving.
lengths=(300 220 340 180 260 310 120 280 200 330 150 240)
draw=()
for ((f = 0; f < 30; f++)); do
    ox=$((f * 480))
    draw+=(-fill '#ececec' -draw "rectangle $((ox + 40)),30 $((ox + 440)),290")
    draw+=(-fill '#2b5797' -draw "rectangle $((ox + 40)),30 $((ox + 440)),52")
    draw+=(-fill '#ffffff' -draw "rectangle $((ox + 48)),36 $((ox + 160)),46")
    typed=$((f * 40)) # pixels of text typed so far, line after line
    for ((l = 0; l < ${#lengths[@]} && typed > 0; l++)); do
        shown=$((typed < lengths[l] ? typed : lengths[l]))
        typed=$((typed - lengths[l]))
        draw+=(-fill '#333333' -draw "rectangle $((ox + 56)),$((66 + l * 18)) $((ox + 56 + shown)),$((74 + l * 18))")
    done
    px=$((ox + 100 + f * 9)) py=$((240 - f * 5))
    draw+=(-fill black -stroke white -draw "polygon $px,$py $px,$((py + 16)) $((px + 4)),$((py + 12)) $((px + 11)),$((py + 12))" +stroke)
done
convert -size 14400x320 xc:'#3a6ea5' +antialias "${draw[@]}" screen.png
put screen shared sequence "$dir/screen.png" --size 480x320 --step cut

# Every animation's source frames, as PNG, for the peers and for the PSNR.
for args in *.args; do
    name=${args%.args}
    mkdir -p "frames_$name"
    mapfile -t words <"$args"
    "$mokaran" "${words[@]}" "$dir/frames_$name/f" --format png
done
