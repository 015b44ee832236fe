#!/usr/bin/env bash
# Records the corpus of replays again, into this folder (or another given as the second
# argument): sessions of the real program on a virtual X server, played with xdotool, and games
# of the balance lab's players on varied settings. Run it only when a change is meant to change
# how recorded games play, and say in the commit why the corpus changed.
#
#   tests/replays/record.sh <build folder> [out folder]
set -u
build=$(readlink -f "${1:?usage: record.sh <build folder> [out folder]}")
here=$(cd "$(dirname "$0")" && pwd)
out=$(readlink -f "${2:-$here}")
game=$build/quorvatide
source "$here/../real_program.sh"
need_tools xdotool
mkdir -p "$out"
replays=$XDG_STATE_HOME/quorvatide/replays

# keep <name>: the session just played becomes <name>.qvr of the corpus, once it checks.
keep() {
    local file
    file=$(ls -t "$replays"/*.qvr | head -n 1)
    "$game" --check-replay "$file" || fail "$1 does not check"
    mv "$file" "$out/$1.qvr"
}
# press <key ...>, pause <seconds>
press() { xdotool key --window "$win" "$@"; }
pause() { sleep "$1"; }
# item <column> <row> <x> <y>: a click on the build menu opened on a tile, at (x, y) of the
# menu, which near the right and bottom edges opens further in.
item() { click $((35 * ($1 < 17 ? $1 : 17) + $3)) $((35 * ($2 < 16 ? $2 : 16) + $4)); }
# sign <column> <row> <0 down|1 up|2 left|3 right>
sign() {
    local at=("20 35" "60 35" "20 75" "60 75")
    click $(centre "$1" "$2")
    pause 0.15
    item "$1" "$2" ${at[$3]}
    pause 0.15
}
get() {
    click $(centre "$1" "$2")
    pause 0.15
    item "$1" "$2" 20 115
    pause 0.15
}
bot() {
    click $(centre 9 0)
    pause 0.2
    click 330 45
    pause 0.2
}
wander() { # the mouse about the board for a while
    local i
    for ((i = 0; i < $1; i++)); do
        xdotool mousemove --window "$win" $((30 + (i * 97) % 680)) $((30 + (i * 61) % 680))
        pause 0.1
    done
}

start_xvfb

# ---------------------------------------------------------------- the player's hand
# Signs, gathers and bots on a crowded board, a pause, music and sounds off and on again.
dir=$(exe_dir hand BOTCOST=40 GATHER_SCRAP=20 NUMSTARTRES=200)
start_game "$dir/quorvatide"
find_window
pause 1
click $(centre 10 10)
wander 20
sign 4 9 3
sign 15 9 2
for t in "3 5" "6 6" "12 4" "14 6" "2 12" "17 13" "8 14" "11 15"; do get $t; done
wander 30
bot
sign 9 14 1
press p
pause 2
press p m s
wander 40
bot
get 5 3
press m s
wander 60
stop_game
keep real-signs-gathers-bots

# ---------------------------------------------------------------- to the end and again
# A frail base falls, the game-over screen, a restart; the second game falls too.
dir=$(exe_dir fall TURRETHEALTH=1 BASEORBHEALTH=2 EVONKELBASEEMERGE=20 SVONKELBASEEMERGE=100000 \
    FVONKELBASEEMERGE=100000 EVONKELBASESPEED=4)
start_game "$dir/quorvatide"
find_window
pause 1
click $(centre 10 10)
wander 20
sign 9 6 2
pause 14
click $(centre 10 10) # the restart
pause 2
click $(centre 10 10)
press m
pause 15
click $(centre 10 10)
pause 3
stop_game
keep real-fall-and-restart

# ---------------------------------------------------------------- debug mode
dir=$(exe_dir debug DEBUG=1 FVONKELBASEEMERGE=40)
start_game "$dir/quorvatide"
find_window
pause 1
click $(centre 10 10)
pause 4
for key in x x c c c v b g a f; do
    press "$key"
    pause 0.3
done
wander 30
press B g z n
sign 6 8 3
pause 6
stop_game
keep real-debug-keys

# ---------------------------------------------------------------- twice the size
# The window at 2x: input reaches the game in its own pixels.
start_game "$game" QUORVATIDE_SCALE=2
find_window
pause 1
xdotool mousemove --window "$win" 700 700 click 1
for i in $(seq 1 20); do
    xdotool mousemove --window "$win" $((80 * i % 1400)) $((60 * i % 1400))
    pause 0.1
done
xdotool mousemove --window "$win" $((2 * (9 + 35 * 7 + 17))) $((2 * (9 + 35 * 11 + 17))) click 1
pause 0.2
xdotool mousemove --window "$win" $((2 * (35 * 7 + 60))) $((2 * (35 * 11 + 35))) click 1
pause 12
stop_game
keep real-scaled-2x

# ---------------------------------------------------------------- the balance lab's players
lab() { # lab <name> <player> <seed> [settings lines ...]
    local name=$1 player=$2 seed=$3 ini=$work/$1.ini
    shift 3
    { echo "[Settings]"; printf '%s\n' "$@"; } >"$ini"
    rm -rf "$work/lab"
    "$build/qv_balance" --player "$player" --games 1 --seed "$seed" --jobs 1 --settings "$ini" \
        --save-replays "$work/lab" >/dev/null || fail "the lab could not play $name"
    local file
    file=$(ls "$work/lab"/*.qvr | head -n 1)
    "$game" --check-replay "$file" || fail "$name does not check"
    mv "$file" "$out/$name.qvr"
}
lab lab-builder-default builder 11
lab lab-builder-cheap-bots builder 12 BOTCOST=50 SIGNCOST=5
lab lab-random-frail random 13 TURRETHEALTH=3 BASEORBHEALTH=5 VONKELEMERGESWAP=5
lab lab-idle-late-and-fixed idle 14 INITDELAY=200 VONKELEMERGESWAP=0 NUMSTARTRES=-1

ls -l "$out"/*.qvr
