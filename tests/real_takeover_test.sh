#!/usr/bin/env bash
# Taking over and continuing, in the real program on a virtual X server:
#  - --replay, then T: the viewer plays on live; a sign placed, the program closed, the new
#    replay (named as continuing the old one, which is unchanged) checks complete and, watched
#    to its end, shows the sign (its pictures painted magenta in the watching copy);
#  - --take-over-at takes over at once; a replay that does not play as recorded is refused
#    with the check's line and status 1;
#  - a session killed while paused: --continue shows the window exactly as it was, and P plays
#    on; a session killed in play: --continue hands it over with the pause picture over the
#    board, and the session continued checks complete;
#  - with nothing left in play, --continue says so in one line and a new game begins; a
#    continued session is not offered again.
#
#   real_takeover_test.sh <quorvatide>
set -u
game=$1
source "$(dirname "$0")/real_program.sh"
need_tools xdotool import convert compare
replays=$XDG_STATE_HOME/quorvatide/replays
newest() { ls -t "$replays"/*.qvr 2>/dev/null | head -n 1; }
# differing <a> <b> [geometry]: how many pixels of two screenshots differ (within the geometry)
differing() {
    local crop=${3:+-crop $3 +repage}
    convert "$work/$1.png" $crop "$work/a.png" && convert "$work/$2.png" $crop "$work/b.png" &&
        compare -metric AE "$work/a.png" "$work/b.png" null: 2>&1 | cut -d' ' -f1
}
# caption_is <regex>: waits up to 10 s for the window's caption to match
caption_is() {
    local waited=0
    until xdotool getwindowname "$win" | grep -q -- "$1"; do
        waited=$((waited + 1))
        [ $waited -le 50 ] || fail "the caption is '$(xdotool getwindowname "$win")', not $1"
        sleep 0.2
    done
}
board=700x700+8+8
# run_game <program> <argument ...>: as start_game, with arguments
run_game() {
    SDL_AUDIODRIVER=dummy "$@" &
    game_pid=$!
}

keep_shots "${QV_KEEP_SHOTS:-}" "*.png"
start_xvfb

# ---------------------------------------------------------------- --replay, then T
start_game "$game"
find_window
sleep 0.3
click $(centre 10 10)
sleep 3
stop_game
watched=$(newest)
sum=$(md5sum <"$watched")

view=$(exe_dir view)
for facing in D U L R; do
    rm -f "$view/Assets/Sign_$facing.bmp"
    convert -size 35x35 xc:'#FF00FF' "BMP3:$view/Assets/Sign_$facing.bmp" || fail "cannot paint a sign"
done
magenta() {
    convert "$work/$1.png" -crop $board +repage -fill black +opaque '#FF00FF' \
        -format '%[fx:mean*w*h]' info: | cut -d. -f1
}
run_game "$view/quorvatide" --replay "$watched"
win=$(timeout 20 xdotool search --sync --name '^Quorvatide .*replay: game 1' | head -n 1)
[ -n "$win" ] || fail "no window captioned as a replay"
sleep 1.5
xdotool key --window "$win" t
caption_is '^Quorvatide$'
click $(centre 5 10) # the build menu on (5, 10) …
sleep 0.3
click $((35 * 5 + 60)) $((35 * 10 + 75)) # … and its right-pointing sign
SECONDS=0
while :; do # shown faint, then built solid by the bot
    shot live
    [ "$(magenta live)" -gt 100 ] && break
    [ "$SECONDS" -lt 20 ] || fail "no sign built on the board taken over"
    sleep 0.5
done
echo "taken over with T: a sign placed and built in $SECONDS s"
stop_game
[ "$(md5sum <"$watched")" = "$sum" ] || fail "the replay taken over was changed"
taken=$(ls "$replays"/$(basename "$watched" .qvr)-continued-*.qvr 2>/dev/null | head -n 1)
[ -n "$taken" ] || fail "no replay continuing $(basename "$watched"): $(ls "$replays")"
"$game" --check-replay "$taken" >"$work/out" || fail "the session taken over does not check: $(cat "$work/out")"
grep -q "all match; the recording is complete" "$work/out" || fail "not complete: $(cat "$work/out")"
echo "taken over: $(cat "$work/out")"
run_game "$view/quorvatide" --replay "$taken"
win=$(timeout 20 xdotool search --sync --name '^Quorvatide .*replay: game 1' | head -n 1)
[ -n "$win" ] || fail "no window for the replay taken over"
xdotool key --window "$win" End
caption_is ', ended$'
sleep 0.3
shot ended
[ "$(magenta ended)" -gt 100 ] || fail "the replay taken over does not show the sign at its end"
echo "watched to its end, it shows the sign: '$(xdotool getwindowname "$win")'"
stop_game

# --take-over-at: at once; a replay that does not play as recorded is refused in one line.
run_game "$game" --replay "$watched" --take-over-at 00:02
find_window
sleep 1
stop_game
[ "$(ls "$replays"/$(basename "$watched" .qvr)-continued-*.qvr | wc -l)" -eq 2 ] ||
    fail "--take-over-at made no new replay"
sed 's/^setting: SIGNCOST = /setting: SIGNCOST = 1/' "$watched" >"$work/changed.qvr"
"$game" --replay "$work/changed.qvr" --take-over-at 00:02 2>"$work/err"
status=$?
[ $status -eq 1 ] && [ "$(wc -l <"$work/err")" -eq 1 ] &&
    grep -q "changed.qvr: does not play as recorded: .*; it cannot be taken over" "$work/err" ||
    fail "a replay that does not check, taken over: status $status, $(cat "$work/err")"
echo "refused: $(cat "$work/err")"

# ---------------------------------------------------------------- --continue
# Killed while paused: the window comes back exactly as it was.
start_game "$game"
find_window
sleep 0.3
click $(centre 10 10)
sleep 2
xdotool key --window "$win" p
sleep 1.5 # the last flush
shot before
kill -KILL "$game_pid"
wait "$game_pid" 2>/dev/null
killed=$(newest)
SECONDS=0
run_game "$game" --continue
find_window
sleep 0.5
shot continued
[ "$(differing before continued)" -eq 0 ] ||
    fail "--continue does not show the window as it was ($(differing before continued) pixels differ)"
echo "continued: the window as it was, after $SECONDS s"
xdotool key --window "$win" p
sleep 1
shot playing
[ "$(differing continued playing $board)" -gt 1000 ] || fail "P does not play on"
stop_game
continued=$(newest)
[ "$continued" != "$killed" ] || fail "no new replay for the session continued"
case $continued in *"$(basename "$killed" .qvr)-continued-"*) ;; *) fail "named $continued" ;; esac

# Killed in play: handed over with the pause picture over the board.
start_game "$game"
find_window
sleep 0.3
click $(centre 10 10)
sleep 3
kill -KILL "$game_pid"
wait "$game_pid" 2>/dev/null
killed=$(newest)
run_game "$game" --continue >"$work/said"
find_window
sleep 0.5
grep -q "^quorvatide: continuing $killed from 00:0[0-9] (game 1), paused: P plays on$" "$work/said" ||
    fail "--continue says: $(cat "$work/said")"
shot handed
[ "$(differing before handed $board)" -eq 0 ] || fail "--continue does not hand over paused"
xdotool key --window "$win" p
sleep 1
shot resumed
[ "$(differing handed resumed $board)" -gt 1000 ] || fail "P does not play on"
sleep 1
stop_game
"$game" --check-replay "$(newest)" >"$work/out" || fail "the continued session does not check: $(cat "$work/out")"
grep -q "all match; the recording is complete" "$work/out" || fail "not complete: $(cat "$work/out")"
echo "killed in play and continued: $(cat "$work/out")"

# Nothing left in play (here: no replay at all): one line, and a new game begins.
env SDL_AUDIODRIVER=dummy XDG_STATE_HOME="$work/empty" "$game" --continue 2>"$work/err" &
game_pid=$!
find_window
stop_game
[ "$(wc -l <"$work/err")" -eq 1 ] && grep -q "no game left in play to continue .*; a new game begins" "$work/err" ||
    fail "with nothing to continue: $(cat "$work/err")"
echo "nothing to continue: $(cat "$work/err")"
"$game" --continue "$work/none.qvr" 2>"$work/err"
[ $? -eq 2 ] && [ "$(wc -l <"$work/err")" -eq 1 ] || fail "--continue of a missing file: $(cat "$work/err")"
