#!/usr/bin/env bash
# Nothing lost in the real program on a virtual X server, where players met losses before:
#  - two games started in the same second (a double click on the desktop icon), eight times:
#    both sessions are recorded, each in a file of its own;
#  - with sixty replays recorded while the clock was a year ahead (named, dated and touched so),
#    a new session does not remove the one before it;
#  - under a file-size limit (ulimit -f 2) play goes on, with one line saying that the replay
#    stops there, and the game ends cleanly;
#  - the terminal closing (SIGHUP) ends the game as SIGTERM does: status 0, the replay complete;
#  - --continue while the session is still being played in another window does not continue
#    it (one line says so, and a new game begins), --continue of its file is refused in one
#    line, and once that window has closed in play, --continue goes on with it;
#  - a crash with the state folder on a full tmpfs (in a mount namespace of its own, when one
#    can be made): the report on stderr, the line saying why, and the dialog;
#  - --debug-log naming the replay being checked (as ./FILE) is refused, the replay unchanged.
#
#   real_nothing_lost_test.sh <quorvatide>
set -u
game=$(readlink -f "$1")
source "$(dirname "$0")/real_program.sh"
need_tools xdotool xwininfo
replays=$XDG_STATE_HOME/quorvatide/replays
# windows: how many windows titled Quorvatide there are
windows() { xdotool search --name '^Quorvatide$' 2>/dev/null | wc -l; }
# wait_windows <n>: until there are n
wait_windows() {
    local waited=0
    until [ "$(windows)" -ge "$1" ]; do
        waited=$((waited + 1))
        [ $waited -le 100 ] ||
            fail "expected $1 windows titled Quorvatide, found $(windows); the games said: $(cat "$work"/err*)"
        sleep 0.1
    done
}
# reaped <pid>: waits for it and sets $status to its exit status
reaped() {
    wait "$1"
    status=$?
}
# one_line <file> <fixed text>: the file is that one line, holding the text
one_line() {
    [ "$(wc -l <"$1")" -eq 1 ] && grep -Fq -- "$2" "$1" ||
        fail "expected one line with '$2', got:"$'\n'"$(cat "$1")"
}

start_xvfb
# A client that stays: without one the server resets whenever the last program has gone, and a
# game started at that moment finds no display.
xdotool search --sync --name '^never a window of this name$' >/dev/null 2>&1 &

# ---------------------------------------------------------------- two in the same second
same=0
for round in 1 2 3 4 5 6 7 8; do
    before=$(ls "$replays" 2>/dev/null | wc -l)
    # Just after a second begins, so that both begin in it.
    while [ "$(date +%N)" -gt 150000000 ]; do sleep 0.01; done
    SDL_AUDIODRIVER=dummy "$game" 2>"$work/err1" &
    first=$!
    SDL_AUDIODRIVER=dummy "$game" 2>"$work/err2" &
    second=$!
    wait_windows 2
    kill -TERM $first $second
    reaped $first
    [ $status -eq 0 ] || fail "round $round: the first game ended with status $status"
    reaped $second
    [ $status -eq 0 ] || fail "round $round: the second game ended with status $status"
    cat "$work/err1" "$work/err2" >"$work/err"
    [ -s "$work/err" ] && fail "round $round: $(cat "$work/err")"
    new=$(ls -t "$replays" | head -n 2)
    [ "$(ls "$replays" | wc -l)" -eq $((before + 2)) ] ||
        fail "round $round: expected two new replays, the folder holds: $(ls "$replays")"
    for name in $new; do
        "$game" --check-replay "$replays/$name" >/dev/null || fail "round $round: $name does not check"
    done
    seconds=$(for name in $new; do echo "${name:11:19}"; done | sort -u | wc -l)
    [ "$seconds" -eq 1 ] && same=$((same + 1))
    echo "round $round: both recorded:" $new
done
[ $same -ge 4 ] || fail "only $same of 8 rounds began both games in one second"
echo "two games started together: both recorded in 8 rounds, $same of them in the same second"

# ---------------------------------------------------------------- replays dated a year ahead
rm -rf "$replays"
mkdir -p "$replays"
ahead=$(date -d '+1 year' '+%Y-%m-%d')
for minute in $(seq -w 0 59); do
    name=quorvatide-${ahead}_10-$minute-00.qvr
    printf 'Quorvatide replay\nformat: 1\nrecorded: %s 10:%s:00 +0000\n\n' "$ahead" "$minute" \
        >"$replays/$name"
    touch -d "$ahead 10:$minute:00" "$replays/$name"
done
mine() { ls "$replays" | grep -v "^quorvatide-$ahead"; }
for session in before after; do
    start_game "$game"
    find_window
    sleep 0.3
    stop_game
    sleep 1.1 # a second of its own
done
[ "$(mine | wc -l)" -eq 2 ] || fail "with replays dated ahead, a session was removed: $(mine)"
[ "$(ls "$replays" | wc -l)" -eq 50 ] || fail "the folder holds $(ls "$replays" | wc -l) replays, not 50"
echo "with sixty replays dated a year ahead, the new sessions stay:" $(mine)

# ---------------------------------------------------------------- a file-size limit
rm -rf "$replays"
(
    ulimit -f 2
    exec env SDL_AUDIODRIVER=dummy "$game" 2>"$work/err"
) &
game_pid=$!
find_window
sleep 0.3
click $(centre 10 10)
# Some 150 bytes of replay a second with the mouse on the move, after the header's 900: the
# limit's 2 KB are reached within ten seconds.
# alive: fails when the game has ended
alive() {
    kill -0 "$game_pid" 2>/dev/null && return
    reaped "$game_pid"
    fail "under ulimit -f 2 the game ended: status $status, saying: $(cat "$work/err")"
}
SECONDS=0
until [ -s "$work/err" ]; do
    alive
    [ $SECONDS -lt 30 ] || fail "under ulimit -f 2 the replay has not reached the limit after 30 s"
    for i in $(seq 1 30); do
        xdotool mousemove --window "$win" $((20 * i)) $((600 - 17 * i))
        sleep 0.03
    done
done
sleep 2
alive
stop_game
replay=$(ls "$replays"/*.qvr)
one_line "$work/err" "quorvatide: the replay $replay stops here: cannot write: File too large"
"$game" --check-replay "$replay" >"$work/out" || fail "the replay cut by the limit does not check"
echo "under ulimit -f 2: play went on; $(cat "$work/err")"

# ---------------------------------------------------------------- the terminal closing
rm -rf "$replays"
start_game "$game"
find_window
sleep 0.3
click $(centre 10 10)
sleep 2.5
kill -HUP "$game_pid"
reap_game SIGHUP
"$game" --check-replay "$replays"/*.qvr >"$work/out" || fail "the replay does not check"
grep -q "all match; the recording is complete" "$work/out" || fail "after SIGHUP: $(cat "$work/out")"
echo "SIGHUP: $(cat "$work/out")"

# ---------------------------------------------------------------- continued while played
rm -rf "$replays"
start_game "$game"
find_window
live_pid=$game_pid
sleep 0.3
click $(centre 10 10)
sleep 2.5 # in play, written to its last flush
live=$(ls "$replays"/*.qvr)
SDL_AUDIODRIVER=dummy "$game" --continue >"$work/said" 2>"$work/err" &
game_pid=$!
wait_windows 2
stop_game
[ "$(wc -l <"$work/err")" -eq 2 ] &&
    grep -Fq "quorvatide: $live: its session is still being played; passed over" "$work/err" &&
    grep -q "no game left in play to continue .*; a new game begins" "$work/err" ||
    fail "--continue beside the live session: $(cat "$work/err")"
[ ! -s "$work/said" ] || fail "--continue continued: $(cat "$work/said")"
"$game" --continue "$live" 2>"$work/err"
[ $? -eq 2 ] || fail "--continue of the live session's file did not give status 2"
one_line "$work/err" "$live: its session is still being played"
echo "--continue beside it: $(head -n 1 "$work/err")"
game_pid=$live_pid
stop_game
SDL_AUDIODRIVER=dummy "$game" --continue >"$work/said" &
game_pid=$!
find_window
stop_game
grep -q "^quorvatide: continuing $live from " "$work/said" ||
    fail "--continue once the window closed: $(cat "$work/said")"
echo "closed, it is continued: $(cat "$work/said")"

# ---------------------------------------------------------------- a crash on a full disk
full=$work/full
mkdir -p "$full"
if [ -n "${QV_SANITIZED:-}" ]; then
    echo "NOTE: built with the sanitizers, whose reports stand in for the game's: the crash on a full disk is not tried"
elif unshare -m sh -c 'mount -t tmpfs -o size=1m tmpfs "$1"' sh "$full" 2>/dev/null; then
    unshare -m sh -c 'mount -t tmpfs -o size=1m tmpfs "$1" && shift && exec "$@"' sh "$full" \
        env XDG_STATE_HOME="$full" SDL_AUDIODRIVER=dummy QUORVATIDE_TEST_CRASH=segv "$game" \
        2>"$work/err" &
    game_pid=$!
    find_window
    sleep 0.5
    # The disk fills up while the game plays.
    nsenter -t "$game_pid" -m sh -c "cat /dev/zero >'$full/filler'" 2>/dev/null
    nsenter -t "$game_pid" -m df -h "$full" | tail -n 1 | grep -q ' 100% ' || fail "the tmpfs is not full"
    click $(centre 10 10)
    reaped "$game_pid"
    game_pid=
    [ "$status" -eq 139 ] || fail "the crash on a full disk: status $status"
    grep -q "^Quorvatide crash report$" "$work/err" && grep -q "^What happened: SIGSEGV" "$work/err" ||
        fail "no crash report on stderr:"$'\n'"$(cat "$work/err")"
    tail -n 1 "$work/err" | grep -Fq "the crash report is above (cannot write to $full/quorvatide/: No space left on device)" ||
        fail "the last line: $(tail -n 1 "$work/err")"
    waited=0
    until dialog=$(xwininfo -root -tree 2>/dev/null | awk '/"Quorvatide has stopped": /{print $1; exit}') &&
        [ -n "$dialog" ]; do
        waited=$((waited + 1))
        [ $waited -le 100 ] || fail "no dialog after the crash on a full disk"
        sleep 0.1
    done
    xdotool key --window "$dialog" Return 2>/dev/null
    echo "a crash on a full tmpfs: status 139, the report on stderr, the dialog; $(tail -n 1 "$work/err")"
else
    echo "NOTE: no mount namespace with a tmpfs can be made here: the crash on a full disk is not tried"
fi

# ---------------------------------------------------------------- --debug-log over the replay
cp "$(dirname "$0")/replays/lab-builder-default.qvr" "$work/a.qvr"
sum=$(md5sum <"$work/a.qvr")
(cd "$work" && "$game" --check-replay a.qvr --debug-log ./a.qvr) >/dev/null 2>"$work/err"
status=$?
[ $status -eq 2 ] || fail "--debug-log over the replay: status $status"
one_line "$work/err" "is the replay itself; the creature log is not written over it"
[ "$(md5sum <"$work/a.qvr")" = "$sum" ] || fail "--debug-log wrote over the replay"
echo "--debug-log over the replay: $(cat "$work/err")"
echo "nothing lost passed in $SECONDS s"
