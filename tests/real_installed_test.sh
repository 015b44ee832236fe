#!/usr/bin/env bash
# The installed game (bin/quorvatide of a prefix made by `cmake --install`) on a virtual X
# server at QUORVATIDE_SCALE=2: a 1806 x 1434 window showing the splash screen as the build's
# own program shows it at 1x, every pixel a sharp 2 x 2 block; a click on the splash through
# the enlarged window starts play and the cursor follows the mouse to its tile. Then, as a player
# of a read-only installation, with a settings.ini of their own: debug mode from it, and the
# debug log in the state folder with one line on stderr saying where.
#
#   real_installed_test.sh <quorvatide of the build> <installed bin/quorvatide>
set -u
game=$1
installed=$2
source "$(dirname "$0")/real_program.sh"
need_tools xdotool import convert compare xwininfo
[ -x "$installed" ] || fail "no installed program $installed"

start_xvfb 2560x1600
pixel() { convert "$work/$1.png" -format "%[pixel:p{$2,$3}]" info:; }
# tile <shot> <column> <row> <scale>: a hash of the pixels of one playfield tile
tile() {
    convert "$work/$1.png" -crop "$((35 * $4))x$((35 * $4))+$(((9 + 35 * $2) * $4))+$(((9 + 35 * $3) * $4))" \
        +repage -format '%#' info:
}

# The build's program at 1x, for the picture the splash screen should be. Each of the two is a
# first start, with the welcome beside the title screen: a state folder of its own.
start_game "$game" XDG_STATE_HOME="$work/state-1x" QUORVATIDE_SCALE=1
find_window
sleep 0.5
shot build1x
stop_game

start_game "$installed" XDG_STATE_HOME="$work/state-2x" QUORVATIDE_SCALE=2
find_window
geometry=$(window_size)
[ "$geometry" = "1806x1434" ] || fail "the installed game's window is $geometry, not 1806x1434"
echo "window $win: $geometry"
sleep 0.5
shot splash
convert "$work/build1x.png" -sample 200% "$work/expected.png"
differ=$(compare -metric AE "$work/expected.png" "$work/splash.png" null: 2>&1)
[ "$differ" = "0" ] || fail "the 2x splash screen differs from the 1x one enlarged in $differ pixels"
echo "the splash screen at 2x is the 1x one with every pixel doubled"

# Window coordinates are twice the game's.
read -r x y < <(centre 10 10)
click $((2 * x)) $((2 * y))
sleep 0.4
shot start
[ "$(tile splash 4 4 2)" != "$(tile start 4 4 2)" ] || fail "the click did not start play"
read -r x y < <(centre 3 5)
xdotool mousemove --window "$win" $((2 * x)) $((2 * y))
sleep 0.4
shot moved
[ "$(tile start 3 5 2)" != "$(tile moved 3 5 2)" ] || fail "no cursor on tile (3, 5) under the mouse"
[ "$(tile start 0 0 2)" != "$(tile moved 0 0 2)" ] || fail "the cursor stayed on its old tile"
echo "a click through the 2x window started play; the cursor followed the mouse to tile (3, 5)"
stop_game

# A player's own settings, and an installed Assets folder that takes no log (a folder named
# debug.txt is in the way even for root).
assets=$(dirname "$(readlink -f "$installed")")/Assets
mkdir -p "$XDG_CONFIG_HOME/quorvatide" "$assets/debug.txt"
printf '[Settings]\nDEBUG=1\n' >"$XDG_CONFIG_HOME/quorvatide/settings.ini"
env SDL_AUDIODRIVER=dummy QUORVATIDE_SCALE=1 "$installed" 2>"$work/stderr" &
game_pid=$!
find_window
sleep 0.5
shot debug
[ "$(pixel debug 4 4)" = "srgb(128,0,0)" ] || fail "no debug mode from the player's settings.ini: $(pixel debug 4 4)"
stop_game
rmdir "$assets/debug.txt"
log=$XDG_STATE_HOME/quorvatide/debug.txt
[ -f "$log" ] || fail "no debug log in $log; stderr: $(cat "$work/stderr")"
[ "$(wc -l <"$work/stderr")" -eq 1 ] && grep -q "the debug log is in $log" "$work/stderr" ||
    fail "stderr does not say where the log is: $(cat "$work/stderr")"
echo "debug mode from $XDG_CONFIG_HOME/quorvatide/settings.ini; the log went to $log"
