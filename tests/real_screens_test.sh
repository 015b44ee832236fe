#!/usr/bin/env bash
# The real program's screens on a virtual X server, looked at through screenshots, with
# settings that make the base fall within seconds: one turret hit and one orb hit are enough,
# and only the S creatures come, one every half second, straight up the middle at full pace.
#
# 1. The whole loop, without debug mode: the splash picture (the play area is splash.bmp, pixel
#    for pixel) for about 8 s, then the start text scrolling up (starttext.bmp found in the
#    play area, higher in a later shot); a click starts play (most tiles show the bare
#    background tile); P shows the pause picture over the play area and P again takes it away,
#    and the orb pulses again; with no player action the base falls: orange explosion pixels
#    on many tiles away from the base, then the game-over screen: its four bands are their
#    pictures, pixel for pixel, and between them endtext.bmp stands higher in a later shot; a
#    click brings back the splash picture, and a click on that a fresh world: the board
#    objects lie elsewhere, the turrets stand again and the counters are back at their start.
# 2. Debug mode: the window's background is maroon and the key legend box shows; the caption
#    names the tile under the mouse; typed C, V and X change the scrap and sign counters
#    (drawn from the digit pictures: 50, 100, 50; 0/4, 0/8).
# 3. Closing, in debug mode, on the splash screen, in play, paused, during the explosions and
#    on the game-over screen: SIGTERM (which SDL turns into a quit) and, on the splash screen
#    and paused, the window manager's close request (WM_DELETE_WINDOW, sent by a small Xlib
#    program compiled here) end the program with status 0, and every line of the debug.txt it
#    writes ends with CR LF.
#
# Each run copies the program into a folder of its own whose Assets folder links the build's
# files (the program finds Assets beside its real path), with a settings.ini of the run's own.
#
#   real_screens_test.sh <quorvatide> [folder to keep the screenshots in]
set -u
game=$1
keep=${2:-}
source "$(dirname "$0")/real_program.sh"
keep_shots "$keep" '[0-9][0-9]-*.png'
need_tools xdotool import convert compare
built_assets=$(dirname "$(readlink -f "$game")")/Assets
[ -f "$built_assets/settings.ini" ] || fail "no Assets folder beside $game"

quick_fall=(TURRETHEALTH=1 BASEORBHEALTH=1 INITDELAY=0 VONKELEMERGESWAP=0 SVONKELBASEEMERGE=10
    SVONKELBASESPEED=1 FVONKELBASEEMERGE=1000000 EVONKELBASEEMERGE=1000000)

# ---------------------------------------------------------------- looking at the window

keep_as() { cp "$work/$1.png" "$work/$2.png"; }
# same <shot> <geometry> <picture>: true when that part of the shot is the picture exactly
same() { [ "$(compare -metric AE "$work/$1.png[$2]" "$3" null: 2>&1)" = 0 ]; }
digest() { convert "$work/$1.png" -crop "$2" +repage -format '%#' info:; }
pixel() { convert "$work/$1.png" -format "%[pixel:p{$2,$3}]" info:; }
# The play area: the splash, pause and game-over panels cover it at (8, 8); the playfield's
# tiles start at (9, 9).
area=700x700+8+8
park() { xdotool mousemove --window "$win" 800 650; } # off the playfield

# per_tile <shot> <operations>: for each tile of columns and rows 0..17, "column row count",
# the count being the pixels the operations leave white.
per_tile() {
    local name=$1
    shift
    convert "$work/$name.png" -crop 630x630+9+9 +repage -alpha off "$@" -colorspace gray \
        -scale 18x18 -depth 16 txt:- |
        awk 'NR > 1 { split($0, v, /[^0-9.]+/); printf "%d %d %d\n", v[1], v[2], v[3] * 1225 / 65535 + 0.5 }'
}
# Tiles that show the bare background tile; on a new board most of them.
bare_tiles() {
    per_tile "$1" "$work/ground.png" -compose difference -composite -colorspace gray -threshold 0 |
        awk '$3 == 0 { n++ } END { print n + 0 }'
}
is_board() { [ "$(bare_tiles "$1")" -ge 200 ]; }
# Tiles of rows 3..17, away from the base, with at least 50 pixels in the orange of the
# explosion pictures (red from 230, green 90..204, blue to 102).
fire_tiles() {
    per_tile "$1" -separate \( -clone 0 -threshold 89.9% \) \( -clone 1 -threshold 35% \) \
        \( -clone 1 -threshold 80% -negate \) \( -clone 2 -threshold 40% -negate \) \
        -delete 0-2 -evaluate-sequence min | awk '$2 >= 3 && $3 >= 50 { n++ } END { print n + 0 }'
}
is_splash() { same "$1" $area "$built_assets/splash.bmp"; }
# pixels <shot> <geometry> <colour>: how many pixels of that part of the shot have the colour
pixels() {
    convert "$work/$1.png" -crop "$2" +repage -alpha off -fill black +opaque "$3" -fill white \
        -opaque "$3" -colorspace gray -format '%[fx:round(mean * w * h)]' info:
}
# The pause picture: the play area black but for a word in white across its middle.
is_paused() {
    [ "$(pixels "$1" 700x250+8+8 black)" -eq 175000 ] &&
        [ "$(pixels "$1" 700x250+8+458 black)" -eq 175000 ] &&
        [ "$(pixels "$1" 700x200+8+258 white)" -ge 1000 ]
}
# The game-over screen's four bands, each its picture (the right one shows the left picture).
is_gameover() {
    same "$1" 700x101+8+8 "$built_assets/gameovertop.bmp" &&
        same "$1" 50x499+8+109 "$built_assets/gameoverleft.bmp" &&
        same "$1" 50x499+658+109 "$built_assets/gameoverleft.bmp" &&
        same "$1" 700x100+8+608 "$built_assets/gameoverbottom.bmp"
}

# rows <picture> <geometry>: the mean colour of each row of a part of a picture, a line a row
rows() {
    local h=${2#*x}
    h=${h%%+*}
    convert "$1" -crop "$2" +repage -alpha off -scale "1x$h!" -depth 16 txt:- | awk 'NR > 1 { print $2 }'
}
rows "$built_assets/starttext.bmp" 600x600+0+0 >"$work/starttext.rows"
rows "$built_assets/endtext.bmp" 550x450+0+0 >"$work/endtext.rows"
# text_top <shot> <text rows> <geometry> <panel row of its top> <highest top> <lowest top>:
# where a scrolling text picture stands in a part of its panel, seen through the rows' means:
# of the tops from the highest down in steps of 10, the one at which every row seen is the
# text's row there, with the most such rows that are not plain black (at least 10). Nothing
# when there is none.
text_top() {
    rows "$work/$1.png" "$3" >"$work/seen.rows"
    awk -v top="$4" -v first="$5" -v last="$6" '
        FNR == NR { text[FNR - 1] = $0; h = FNR; next }
        { seen[FNR - 1] = $0; n = FNR }
        END {
            best = ""; most = 0
            for (t = first; t >= last; t -= 10) {
                lit = 0; ok = 1
                for (y = (t > top ? t : top); y < top + n && y < t + h; y++) {
                    if (seen[y - top] != text[y - t]) { ok = 0; break }
                    if (text[y - t] != "(0,0,0)") lit++
                }
                if (ok && lit > most) { best = t; most = lit }
            }
            if (most >= 10) print best
        }' "$work/$2" "$work/seen.rows"
}
# The start text, 600 wide, at x 48 of the 700-high splash panel, from 680 up to -600.
start_text_top() { text_top "$1" starttext.rows 600x700+56+8 0 680 -600; }
# The end text, 550 wide at x 80 of its panel, seen between the bands (rows 101..599),
# from 569 up to where it stops, 119.
end_text_top() { text_top "$1" endtext.rows 550x499+88+109 101 569 119; }

# The counters: the scrap one at (760, 80), the sign one at (760, 136), each showing its text
# in the digit pictures, "/" being fof.bmp.
counter_shows() {
    local name=$1 x=$2 y=$3 text=$4 files=() i c
    for ((i = 0; i < ${#text}; i++)); do
        c=${text:i:1}
        [ "$c" = / ] && c=of
        files+=("$built_assets/f$c.bmp")
    done
    convert "${files[@]}" +append "$work/digits.png"
    same "$name" "$(identify -format '%wx%h' "$work/digits.png")+$x+$y" "$work/digits.png"
}
scrap_shows() { counter_shows "$1" 760 80 "$2"; }
signs_shows() { counter_shows "$1" 760 136 "$2"; }

convert -size 630x630 "tile:$built_assets/Tile.bmp" "$work/ground.png" || fail "no Tile.bmp"

# poll <seconds> <test>: screenshots called "now" until the test holds for one; false when
# it has not within the time.
poll() {
    local limit=$1 test=$2 start=$SECONDS
    while :; do
        shot now
        "$test" now && return 0
        [ $((SECONDS - start)) -lt "$limit" ] || return 1
        sleep 0.2
    done
}

# ---------------------------------------------------------------- closing

# The window manager's close request, sent the way a window manager sends it: a WM_PROTOCOLS
# client message naming WM_DELETE_WINDOW. Built from source when a compiler and Xlib are here.
cat >"$work/wm_close.c" <<'EOF'
#include <X11/Xlib.h>
#include <stdlib.h>
#include <string.h>

int main(int argc, char** argv) {
    Display* display = argc == 2 ? XOpenDisplay(NULL) : NULL;
    if (!display) return 1;
    Window window = (Window)strtoul(argv[1], NULL, 0);
    XEvent event;
    memset(&event, 0, sizeof event);
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = (long)XInternAtom(display, "WM_DELETE_WINDOW", False);
    event.xclient.data.l[1] = CurrentTime;
    const Status sent = XSendEvent(display, window, False, NoEventMask, &event);
    XCloseDisplay(display);
    return sent ? 0 : 1;
}
EOF
wm_close=
for cc in cc gcc c++ g++; do
    if command -v $cc >/dev/null && $cc -o "$work/wm_close" "$work/wm_close.c" -lX11 2>/dev/null; then
        wm_close=$work/wm_close
        break
    fi
done
[ -n "$wm_close" ] || echo "NOTE: no compiler with Xlib here: closing by SIGTERM only"

# close_window: the close request, then the program must end within 10 s with status 0.
close_window() {
    if command -v xprop >/dev/null; then
        xprop -id "$win" WM_PROTOCOLS | grep -q WM_DELETE_WINDOW ||
            fail "the window does not take WM_DELETE_WINDOW: $(xprop -id "$win" WM_PROTOCOLS)"
    fi
    "$wm_close" "$win" || fail "could not send the close request"
    local waited=0
    while kill -0 "$game_pid" 2>/dev/null; do
        waited=$((waited + 1))
        [ $waited -le 50 ] || fail "the program still runs 10 s after the close request"
        sleep 0.2
    done
    reap_game "the close request"
}

# crlf_log <dir> <what>: the debug log written on exit, every line ended by CR LF.
crlf_log() {
    local log=$1/Assets/debug.txt lines crlf
    [ -f "$log" ] || fail "no debug.txt written on closing $2"
    lines=$(wc -l <"$log")
    crlf=$(grep -c $'\r$' "$log")
    [ "$crlf" -eq "$lines" ] ||
        fail "$((lines - crlf)) of $lines lines of debug.txt written on closing $2 do not end with CR LF"
    if [ -s "$log" ]; then
        [ "$(tail -c 2 "$log" | od -An -tx1 | tr -d ' ')" = 0d0a ] ||
            fail "debug.txt written on closing $2 does not end with CR LF"
    fi
    echo "debug.txt on closing $2: $lines lines, each ended by CR LF"
}

# ---------------------------------------------------------------- the way through the screens

open_game() {
    start_game "$1/quorvatide"
    find_window
    sleep 0.5
}
# to_play: a click on the splash screen, then the board must show.
to_play() {
    click $(centre 10 10)
    park
    poll 10 is_board || fail "expected the board after a click on the splash screen, saw $(bare_tiles now) bare tiles of 324"
}
to_pause() {
    xdotool key p
    poll 5 is_paused || fail "expected the pause picture after P, it did not show"
}
# to_fall <limit>: play on until the game-over screen; $fire names the shot, kept as
# "fire", with the most tiles alight on the way (0 when none).
fire=0
to_fall() {
    local limit=$1 start=$SECONDS n
    fire=0
    while :; do
        shot now
        is_gameover now && return 0
        n=$(fire_tiles now)
        if [ "$n" -gt "$fire" ]; then
            fire=$n
            keep_as now fire
        fi
        [ $((SECONDS - start)) -lt "$limit" ] ||
            fail "expected the game-over screen within $limit s of play, it did not come"
        sleep 0.1
    done
}

start_xvfb

# ---------------------------------------------------------------- 1. the whole loop

dir=$(exe_dir loop "${quick_fall[@]}")
open_game "$dir"
SECONDS=0
shot 01-splash
is_splash 01-splash || fail "expected the splash picture (splash.bmp) in the play area at start"
is_board 01-splash && fail "expected the splash picture at start, saw the board"
echo "the splash picture shows"
# After 8 s the start text takes over.
while :; do
    shot now
    is_splash now || break
    [ $SECONDS -lt 25 ] || fail "expected the start text after 8 s, the splash picture still showed after $SECONDS s"
    sleep 0.3
done
[ $SECONDS -ge 6 ] || fail "expected the splash picture for 8 s, it went after $SECONDS s"
echo "the splash picture went after about $SECONDS s"
sleep 1
shot text1
top1=$(start_text_top text1)
[ -n "$top1" ] || fail "expected the start text (starttext.bmp) scrolling in the play area, did not find it"
sleep 2
shot 02-start-text
top2=$(start_text_top 02-start-text)
[ -n "$top2" ] || fail "expected the start text in the play area 2 s later, did not find it"
[ "$top2" -lt "$top1" ] || fail "expected the start text to rise, its top went from $top1 to $top2"
echo "the start text rose from $top1 to $top2 in 2 s"

to_play
keep_as now 03-board
board_at=$SECONDS
echo "a click on the splash screen started play"

to_pause
keep_as now 04-paused
xdotool key p
poll 5 is_board || fail "expected the board again after P a second time, saw $(bare_tiles now) bare tiles of 324"
declare -A orb=()
for i in 1 2 3 4 5 6; do
    shot "pulse$i"
    orb[$(digest "pulse$i" 35x35+324+9)]=1
done
[ ${#orb[@]} -ge 2 ] || fail "expected play to go on after the pause (the orb pulsing), the orb stood still"
echo "P paused play and P again resumed it"

to_fall 45
echo "the game-over screen came $((SECONDS - board_at)) s after play began"
[ "$fire" -ge 10 ] ||
    fail "expected explosions on many tiles before the game-over screen, saw at most $fire tiles alight"
keep_as fire 05-explosions
echo "explosions on up to $fire tiles before the game-over screen"
sleep 1
shot 06-game-over
is_gameover 06-game-over || fail "expected the game-over bands to stay, they changed"
end1=$(end_text_top 06-game-over)
[ -n "$end1" ] || fail "expected the end text (endtext.bmp) between the bands, did not find it"
sleep 2.5
shot 07-game-over-later
is_gameover 07-game-over-later || fail "expected the game-over bands to stay 2.5 s later, they changed"
end2=$(end_text_top 07-game-over-later)
[ -n "$end2" ] || fail "expected the end text between the bands 2.5 s later, did not find it"
[ "$end2" -lt "$end1" ] || fail "expected the end text to rise, its top went from $end1 to $end2"
echo "the end text rose from $end1 to $end2 between the bands in 2.5 s"

click 360 360
poll 5 is_splash || fail "expected the splash picture after a click on the game-over screen"
keep_as now 08-splash-again
echo "a click on the game-over screen brought back the splash picture"
to_play
keep_as now 09-new-board
# The board objects of a new world lie elsewhere: tiles of rows 2..17 that differ.
moved=$(convert "$work/03-board.png" "$work/09-new-board.png" -crop 630x560+9+79 +repage \
    -compose difference -composite -colorspace gray -threshold 0 -scale 18x16 -depth 16 txt:- |
    awk 'NR > 1 { split($0, v, /[^0-9.]+/); if (v[3] > 0) n++ } END { print n + 0 }')
[ "$moved" -ge 10 ] || fail "expected a fresh world after the restart, only $moved tiles of rows 2..17 differ from the first board"
for t in 8,0 10,0 8,1 10,1; do
    [ "$(digest 03-board 35x35+$((9 + 35 * ${t%,*}))+$((9 + 35 * ${t#*,})))" = \
        "$(digest 09-new-board 35x35+$((9 + 35 * ${t%,*}))+$((9 + 35 * ${t#*,})))" ] ||
        fail "expected the turret on tile $t to stand again in the new world, it looks different"
done
[ "$(digest 03-board 185x52+712+8)" = "$(digest 09-new-board 185x52+712+8)" ] ||
    fail "expected the score counter back at its start in the new world"
scrap_shows 09-new-board 50 || fail "expected the scrap counter back at 50 in the new world"
echo "the new world: $moved tiles of rows 2..17 changed, the turrets stand, the counters restarted"
normal_background=$(pixel 09-new-board 4 4)
normal_legend=$(digest 09-new-board 185x67+712+436)
stop_game
[ -e "$dir/Assets/debug.txt" ] && fail "debug.txt written without debug mode"

# ---------------------------------------------------------------- 2 and 3. debug mode

# The debug legend: a maroon box with lines of white text.
legend_shown() {
    [ "$(pixels "$1" 185x67+712+436 '#800000')" -ge 7400 ] &&
        [ "$(pixels "$1" 185x67+712+436 white)" -ge 200 ]
}

# On the splash screen: the background, the legend; closed by SIGTERM.
dir=$(exe_dir splash-term DEBUG=1 "${quick_fall[@]}")
open_game "$dir"
shot 10-debug-splash
is_splash 10-debug-splash || fail "expected the splash picture at start in debug mode"
for p in "4 4" "709 4" "900 714"; do
    seen=$(pixel 10-debug-splash $p)
    [ "$seen" = "srgb(128,0,0)" ] || fail "expected the maroon background (128,0,0) at ($p) in debug mode, saw $seen"
done
[ "$normal_background" != "srgb(128,0,0)" ] || fail "expected no maroon background without debug mode"
legend_shown 10-debug-splash || fail "expected the maroon debug legend with white text at (712,436)"
[ "$(digest 10-debug-splash 185x67+712+436)" != "$normal_legend" ] ||
    fail "expected the debug legend to differ from the same place without debug mode"
echo "debug mode: maroon background and the key legend"
stop_game
crlf_log "$dir" "the splash screen"

if [ -n "$wm_close" ]; then
    dir=$(exe_dir splash-close DEBUG=1 "${quick_fall[@]}")
    open_game "$dir"
    close_window
    crlf_log "$dir" "the splash screen by the close request"
fi

# In play: the caption, the keys; closed by SIGTERM.
dir=$(exe_dir play-term DEBUG=1 "${quick_fall[@]}")
open_game "$dir"
to_play
xdotool mousemove --window "$win" $(centre 3 5)
waited=0
until [ "$(xdotool getwindowname "$win")" = "Quorvatide [3 5]" ]; do
    waited=$((waited + 1))
    [ $waited -le 20 ] || fail "expected the caption 'Quorvatide [3 5]' with the mouse on tile 3,5, saw '$(xdotool getwindowname "$win")'"
    sleep 0.1
done
park
shot keys0
scrap_shows keys0 50 || fail "expected the scrap counter at 50 before C"
signs_shows keys0 0/4 || fail "expected the sign counter at 0/4 before X"
# key <letter> <test> <shot>: typed, until the test holds for a screenshot
key() {
    xdotool type "$1"
    poll 3 "$2" || fail "expected $4 after typing $1, the counter did not show it"
    keep_as now "$3"
}
scrap100() { scrap_shows "$1" 100; }
scrap50() { scrap_shows "$1" 50; }
signs8() { signs_shows "$1" 0/8; }
key c scrap100 11-debug-scrap-c "scrap 100"
key v scrap50 keys-v "scrap 50"
key x signs8 12-debug-signs-x "signs 0/8 (a free bot)"
scrap_shows 12-debug-signs-x 50 || fail "expected the free bot to cost no scrap"
echo "debug keys: C and V changed the scrap counter, X the sign limit"
stop_game
crlf_log "$dir" "play"

# Paused: closed by SIGTERM, and by the close request.
for how in term close; do
    [ $how = close ] && [ -z "$wm_close" ] && continue
    dir=$(exe_dir "pause-$how" DEBUG=1 "${quick_fall[@]}")
    open_game "$dir"
    to_play
    to_pause
    if [ $how = term ]; then stop_game; else close_window; fi
    crlf_log "$dir" "the pause"
done

# During the explosions: closed by SIGTERM as soon as they show.
dir=$(exe_dir explosions-term DEBUG=1 "${quick_fall[@]}")
open_game "$dir"
to_play
start=$SECONDS
while :; do
    shot now
    is_gameover now && fail "expected explosions before the game-over screen in debug mode"
    [ "$(fire_tiles now)" -ge 10 ] && break
    [ $((SECONDS - start)) -lt 45 ] || fail "expected explosions within 45 s of play in debug mode"
    sleep 0.1
done
keep_as now 13-debug-explosions
stop_game
crlf_log "$dir" "the explosions"
[ -s "$dir/Assets/debug.txt" ] || fail "expected the creature log in debug.txt after a game, it is empty"

# On the game-over screen: closed by SIGTERM.
dir=$(exe_dir game-over-term DEBUG=1 "${quick_fall[@]}")
open_game "$dir"
to_play
to_fall 45
keep_as now 14-debug-game-over
stop_game
crlf_log "$dir" "the game-over screen"
[ -s "$dir/Assets/debug.txt" ] || fail "expected the creature log in debug.txt after a game, it is empty"

echo "all screens passed in $SECONDS s"
