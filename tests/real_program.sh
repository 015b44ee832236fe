# Shared by the tests that run the real program on a virtual X server; sourced, not run.
# Gives: fail; need_tools; a work folder $work, removed on exit together with the program and the
# server (keep_shots keeps screenshots of it);
# start_xvfb [screen size, default 1280x1024]; start_game <program> [VAR=value ...] (silent audio unless told otherwise);
# find_window (sets $win); stop_game (SIGTERM, which must end the program with status 0);
# exe_dir (a copy of the program with settings of its own); shot, centre and click.

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

work=$(mktemp -d)
game_pid=
xvfb_pid=
cleanup() {
    [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
# The player's own folders are the test's, empty: no settings.ini of the real user's is read.
export XDG_CONFIG_HOME=$work/config XDG_STATE_HOME=$work/state

# need_tools <tool ...>: fails unless every one is installed
need_tools() {
    local tool
    for tool in "$@"; do
        command -v "$tool" >/dev/null || fail "$tool is not installed"
    done
}

# keep_shots <folder> <files>: when a folder is given, the screenshots of $work matching the
# pattern are copied there on exit
keep_shots() {
    [ -n "$1" ] || return 0
    mkdir -p "$1" || exit 1
    trap "cp \"$work\"/$2 \"$1\"/ 2>/dev/null; cleanup" EXIT
}

start_xvfb() {
    command -v Xvfb >/dev/null || fail "Xvfb is not installed"
    exec 3< <(Xvfb -displayfd 1 -screen 0 "${1:-1280x1024}x24" -nolisten tcp 2>/dev/null)
    xvfb_pid=$!
    local display
    read -r -t 20 display <&3 || fail "Xvfb did not start"
    export DISPLAY=":$display"
}

start_game() {
    local program=$1
    shift
    env SDL_AUDIODRIVER=dummy "$@" "$program" &
    game_pid=$!
}

find_window() {
    win=$(timeout 20 xdotool search --sync --name '^Quorvatide$' | head -n 1)
    [ -n "$win" ] || fail "no window titled Quorvatide"
}

# reap_game <what ended it>: waits for the program to end, which must be with status 0.
reap_game() {
    wait "$game_pid"
    local status=$?
    game_pid=
    [ $status -eq 0 ] || fail "exit status $status after $1"
    echo "ended cleanly on $1"
}

stop_game() {
    kill -TERM "$game_pid"
    reap_game SIGTERM
}

# exe_dir <name> [KEY=value ...]: a copy of $game in $work/<name> whose Assets folder links the
# build's files (the program finds Assets beside its real path) and, when settings are given,
# holds a settings.ini of just those. Prints the folder.
exe_dir() {
    local dir=$work/$1 f built
    shift
    built=$(dirname "$(readlink -f "$game")")/Assets
    [ -f "$built/settings.ini" ] || fail "no Assets folder beside $game"
    mkdir -p "$dir/Assets"
    cp "$game" "$dir/quorvatide"
    for f in "$built"/*; do
        case $(basename "$f") in debug.txt) continue ;; settings.ini) [ $# -gt 0 ] && continue ;; esac
        [ -f "$f" ] && ln -s "$(readlink -f "$f")" "$dir/Assets/"
    done
    [ $# -gt 0 ] && { echo "[Settings]"; printf '%s\n' "$@"; } >"$dir/Assets/settings.ini"
    echo "$dir"
}

# shot <name>: a screenshot of the window as $work/<name>.png
# The game window's client size, as WIDTHxHEIGHT.
window_size() { xwininfo -id "$win" | awk '/Width:/{w=$2} /Height:/{h=$2} END{print w "x" h}'; }

shot() { import -window "$win" "$work/$1.png" || fail "no screenshot"; }
# centre <column> <row>: window coordinates of a playfield tile's centre
centre() { echo $((9 + 35 * $1 + 17)) $((9 + 35 * $2 + 17)); }
# click <x> <y> in window coordinates
click() { xdotool mousemove --window "$win" "$1" "$2" click 1; }

# menu_y <item> <items...>: the window y of the middle of the front end's menu button <item>,
# in a menu of <items> in their order (36 px high, 10 apart, under an 84 px heading, the panel
# in the middle of the play area; see frontend/screens.cpp)
menu_y() {
    local item=$1 i=0 at=-1 n
    shift
    n=$#
    for name in "$@"; do
        [ "$name" = "$item" ] && at=$i
        i=$((i + 1))
    done
    [ "$at" -ge 0 ] || fail "no $item in the menu: $*"
    local height=$((84 + n * 36 + (n - 1) * 10 + 22))
    local top=$(((716 - height) / 2))
    [ "$top" -ge 12 ] || top=12
    echo $((top + 84 + at * 46 + 18))
}
# The menu's buttons: of a game going on, and on the title or game-over screen.
menu_in_play=(Resume "New game" "Learn to play" "Daily challenge" Records "Watch a replay" Options Quit)
menu_on_title=(Play "Learn to play" "Daily challenge" Records "Watch a replay" Options Quit)
