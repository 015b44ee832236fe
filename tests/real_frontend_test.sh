#!/usr/bin/env bash
# The front end in the real program on a virtual X server: Escape in play opens the menu over
# the pause picture and a second Escape closes it, play going on; the side panel's button opens
# it too; options chosen with the mouse are kept in options.ini and hold after a restart, where
# calm effects keep the red warning frame steady; Quit ends the program cleanly; and every
# session of it checks as recorded.
#
#   real_frontend_test.sh <quorvatide>
set -u
game=$1
source "$(dirname "$0")/real_program.sh"
need_tools xdotool import convert

# pixel <shot> <x> <y>: one pixel as #RRGGBB
pixel() { echo "#$(convert "$work/$1.png" -format "%[hex:p{$2,$3}]" info:)"; }
# dark <colour>: true for a colour whose channels are all below 64
dark() {
    local c=${1#\#}
    [ $((16#${c:0:2})) -lt 64 ] && [ $((16#${c:2:2})) -lt 64 ] && [ $((16#${c:4:2})) -lt 64 ]
}
# titled <shot>: true when the menu's title, in its gold, stands over the play area
titled() {
    local n
    n=$(convert "$work/$1.png" -crop 300x140+208+120 +repage -fx \
        'r > 0.7 && g > 0.47 && g < 0.85 && b < 0.55 ? 1 : 0' -format '%[fx:round(mean*w*h)]' info:)
    [ "$n" -gt 200 ]
}
# press <x> <y>: a click the program surely sees, the pointer resting a moment first
press() {
    xdotool mousemove --window "$win" "$1" "$2"
    sleep 0.15
    xdotool click 1
    sleep 0.25
}

dir=$(exe_dir game INITDELAY=1000000 VONKELEMERGESWAP=0)
options=$XDG_CONFIG_HOME/quorvatide/options.ini
start_xvfb

# ---------------------------------------------------------------- the menu in play
start_game "$dir/quorvatide"
find_window
sleep 0.5
press 360 360
sleep 0.5
shot playing
xdotool key --window "$win" Escape
sleep 0.4
shot menu
titled menu || fail "no menu with its gold title over the play area"
dark "$(pixel menu 40 40)" || fail "the play area is not dimmed under the menu: $(pixel menu 40 40)"
# Behind the menu the game is paused: the pause picture is up, all but black under the veil.
xdotool key --window "$win" Escape
sleep 0.4
shot resumed
[ "$(pixel resumed 40 40)" = "$(pixel playing 40 40)" ] ||
    fail "the play area did not come back when the menu closed"
echo "Escape opened the menu over the paused game and closed it again"

# The side panel's button opens it; Options: music one step down, calm effects on; then Quit.
press 800 452
shot menu2
titled menu2 || fail "the side panel's button opened no menu"
# The menu in play: Resume, New game, Learn to play, Records, Watch a replay, Options, Quit, 36 px
# high and 10 apart, the first at 233 (see the front end's screens).
top=233
press 358 $((top + 5 * 46 + 18))
shot options
press 398 243 # the music volume's "<"
press 398 403 # calm effects: "<" turns it on
grep -q '^music volume = 90$' "$options" || fail "options.ini does not hold the music volume: $(cat "$options" 2>&1)"
grep -q '^calm effects = on$' "$options" || fail "options.ini does not hold calm effects"
echo "the options screen wrote options.ini: music 90 %, calm effects on"
xdotool key --window "$win" Escape
sleep 0.3
press 358 $((top + 6 * 46 + 18)) # Quit
for _ in $(seq 50); do kill -0 "$game_pid" 2>/dev/null || break; sleep 0.1; done
reap_game "Quit in the menu"

# ---------------------------------------------------------------- after a restart
start_game "$dir/quorvatide"
find_window
sleep 0.5
press 360 360
sleep 0.5
# The orb menu with too little scrap for a bot: the red frame, held steady for its flashing.
press $((9 + 35 * 9 + 17)) $((9 + 17))
xdotool mousemove --window "$win" 330 45 click 1
reds=0 shots=0
SECONDS=0
start=$(date +%s%N)
while [ $((($(date +%s%N) - start) / 1000000)) -lt 650 ]; do
    shot "calm$shots"
    [ "$(pixel "calm$shots" 714 66)" = "#FF0000" ] && reds=$((reds + 1))
    shots=$((shots + 1))
done
[ "$shots" -ge 3 ] || fail "only $shots screenshots in the frame's 650 ms"
[ "$reds" -eq "$shots" ] || fail "calm effects after a restart: the frame was red in $reds of $shots shots"
sleep 1
shot after
[ "$(pixel after 714 66)" != "#FF0000" ] || fail "the red frame stayed after its time"
echo "after a restart calm effects held: the red frame steady in all $shots shots, then gone"
stop_game

# ---------------------------------------------------------------- the replays
n=0
for replay in "$XDG_STATE_HOME"/quorvatide/replays/*.qvr; do
    "$game" --check-replay "$replay" >/dev/null || fail "$replay does not check"
    n=$((n + 1))
done
[ "$n" -eq 2 ] || fail "$n replays, not the two sessions'"
echo "both sessions' replays check"
