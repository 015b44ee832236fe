#!/usr/bin/env bash
# The real program on a virtual X server, played for a few seconds: a click on the splash
# screen starts play, the cursor follows the mouse, creatures of all three kinds come out above
# their tunnels, and the orb pulses. Compares tiles of screenshots taken with ImageMagick.
#
#   real_play_test.sh <quorvatide> [seconds of play to wait for the creatures, default 9]
set -u
game=$1
play=${2:-9}
source "$(dirname "$0")/real_program.sh"
need_tools xdotool import convert

start_xvfb
start_game "$game"
find_window
sleep 0.5

# tile <shot> <column> <row>: a hash of the pixels of one playfield tile
tile() {
    convert "$work/$1.png" -crop "35x35+$((9 + 35 * $2))+$((9 + 35 * $3))" +repage \
        -format '%#' info:
}

shot splash
xdotool mousemove --window "$win" $(centre 10 10) click 1
SECONDS=0
sleep 0.4
shot start
[ "$(tile splash 4 4)" != "$(tile start 4 4)" ] || fail "the splash screen is still shown"

# The cursor goes where the mouse goes. (The click fell on the splash screen, so the cursor is
# still on its first tile, (0, 0).)
xdotool mousemove --window "$win" $(centre 3 5)
sleep 0.4
shot moved
[ "$(tile start 3 5)" != "$(tile moved 3 5)" ] || fail "no cursor on the tile under the mouse"
[ "$(tile start 0 0)" != "$(tile moved 0 0)" ] || fail "the cursor stayed on its old tile"
echo "the cursor followed the mouse"

# The orb steps through its pictures every 100 ms.
declare -A orb=()
for n in 1 2 3 4 5 6; do
    shot "orb$n"
    orb[$(tile "orb$n" 9 0)]=1
done
[ ${#orb[@]} -ge 2 ] || fail "the orb does not change"
echo "the orb showed ${#orb[@]} different pictures in 6 screenshots"

# E every 2.55 s, F every 4.05 s, S every 5.05 s with the default settings; each creature stands
# a second on the tile above its tunnel before it marches off, so the tiles are watched.
declare -A seen=()
while [ "$SECONDS" -lt "$play" ] && [ ${#seen[@]} -lt 3 ]; do
    shot later
    for t in "E 1" "S 10" "F 18"; do
        set -- $t
        [ "$(tile start "$2" 18)" != "$(tile later "$2" 18)" ] && seen[$1]=1
    done
    sleep 0.2
done
for k in E S F; do
    [ -n "${seen[$k]:-}" ] || fail "no $k creature above its tunnel"
done
echo "creatures of all three kinds came out above their tunnels within $SECONDS s"
kill -0 "$game_pid" 2>/dev/null || fail "the program ended"
stop_game
