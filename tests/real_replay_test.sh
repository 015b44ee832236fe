#!/usr/bin/env bash
# Replays of the real program on a virtual X server:
#  - a session played with the mouse and keys (a sign, a gather, a bot bought, a pause, M and
#    S, a game to its fall and a restart) is recorded, and --check-replay finds it complete,
#    with its two games, every digest matching;
#  - in debug mode, with the debug keys, the replayed creature log (--debug-log) is the
#    session's debug.txt byte for byte;
#  - a session killed with SIGKILL leaves a replay that checks up to where it was written;
#  - --replay shows the recorded game in a window captioned as a replay: a screenshot shows
#    creatures on the board (their pictures painted magenta in the watching copy, which the
#    replay does not mind: pictures are not part of the game), and at x8 it plays to its end;
#  - bad arguments and files: one line and status 2.
#
#   real_replay_test.sh <quorvatide>
set -u
game=$1
source "$(dirname "$0")/real_program.sh"
need_tools xdotool import convert
replays=$XDG_STATE_HOME/quorvatide/replays
# The newest replay in the folder.
newest() { ls -t "$replays"/*.qvr 2>/dev/null | head -n 1; }

# ---------------------------------------------------------------- bad input
"$game" --check-replay "$work/none.qvr" 2>"$work/err"
[ $? -eq 2 ] || fail "a missing replay did not give status 2"
[ "$(wc -l <"$work/err")" -eq 1 ] || fail "a missing replay took more than one line"
"$game" --bogus 2>"$work/err"
[ $? -eq 2 ] && grep -q "unknown option '--bogus'" "$work/err" || fail "an unknown option"
echo "hello" >"$work/text.qvr"
"$game" --replay "$work/text.qvr" 2>"$work/err"
[ $? -eq 2 ] && grep -q "not a Quorvatide replay" "$work/err" || fail "a text file as a replay"
"$game" --help | grep -q -- "--check-replay FILE" || fail "--help does not name --check-replay"
echo "bad arguments and files: one line, status 2"

start_xvfb

# ---------------------------------------------------------------- a session played
# A frail base under fast E creatures: it falls some 11 s into play. Scrap enough for a bot.
rec=$(exe_dir rec TURRETHEALTH=1 BASEORBHEALTH=2 EVONKELBASEEMERGE=20 SVONKELBASEEMERGE=100000 \
    FVONKELBASEEMERGE=100000 EVONKELBASESPEED=4 BOTCOST=20 NUMSTARTRES=150)
start_game "$rec/quorvatide"
find_window
sleep 0.5
click $(centre 10 10) # the splash screen: play starts
for i in 1 2 3 4 5 6 7 8; do
    xdotool mousemove --window "$win" $((60 * i)) $((40 + 50 * i))
    sleep 0.05
done
click $(centre 5 10) # the build menu on (5, 10) …
sleep 0.2
click $((35 * 5 + 60)) $((35 * 10 + 75)) # … and its right-pointing sign
sleep 0.2
for t in "3 6" "14 8" "12 14"; do # Get on tiles where, with 150 objects, a rock may well be
    set -- $t
    click $(centre "$1" "$2")
    sleep 0.15
    click $((35 * $1 + 20)) $((35 * $2 + 115))
    sleep 0.15
done
click $(centre 9 0) # the orb menu: a bot
sleep 0.2
click 330 45
sleep 0.5
xdotool key --window "$win" p
sleep 1
xdotool key --window "$win" p m s
sleep 0.5
xdotool key --window "$win" m
sleep 16 # the fall, the explosions and the game-over screen
click $(centre 10 10) # the restart: the splash screen again …
sleep 1
click $(centre 10 10) # … and the next game
sleep 2
stop_game
played=$(newest)
[ -n "$played" ] || fail "no replay in $replays"
echo "recorded $(basename "$played") ($(stat -c %s "$played") bytes)"
"$game" --check-replay "$played" >"$work/out" || fail "the played session does not check: $(cat "$work/out")"
cat "$work/out"
grep -q ": 2 games, .* all match; the recording is complete" "$work/out" ||
    fail "the played session is not two whole games"

# ---------------------------------------------------------------- debug mode
dbg=$(exe_dir dbg DEBUG=1 FVONKELBASEEMERGE=30)
start_game "$dbg/quorvatide"
find_window
sleep 0.3
click $(centre 10 10)
sleep 3
for key in x c c v b b g g a a f n z; do
    xdotool key --window "$win" "$key"
    sleep 0.2
done
sleep 3
stop_game
[ -s "$dbg/Assets/debug.txt" ] || fail "no debug.txt"
"$game" --check-replay "$(newest)" --debug-log "$work/replayed.txt" >/dev/null ||
    fail "the debug session does not check"
cmp "$dbg/Assets/debug.txt" "$work/replayed.txt" || fail "the replayed creature log differs"
echo "the replayed creature log is debug.txt byte for byte ($(wc -l <"$work/replayed.txt") lines)"

# ---------------------------------------------------------------- killed
start_game "$game"
find_window
click $(centre 10 10)
sleep 4
kill -KILL "$game_pid"
wait "$game_pid" 2>/dev/null
game_pid=
"$game" --check-replay "$(newest)" >"$work/out" || fail "the killed session does not check"
grep -q "stops before the session's end" "$work/out" || fail "the killed session reads as complete"
echo "killed: $(cat "$work/out")"

# ---------------------------------------------------------------- watched
view=$(exe_dir view)
for kind in E F S; do
    for facing in D U L R; do
        f=$view/Assets/${kind}Vonkel_$facing.bmp
        rm -f "$f"
        convert -size 35x35 xc:'#FF00FF' "BMP3:$f" || fail "cannot paint $f"
    done
done
SDL_AUDIODRIVER=dummy "$view/quorvatide" --replay "$played" &
game_pid=$!
win=$(timeout 20 xdotool search --sync --name '^Quorvatide .*replay: game 1' | head -n 1)
[ -n "$win" ] || fail "no window captioned as a replay"
magenta() {
    convert "$work/$1.png" -crop 700x665+9+9 +repage -fill black +opaque '#FF00FF' \
        -format '%[fx:mean*w*h]' info: | cut -d. -f1
}
SECONDS=0
while :; do
    shot watched
    [ "$(magenta watched)" -gt 200 ] && break
    [ "$SECONDS" -lt 20 ] || fail "no creature on the board of the replay"
    sleep 0.3
done
echo "creatures on the replay's board after $SECONDS s: '$(xdotool getwindowname "$win")'"
xdotool key --window "$win" 4
SECONDS=0
until xdotool getwindowname "$win" | grep -q ", ended$"; do
    [ "$SECONDS" -lt 20 ] || fail "the replay did not reach its end: $(xdotool getwindowname "$win")"
    sleep 0.5
done
echo "at x8 the replay reached its end: '$(xdotool getwindowname "$win")'"
stop_game
