#!/usr/bin/env bash
# The real program on a virtual X server, where a player met faults before:
# 1. The left button held down on the orb menu buys one bot and closes the menu; presses of the
#    right and middle buttons while it is still held buy no more. Bots cost 10 here, so the 50
#    scrap of a new game would pay for five: the sign counter must read 0/8 (one bot bought),
#    not 0/12 or more, and the scrap counter 40.
# 2. An indented "  DEBUG = 1" after another key of settings.ini is that key: the window's
#    background is maroon and the key legend shows.
#
# Each run copies the program into a folder of its own whose Assets folder links the build's
# files, with a settings.ini of the run's own.
#
#   real_mends_test.sh <quorvatide> [folder to keep the screenshots in]
set -u
game=$1
keep=${2:-}
source "$(dirname "$0")/real_program.sh"
keep_shots "$keep" '*.png'
need_tools xdotool import convert compare
built_assets=$(dirname "$(readlink -f "$game")")/Assets
[ -f "$built_assets/settings.ini" ] || fail "no Assets folder beside $game"

# same <shot> <geometry> <picture>: true when that part of the shot is the picture exactly
same() { [ "$(compare -metric AE "$work/$1.png[$2]" "$3" null: 2>&1)" = 0 ]; }
pixel() { convert "$work/$1.png" -format "%[pixel:p{$2,$3}]" info:; }
# pixels <shot> <geometry> <colour>: how many pixels of that part of the shot have the colour
pixels() {
    convert "$work/$1.png" -crop "$2" +repage -alpha off -fill black +opaque "$3" -fill white \
        -opaque "$3" -colorspace gray -format '%[fx:round(mean * w * h)]' info:
}
# counter_shows <shot> <x> <y> <text>: the counter at (x, y) shows the text in the digit
# pictures, "/" being fof.bmp. The scrap counter is at (760, 80), the sign counter at (760, 136).
counter_shows() {
    local name=$1 x=$2 y=$3 text=$4 files=() i c
    for ((i = 0; i < ${#text}; i++)); do
        c=${text:i:1}
        [ "$c" = / ] && c=of
        files+=("$built_assets/f$c.bmp")
    done
    convert "${files[@]}" +append "$work/digits.png"
    same "$name" "$(identify -format '%wx%h' "$work/digits.png")+$x+$y" "$work/digits.png"
}
# shown_signs <shot>: what the sign counter shows, of 0/4 .. 0/99
shown_signs() {
    local n
    for n in 4 8 12 16 20 24 28 32 36 40 44 48 52 56 60 64 68 72 76 80 84 88 92 96; do
        counter_shows "$1" 760 136 "0/$n" && { echo "0/$n"; return; }
    done
    echo "neither 0/4 nor any other multiple of 4"
}
open_game() {
    start_game "$1/quorvatide"
    find_window
    sleep 0.5
}
park() { xdotool mousemove --window "$win" 800 650; } # off the playfield

start_xvfb

# ---------------------------------------------------------------- 1. the held left button
dir=$(exe_dir held BOTCOST=10 INITDELAY=1000000 VONKELEMERGESWAP=0)
open_game "$dir"
click $(centre 10 10) # the splash screen: play starts
park
sleep 0.5
shot 1-play
counter_shows 1-play 760 136 0/4 || fail "the sign counter does not show 0/4 at the start"
counter_shows 1-play 760 80 50 || fail "the scrap counter does not show 50 at the start"

# The orb menu opens at (315, 0) under the pointer on the orb's tile.
read -r ox oy < <(centre 9 0)
click "$ox" "$oy"
sleep 0.3
shot 1-orb-menu
convert "$built_assets/orbmenuframe.bmp" -crop 82x16+0+0 +repage "$work/orb-top.png"
same 1-orb-menu 82x16+315+0 "$work/orb-top.png" || fail "the orb menu did not open at 315,0"

# Down goes the left button, and stays down while the others are pressed twice each.
xdotool mousemove --window "$win" "$ox" "$oy" sleep 0.2 mousedown 1 sleep 0.2 \
    click 3 sleep 0.2 click 2 sleep 0.2 click 3 sleep 0.2 click 2 sleep 0.2 mouseup 1
park
sleep 0.5
shot 1-after
signs=$(shown_signs 1-after)
[ "$signs" = 0/8 ] || fail "the sign counter shows $signs after the held left button, not 0/8"
counter_shows 1-after 760 80 40 || fail "the scrap counter does not show 40: more than one bot was paid for"
echo "the held left button on the orb menu bought one bot: 0/8, 40 scrap"
kill -0 "$game_pid" 2>/dev/null || fail "the program ended"
stop_game

# ---------------------------------------------------------------- 2. an indented key
dir=$(exe_dir indented INITDELAY=1000000 "  DEBUG = 1")
open_game "$dir"
shot 2-indented
for p in "4 4" "709 4" "900 714"; do
    seen=$(pixel 2-indented $p)
    [ "$seen" = "srgb(128,0,0)" ] ||
        fail "expected the maroon background (128,0,0) at ($p) with an indented DEBUG = 1, saw $seen"
done
[ "$(pixels 2-indented 185x67+712+436 '#800000')" -ge 7400 ] &&
    [ "$(pixels 2-indented 185x67+712+436 white)" -ge 200 ] ||
    fail "expected the maroon debug legend with white text at (712,436)"
echo "an indented DEBUG = 1 after another key: the maroon debug window"
stop_game
