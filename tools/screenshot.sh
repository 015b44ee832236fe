#!/usr/bin/env bash
# Starts the game on a virtual X server, waits, and saves a screenshot of its window.
#   tools/screenshot.sh <game executable> <out.png> [seconds to wait] [xdotool commands...]
# Any further arguments are run as xdotool commands against the window before the shot,
# e.g.  mousemove --window %1 100 100 click 1
set -eu
game=$1 out=$2 wait=${3:-2}
shift $(( $# > 3 ? 3 : $# ))
exec 3< <(Xvfb -displayfd 1 -screen 0 1024x768x24 -nolisten tcp 2>/dev/null)
xvfb=$!
read -r -t 20 display <&3
export DISPLAY=":$display"
SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy} "$game" &
pid=$!
trap 'kill $pid 2>/dev/null; kill $xvfb 2>/dev/null' EXIT
win=$(timeout 20 xdotool search --sync --name '^Quorvatide')
sleep 0.5
if [ $# -gt 0 ]; then xdotool search --name '^Quorvatide' "$@"; fi
sleep "$wait"
import -window "$win" "$out"
echo "saved $out"
