#!/usr/bin/env bash
# The real program on a virtual X server: it opens a 903 x 717 window titled "Quorvatide",
# stays nearly idle on the splash screen, and ends cleanly on SIGTERM. Without a display it
# fails with one line on stderr.
set -u
game=$1
fail() { echo "FAIL: $*" >&2; exit 1; }

# No display at all.
err=$(env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER "$game" 2>&1 >/dev/null)
status=$?
[ $status -ne 0 ] || fail "started without a display"
[ "$(printf '%s\n' "$err" | wc -l)" -eq 1 ] || fail "expected one line on stderr, got: $err"
echo "no display: exit $status, '$err'"

command -v Xvfb >/dev/null || fail "Xvfb is not installed"
exec 3< <(Xvfb -displayfd 1 -screen 0 1280x1024x24 -nolisten tcp 2>/dev/null)
xvfb_pid=$!
read -r -t 20 display <&3 || fail "Xvfb did not start"
export DISPLAY=":$display"
trap 'kill $game_pid 2>/dev/null; kill $xvfb_pid 2>/dev/null' EXIT

SDL_AUDIODRIVER=dummy "$game" &
game_pid=$!
win=$(timeout 20 xdotool search --sync --name '^Quorvatide$' | head -n 1)
[ -n "$win" ] || fail "no window titled Quorvatide"
geometry=$(xwininfo -id "$win" | awk '/Width:/{w=$2} /Height:/{h=$2} END{print w "x" h}')
[ "$geometry" = "903x717" ] || fail "window is $geometry, not 903x717"
echo "window $win: $geometry"

# Idle on the splash screen: well under 2 % of a core (allowing 5 % on a loaded machine).
sleep 2
ticks() { awk '{print $14 + $15}' "/proc/$game_pid/stat"; }
t0=$(ticks)
sleep 5
t1=$(ticks)
hz=$(getconf CLK_TCK)
pct=$(( (t1 - t0) * 100 * 100 / (5 * hz) ))
echo "idle cpu: $((pct / 100)).$(printf '%02d' $((pct % 100))) % of a core"
[ "$pct" -lt 500 ] || fail "idle window uses too much cpu"

kill -TERM "$game_pid"
wait "$game_pid"
status=$?
[ $status -eq 0 ] || fail "exit status $status after SIGTERM"
echo "ended cleanly on SIGTERM"
