#!/usr/bin/env bash
# The real program on a virtual X server, played with the arrow keys and Enter only, never the
# mouse: Enter starts play on the splash screen; the arrows walk the pointer's highlight over
# the board; Enter opens the build menu under it, the arrows choose the right-pointing sign and
# Enter orders it, which costs 10 scrap; the bot builds it solid; the orb menu opens the same way
# and Enter buys a bot; Escape closes a menu; P pauses; the session's replay checks. The
# highlight is a yellow frame inside a dark line, in whole pixels, also at 2x.
#
#   real_keys_test.sh <quorvatide> [folder to keep the screenshots in]
set -u
game=$1
keep=${2:-}
source "$(dirname "$0")/real_program.sh"
keep_shots "$keep" '[a-z]*.png'
need_tools xdotool import convert compare

dir=$(exe_dir game INITDELAY=1000000 VONKELEMERGESWAP=0 BOTCOST=30)
assets=$dir/Assets
start_xvfb 1920x1500
start_game "$dir/quorvatide" QUORVATIDE_SCALE=1
find_window
sleep 0.5

# keys <key ...>: typed into the window one after another
keys() {
    xdotool key --window "$win" --delay 40 "$@"
    sleep 0.15
}
# times <n> <key>: the key n times
times() {
    local n=$1 list=() i
    for ((i = 0; i < n; i++)); do list+=("$2"); done
    keys "${list[@]}"
}
# crop <shot> <w> <h> <x> <y>: a part of a screenshot, as a picture file; prints its name
crop() {
    local out="$work/$1-$2x$3+$4+$5.png"
    convert "$work/$1.png" -crop "$2x$3+$4+$5" +repage "$out"
    echo "$out"
}
same() { [ "$(compare -metric AE "$1" "$2" null: 2>&1)" = "0" ]; }
difference() { convert "$1" "$2" -compose difference -composite -format '%[fx:mean]' info:; }
pixel() { echo "#$(convert "$work/$1.png" -format "%[hex:p{$2,$3}]" info:)"; }
# The top-left corner of a tile, where a sign's frame shows and a bot standing on it does not.
corner() { crop "$1" 8 8 $((9 + 35 * $2 + 2)) $((9 + 35 * $3 + 2)); }
# The scrap counter against the same number made from the digit pictures.
shows() {
    local files=() i
    for ((i = 0; i < ${#2}; i++)); do files+=("$assets/f${2:i:1}.bmp"); done
    convert "${files[@]}" +append "$work/digits-$2.png"
    same "$(crop "$1" "$((13 * ${#2}))" 20 760 80)" "$work/digits-$2.png"
}
# highlighted <shot> <x> <y>: the highlight's frame has its top-left corner at (x, y): a dark
# line, two yellow pixels, a dark line
highlighted() {
    [ "$(pixel "$1" "$2" "$3")" = "#181000" ] && [ "$(pixel "$1" $(($2 + 1)) $(($3 + 1)))" = "#FFD600" ] &&
        [ "$(pixel "$1" $(($2 + 2)) $(($3 + 2)))" = "#FFD600" ] &&
        [ "$(pixel "$1" $(($2 + 3)) $(($3 + 3)))" = "#181000" ]
}

keys Return # the splash screen: play starts, the pointer in the middle of the board
sleep 0.5
shot board
shows board 50 || fail "the scrap counter does not show 50 at the start"
highlighted board $((9 + 35 * 9)) $((9 + 35 * 9)) || fail "no highlight on tile 9,9"
echo "play started with Enter; the highlight is on tile 9,9"

# The pointer parks on (2, 17), away from the sign's tile (5, 5).
times 7 Left
times 8 Down
shot before
highlighted before $((9 + 35 * 2)) $((9 + 35 * 17)) || fail "the highlight did not walk to 2,17"

# ---------------------------------------------------------------- the build menu
times 3 Right
times 12 Up
keys Return
sleep 0.2
shot menu
convert "$assets/menuframe.bmp" -crop 82x14+0+0 +repage "$work/frame-top.png"
same "$(crop menu 82 14 175 175)" "$work/frame-top.png" || fail "the build menu did not open at 175,175"
highlighted menu $((175 + 3)) $((175 + 17)) || fail "the highlight is not on the menu's first item"
keys Right Down
shot item
highlighted item $((175 + 44)) $((175 + 58)) || fail "the highlight is not on the right-pointing sign"
keys Return
times 3 Left
times 12 Down
sleep 0.2
shot faint
shows faint 40 || fail "the scrap counter does not show 40 after the sign"
faint=$(difference "$(corner before 5 5)" "$(corner faint 5 5)")
awk -v d="$faint" 'BEGIN { exit !(d > 0.005) }' || fail "no sign on 5,5 (difference $faint)"
echo "a faint sign on 5,5 ordered with the keys, 10 scrap paid"

SECONDS=0
while :; do
    shot later
    solid=$(difference "$(corner before 5 5)" "$(corner later 5 5)")
    awk -v s="$solid" -v f="$faint" 'BEGIN { exit !(s > 2.5 * f) }' && break
    [ "$SECONDS" -lt 15 ] || fail "the sign was not built within 15 s (difference $solid, $faint when faint)"
    sleep 0.3
done
echo "the bot built the sign solid after $SECONDS s"

# Escape closes an open menu and orders nothing.
times 2 Up
keys Return
sleep 0.2
shot opened
same "$(crop opened 82 14 70 525)" "$work/frame-top.png" || fail "no build menu at 70,525"
keys Escape
sleep 0.2
shot closed
same "$(crop closed 82 14 70 525)" "$work/frame-top.png" && fail "Escape left the menu open"
shows closed 40 || fail "Escape cost scrap"

# ---------------------------------------------------------------- the orb menu
times 7 Right
times 15 Up
keys Return
sleep 0.2
shot orb
convert "$assets/orbmenuframe.bmp" -crop 82x16+0+0 +repage "$work/orb-top.png"
same "$(crop orb 82 16 315 0)" "$work/orb-top.png" || fail "the orb menu did not open at 315,0"
highlighted orb $((315 + 24)) 16 || fail "the highlight is not on the orb menu's bot"
keys Return
sleep 0.3
shot bought
shows bought 10 || fail "no bot bought: the scrap counter does not show 10"
same "$(crop bought 82 16 315 0)" "$work/orb-top.png" && fail "the orb menu stayed open"
echo "a bot bought with Enter for 30 scrap"

# ---------------------------------------------------------------- the pause
keys p
sleep 0.3
shot paused
for xy in "30 30" "690 30" "30 690" "690 690"; do
    [ "$(pixel paused $xy)" = "#000000" ] || fail "P did not pause: $xy is $(pixel paused $xy)"
done
keys p
sleep 0.3
shot resumed
[ "$(pixel resumed 30 690)" = "#000000" ] && [ "$(pixel resumed 690 30)" = "#000000" ] &&
    fail "the second P did not resume"
echo "P paused and resumed"

kill -0 "$game_pid" 2>/dev/null || fail "the program ended"
stop_game
# The session was recorded as a mouse would have been, and its replay checks.
played=$(ls -t "$XDG_STATE_HOME"/quorvatide/replays/*.qvr 2>/dev/null | head -n 1)
[ -n "$played" ] || fail "no replay of the session"
"$dir/quorvatide" --check-replay "$played" >"$work/check.txt" ||
    fail "the replay of the session played with the keys does not check: $(cat "$work/check.txt")"
echo "its replay checks: $(cat "$work/check.txt")"

# ---------------------------------------------------------------- at twice the size
# The highlight keeps to whole game pixels: every line of its frame two window pixels wide.
start_game "$dir/quorvatide" QUORVATIDE_SCALE=2
find_window
sleep 0.5
keys Return
sleep 0.3
shot double
x=$((2 * (9 + 35 * 9))) y=$((2 * (9 + 35 * 9)))
for d in 0 1; do
    [ "$(pixel double $((x + d)) $((y + d)))" = "#181000" ] || fail "at 2x the dark line is not 2 pixels wide"
done
for d in 2 3 4 5; do
    [ "$(pixel double $((x + d)) $((y + d)))" = "#FFD600" ] || fail "at 2x the yellow is not 4 pixels wide"
done
for d in 6 7; do
    [ "$(pixel double $((x + d)) $((y + d)))" = "#181000" ] || fail "at 2x the inner line is not 2 pixels wide"
done
echo "at 2x the highlight is drawn in whole game pixels"
stop_game
