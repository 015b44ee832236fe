#!/usr/bin/env bash
# The real program at war on a virtual X server, looked at through screenshots.
#
# 1. Default settings, no player action: within a minute of play creatures walk up to the base
#    (at least 20 pixels of a tile bordering it, in row 2 below it or columns 7 and 11 beside
#    it, differ from when play began: a creature, or what only a creature brings there, its
#    beam, its hit or its speech bubble), turret beams show as pure blue (0,0,255) pixels
#    around the base (none there when play began), explosions show as the orange of the
#    explosion pictures (at least 50 more such pixels on one tile of columns 7..11, rows 0..3
#    than when play began; of the other pictures that stand there no more than 28), and the
#    score counter changes.
# 2. TURRETHEALTH=1, BASEORBHEALTH=3 and DEBUG=1: the base soon falls and play stops. The
#    signal is the caption: in debug mode every tick writes the cursor's tile into it, so
#    while play runs the caption follows the mouse as it moves from tile to tile; once play has
#    stopped the cursor still moves (the mouse handler sets its tile) but no tick writes it.
#    Play counts as stopped when the caption has not followed the mouse for over 3 s running;
#    by then the game-over screen stands in front of the board. On SIGTERM the
#    program writes Assets/debug.txt: every line must be one of the creature log's formats and
#    end with CR LF, and a game like this one must have logged the kinds of line every
#    creature writes (force params, at, target M0, target M2) and targets acquired, among
#    them the orb.
#
# Each run copies the program into a folder of its own whose Assets folder links the build's
# files (the program finds Assets beside its real path), with a settings.ini of the run's own.
#
#   real_combat_test.sh <quorvatide> [folder to keep the screenshots in]
set -u
game=$1
keep=${2:-}
source "$(dirname "$0")/real_program.sh"
keep_shots "$keep" '*.png'
need_tools xdotool import convert

# Seconds of play each part may take at most.
play_limit=60

# tile <shot> <column> <row>: a hash of the pixels of one playfield tile
tile() {
    convert "$work/$1.png" -crop "35x35+$((9 + 35 * $2))+$((9 + 35 * $3))" +repage -format '%#' info:
}

# The base and the tiles around it: columns 7..11, rows 0..3, as a crop of the window.
around_base="175x140+$((9 + 35 * 7))+9"
# per_tile: reads a 5 x 4 picture in ImageMagick's text form and prints "column row value"
# for each tile of the base area, the value scaled to pixels of a tile.
per_tile() {
    awk 'NR > 1 { split($0, v, /[^0-9.]+/); printf "%d %d %d\n", v[1] + 7, v[2], v[3] * 1225 / 65535 + 0.5 }'
}
# Pure blue (0,0,255) pixels around the base: the turrets' beams.
blue_pixels() {
    convert "$work/$1.png" -crop "$around_base" +repage -fill black +opaque '#0000FF' \
        -fill white -opaque '#0000FF' -format '%[fx:round(mean*w*h)]' info:
}
# Pixels per tile in the orange of the explosion pictures. Of all the other pictures that can
# stand there in this test, the builder bot (idle on its tile below the orb) has the most, 28.
fire_per_tile() {
    convert "$work/$1.png" -crop "$around_base" +repage \
        -fx '(r >= 0.90 && g >= 0.35 && g <= 0.80 && b <= 0.40) ? 1 : 0' -colorspace gray \
        -scale 5x4 -depth 16 txt:- | per_tile
}
# Pixels per tile that differ between two shots, around the base.
changed_per_tile() {
    convert \( "$work/$1.png" -crop "$around_base" +repage \) \
        \( "$work/$2.png" -crop "$around_base" +repage \) -compose difference -composite \
        -colorspace gray -threshold 0 -scale 5x4 -depth 16 txt:- | per_tile
}
score() { convert "$work/$1.png" -crop 169x20+720+24 +repage -format '%#' info:; }

# start_play: clicks the splash screen, leaves the pointer off the playfield, and waits until
# the splash screen has gone.
start_play() {
    shot splash
    xdotool mousemove --window "$win" $(centre 10 10) click 1
    xdotool mousemove --window "$win" 800 650
    local waited=0
    while :; do
        shot begun
        [ "$(tile splash 4 4)" != "$(tile begun 4 4)" ] && break
        waited=$((waited + 1))
        [ $waited -lt 20 ] || fail "the splash screen is still shown"
        sleep 0.5
    done
}

start_xvfb

# ---------------------------------------------------------------- 1. a battle, default settings

start_game "$(exe_dir battle)/quorvatide"
find_window
sleep 0.5
start_play
SECONDS=0
[ "$(blue_pixels begun)" -eq 0 ] || fail "blue beams before any creature came near the base"
begun_score=$(score begun)
declare -A begun_fire=()
while read -r x y n; do begun_fire[$x,$y]=$n; done < <(fire_per_tile begun)

walked='' beams='' boom='' scored=''
while [ -z "$walked" ] || [ -z "$beams" ] || [ -z "$boom" ] || [ -z "$scored" ]; do
    [ "$SECONDS" -lt "$play_limit" ] || break
    shot now
    if [ -z "$walked" ]; then
        # A tile bordering the base: row 2 below it, columns 7 and 11 beside it.
        while read -r x y n; do
            if [ "$n" -ge 20 ] && { [ "$y" -eq 2 ] || [ "$x" -eq 7 ] || [ "$x" -eq 11 ]; } &&
                [ "$y" -le 2 ]; then
                walked="after $SECONDS s (tile $x,$y)"
                cp "$work/now.png" "$work/walked.png"
                break
            fi
        done < <(changed_per_tile begun now)
    fi
    if [ -z "$beams" ]; then
        n=$(blue_pixels now)
        [ "$n" -ge 30 ] && beams="after $SECONDS s ($n pixels)" && cp "$work/now.png" "$work/beams.png"
    fi
    if [ -z "$boom" ]; then
        while read -r x y n; do
            if [ $((n - ${begun_fire[$x,$y]:-0})) -ge 50 ]; then
                boom="after $SECONDS s (tile $x,$y)"
                cp "$work/now.png" "$work/boom.png"
                break
            fi
        done < <(fire_per_tile now)
    fi
    [ -z "$scored" ] && [ "$(score now)" != "$begun_score" ] && scored="after $SECONDS s"
    sleep 0.3
done
[ -n "$walked" ] || fail "no creature came up to the base in $play_limit s"
echo "creatures at the base $walked"
[ -n "$beams" ] || fail "no blue turret beam in $play_limit s"
echo "turret beams $beams"
[ -n "$boom" ] || fail "no explosion around the base in $play_limit s"
echo "explosions $boom"
[ -n "$scored" ] || fail "the score did not change in $play_limit s"
echo "the score changed $scored"
stop_game
[ -e "$work/battle/Assets/debug.txt" ] && fail "debug.txt written without debug mode"
for f in "$work"/*.png; do mv "$f" "$work/battle-$(basename "$f")"; done

# ---------------------------------------------------------------- 2. the orb falls, debug mode

dir=$(exe_dir fall TURRETHEALTH=1 BASEORBHEALTH=3 DEBUG=1)
start_game "$dir/quorvatide"
find_window
sleep 0.5
start_play
SECONDS=0
# Play runs: the orb steps through its pictures every 100 ms.
declare -A orb=()
for i in 1 2 3 4 5; do
    shot "pulse$i"
    orb[$(tile "pulse$i" 9 0)]=1
done
[ ${#orb[@]} -ge 2 ] || fail "the orb does not pulse in play"

# The mouse visits a new tile every poll (columns 2 to 17 of row 12 in turn), so a caption that
# has stopped being written names none of the next fifteen. Play has stopped when the caption
# has missed eight polls running (over 3 s; a tick comes every 50 ms while play runs).
followed=0 missed=0 poll=0 stopped=''
while [ "$SECONDS" -lt "$play_limit" ]; do
    column=$((2 + poll % 16))
    poll=$((poll + 1))
    xdotool mousemove --window "$win" $(centre $column 12)
    sleep 0.4
    if [ "$(xdotool getwindowname "$win")" = "Quorvatide [$column 12]" ]; then
        followed=$((followed + 1))
        missed=0
    else
        missed=$((missed + 1))
        if [ $followed -gt 0 ] && [ $missed -ge 8 ]; then
            stopped="after about $SECONDS s"
            break
        fi
    fi
done
[ $followed -gt 0 ] || fail "the caption never followed the mouse: no tick ran"
[ -n "$stopped" ] || fail "play still ran after $play_limit s"
echo "the caption followed the mouse $followed times, then stopped following $stopped"
kill -0 "$game_pid" 2>/dev/null || fail "the program ended when play stopped"
# The board bursts for under 2 s, then the game-over screen stands in front of it: its top band
# stays the same from one shot to the next and is not what the top rows of the board showed.
shot still1
sleep 1
shot still2
band() { convert "$work/$1.png" -crop 700x101+8+8 +repage -format '%#' info:; }
[ "$(band still1)" = "$(band still2)" ] || fail "the top of the play area still changes after play stopped"
[ "$(band still1)" != "$(band pulse1)" ] || fail "the game-over screen did not come after play stopped"
echo "the game-over screen stands in front of the board"
stop_game

# ---------------------------------------------------------------- the debug log

log=$dir/Assets/debug.txt
[ -s "$log" ] || fail "no debug.txt written on exit"
lines=$(wc -l <"$log")
crlf=$(grep -c $'\r$' "$log")
[ "$crlf" -eq "$lines" ] || fail "$((lines - crlf)) of $lines lines of debug.txt do not end with CR LF"
[ "$(tail -c 2 "$log" | od -An -tx1 | tr -d ' ')" = 0d0a ] || fail "debug.txt does not end with CR LF"
n='-?[0-9]+'
formats="^Vonkel $n (force params $n $n|acquired target type $n id $n|at $n $n|at sign $n"
formats+="|not seen by sign $n|sign $n D_[DULR] $n $n |target M0 now $n $n|target M2 now $n $n)\$"
bad=$(tr -d '\r' <"$log" | grep -Evc "$formats")
[ "$bad" -eq 0 ] || fail "$bad lines of debug.txt match no format, e.g.: $(tr -d '\r' <"$log" | grep -Ev "$formats" | head -n 3)"
count() { tr -d '\r' <"$log" | grep -Ec "$1"; }
for kind in "force params" "at $n $n\$" "target M0 now" "target M2 now" "acquired target type" \
    "acquired target type 1 " "acquired target type 2 "; do
    [ "$(count "^Vonkel $n $kind")" -gt 0 ] || fail "no '$kind' line in debug.txt"
done
echo "debug.txt: $lines lines, all of the log's formats and ended by CR LF," \
    "$(count 'acquired target type 2 ') of them targeting the orb"
