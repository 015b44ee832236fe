#!/usr/bin/env bash
# Resident memory of the real program on a virtual X server (SDL's dummy audio driver, so that
# the music is mixed as on a sound card): on the splash screen after 5 s, and after a minute
# of play (or SECONDS).
#   scripts/memory.sh [PROGRAM [SECONDS]]     build/quorvatide and 60 s by default
# Prints VmRSS and VmHWM (peak) from /proc, in MB.
set -u
game=$(readlink -f "${1:-build/quorvatide}")
seconds=${2:-60}
source "$(dirname "$0")/../tests/real_program.sh"

mb() { # mb <field>: a field of the program's /proc status, in MB
    awk -v f="$1:" '$1 == f { printf "%.1f", $2 / 1024 }' "/proc/$game_pid/status"
}
start_xvfb
start_game "$game"
find_window
sleep 5
echo "splash: VmRSS $(mb VmRSS) MB, VmHWM $(mb VmHWM) MB"
click 358 358
sleep "$seconds"
kill -0 "$game_pid" 2>/dev/null || fail "the program ended during play"
echo "after $seconds s of play: VmRSS $(mb VmRSS) MB, VmHWM $(mb VmHWM) MB"
stop_game >/dev/null
