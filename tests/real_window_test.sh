#!/usr/bin/env bash
# The real program on a virtual X server: it opens a 903 x 717 window titled "Quorvatide",
# stays nearly idle on the splash screen, and ends cleanly on SIGTERM. Without a display it
# fails with one line on stderr.
set -u
game=$1
source "$(dirname "$0")/real_program.sh"

# No display at all.
err=$(env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER "$game" 2>&1 >/dev/null)
status=$?
[ $status -ne 0 ] || fail "started without a display"
[ "$(printf '%s\n' "$err" | wc -l)" -eq 1 ] || fail "expected one line on stderr, got: $err"
echo "no display: exit $status, '$err'"

start_xvfb
start_game "$game"
find_window
geometry=$(window_size)
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

stop_game
