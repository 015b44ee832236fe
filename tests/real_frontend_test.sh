#!/usr/bin/env bash
# The front end in the real program on a virtual X server: Escape in play opens the menu over
# the pause picture and a second Escape closes it, play going on; the side panel's button opens
# it too; options chosen with the mouse are kept in options.ini and hold after a restart, where
# calm effects keep the red warning frame steady; Quit ends the program cleanly; every session
# of it checks as recorded; and two games played to their end show in Records and --records,
# best first, the best one's report with its plot (--report writes it), whose Watch opens the
# viewer.
#
#   real_frontend_test.sh <quorvatide>
set -u
game=$1
source "$(dirname "$0")/real_program.sh"
need_tools xdotool import convert
keep_shots "${QV_KEEP_SHOTS:-}" "*.png"

# pixel <shot> <x> <y>: one pixel as #RRGGBB
pixel() { echo "#$(convert "$work/$1.png" -format "%[hex:p{$2,$3}]" info:)"; }
# dark <colour>: true for a colour whose channels are all below 64
dark() {
    local c=${1#\#}
    [ $((16#${c:0:2})) -lt 64 ] && [ $((16#${c:2:2})) -lt 64 ] && [ $((16#${c:4:2})) -lt 64 ]
}
# titled <shot>: true when a menu's title, in its gold, stands over the play area
titled() {
    local n
    n=$(convert "$work/$1.png" -crop 300x200+208+100 +repage -fx \
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
press 358 "$(menu_y Options "${menu_in_play[@]}")"
shot options
press 398 243 # the music volume's "<"
press 398 403 # calm effects: "<" turns it on
grep -q '^music volume = 90$' "$options" || fail "options.ini does not hold the music volume: $(cat "$options" 2>&1)"
grep -q '^calm effects = on$' "$options" || fail "options.ini does not hold calm effects"
echo "the options screen wrote options.ini: music 90 %, calm effects on"
xdotool key --window "$win" Escape
sleep 0.3
press 358 "$(menu_y Quit "${menu_in_play[@]}")"
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
# The frame shows within a moment; from then on it holds until it goes for good: red, then
# white, never red again (flashing, it would be red, white and red within its 750 ms).
SECONDS=0
until shot calm && [ "$(pixel calm 714 66)" = "#FF0000" ]; do
    [ "$SECONDS" -lt 3 ] || fail "no red frame after a bot with too little scrap"
done
seen=R shots=1
start=$(date +%s%N)
while [ $((($(date +%s%N) - start) / 1000000)) -lt 1200 ]; do
    shot "calm$shots"
    if [ "$(pixel "calm$shots" 714 66)" = "#FF0000" ]; then seen+=R; else seen+=W; fi
    shots=$((shots + 1))
done
[[ $seen =~ ^R+W+$ ]] || fail "calm effects after a restart: the frame went $seen (R red, W not)"
echo "after a restart calm effects held: the red frame steady, then gone ($seen)"
stop_game

# ---------------------------------------------------------------- the replays
n=0
for replay in "$XDG_STATE_HOME"/quorvatide/replays/*.qvr; do
    "$game" --check-replay "$replay" >/dev/null || fail "$replay does not check"
    n=$((n + 1))
done
[ "$n" -eq 2 ] || fail "$n replays, not the two sessions'"
echo "both sessions' replays check"

# ---------------------------------------------------------------- records
# Two games played to their end on a base that falls in seconds: both in the records, best first,
# in --records and on the Records screen; a record's report with its plot (--report writes it);
# and Watch from the report opens the viewer.
frail=$(exe_dir frail TURRETHEALTH=1 BASEORBHEALTH=2 EVONKELBASEEMERGE=20 SVONKELBASEEMERGE=100000 \
    FVONKELBASEEMERGE=100000 EVONKELBASESPEED=4 INITDELAY=0 VONKELEMERGESWAP=0)
records=$XDG_STATE_HOME/quorvatide/records.txt
start_game "$frail/quorvatide"
find_window
sleep 0.5
for round in 1 2; do
    press 360 360 # the title screen: play
    SECONDS=0
    until [ "$(grep -c '^score=' "$records" 2>/dev/null)" = "$round" ]; do
        [ "$SECONDS" -lt 60 ] || fail "game $round did not end within a minute"
        # A sign now and then, that the two games' scores differ.
        [ "$round" = 2 ] && [ $((SECONDS % 4)) = 0 ] && press $((9 + 35 * 12 + 17)) $((9 + 35 * 16 + 17))
        sleep 0.5
    done
    SECONDS=0
    until shot over && [ "$(pixel over 100 670)" != "$(pixel over 100 10)" ] && [ $SECONDS -gt 6 ]; do
        [ "$SECONDS" -lt 30 ] || fail "no game-over screen after game $round"
        sleep 0.5
    done
done
"$game" --records >"$work/records.out" || fail "--records failed"
[ "$(grep -c 'quorvatide-.*\.qvr' "$work/records.out")" -eq 2 ] || fail "--records: $(cat "$work/records.out")"
first=$(grep -m1 'qvr' "$work/records.out" | awk '{print $1}')
second=$(grep 'qvr' "$work/records.out" | sed -n 2p | awk '{print $1}')
[ "$first" -ge "$second" ] || fail "--records is not best first: $(cat "$work/records.out")"
echo "two games played to their end: --records gives them best first ($first, $second)"
xdotool key --window "$win" Escape
sleep 0.4
press 358 "$(menu_y Records "${menu_on_title[@]}")"
shot records
# Two rows of games and the latest, each a button of the menu's blue.
rows=0
for y in 323 357 399; do
    c=$(pixel records 600 $y); c=${c#\#}
    [ $((16#${c:4:2})) -gt $((16#${c:0:2})) ] && rows=$((rows + 1))
done
[ "$rows" -eq 3 ] || fail "the Records screen does not show the two games and the latest"
press 358 323 # the best game: its report
shot report
plot=$(convert "$work/report.png" -crop 560x250+78+270 +repage -colors 16 -format '%k' info:)
[ "$plot" -ge 4 ] || fail "no plot on the report screen ($plot colours)"
replay=$(grep -m1 'qvr' "$work/records.out" | awk '{print $NF}')
"$game" --report "$replay" "$work/plot.png" >"$work/report.out" || fail "--report failed: $(cat "$work/report.out")"
[ -s "$work/plot.png" ] && grep -q "^kills: " "$work/report.out" ||
    fail "--report wrote no plot or no report: $(cat "$work/report.out")"
echo "the best game's report shows its plot; --report writes it as $(identify -format '%wx%h' "$work/plot.png") PNG"
press 173 574 # Watch
sleep 0.5
# (The caption is looked for as the X server holds it in WM_NAME: SDL leaves _NET_WM_NAME as
# the window began.)
[ -n "$(xdotool search --name 'replay: game 1' | head -n 1)" ] ||
    fail "Watch did not open the viewer: '$(xprop -id "$win" WM_NAME)'"
echo "Watch in the report opens the viewer, captioned as a replay"
stop_game
