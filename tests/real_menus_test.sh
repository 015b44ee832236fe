#!/usr/bin/env bash
# The real program on a virtual X server, played with the mouse: a click on a tile opens the
# build menu under the pointer; the right-pointing sign shows faint at once and costs 10 scrap;
# the bot walks out and builds it solid; Get on a rock pays 10 once the bot is done; the orb
# menu with too little scrap flashes the red frame around the scrap panel.
#
# The program runs from a folder of its own, with the build's Assets and settings that keep
# creatures away. The board is laid out at random, so in that copy the rocks and the ruin are
# painted solid magenta and the trees solid cyan: a screenshot then tells which tiles hold what.
#
#   real_menus_test.sh <quorvatide>
set -u
game=$1
source "$(dirname "$0")/real_program.sh"
need_tools xdotool import convert compare

# ---------------------------------------------------------------- the program's own folder
dir=$work/game
mkdir -p "$dir"
cp "$game" "$dir/quorvatide" || fail "cannot copy the program"
cp -r "$(dirname "$game")/Assets" "$dir/Assets" || fail "no Assets folder beside the program"
assets=$dir/Assets
cat >"$assets/settings.ini" <<'EOF'
[Settings]
INITDELAY=1000000
NUMSTARTRES=60
VONKELEMERGESWAP=0
EOF
for name in Rock1 Rock2 Ruin1 Tree1 Tree2; do
    colour='#FF00FF'
    [[ $name == Tree* ]] && colour='#00FFFF'
    convert -size 35x35 "xc:$colour" "BMP3:$assets/$name.bmp" || fail "cannot paint $name"
    convert -size 35x35 xc:white "BMP3:$assets/${name}A.bmp" || fail "cannot paint ${name}A"
done

start_xvfb
start_game "$dir/quorvatide"
find_window
sleep 0.5

# crop <shot> <w> <h> <x> <y>: a part of a screenshot, as a picture file; prints its name
crop() {
    local out="$work/$1-$2x$3+$4+$5.png"
    convert "$work/$1.png" -crop "$2x$3+$4+$5" +repage "$out"
    echo "$out"
}
# same <picture> <picture>: true when every pixel agrees
same() { [ "$(compare -metric AE "$1" "$2" null: 2>&1)" = "0" ]; }
# tile <shot> <column> <row>: one playfield tile of a screenshot
tile() { crop "$1" 35 35 $((9 + 35 * $2)) $((9 + 35 * $3)); }
# difference <picture> <picture>: mean difference of the pixels, 0 .. 1
difference() { convert "$1" "$2" -compose difference -composite -format '%[fx:mean]' info:; }
# pixel <shot> <x> <y>: one pixel as #RRGGBB
pixel() { echo "#$(convert "$work/$1.png" -format "%[hex:p{$2,$3}]" info:)"; }
# The scrap counter, and the same number made from the digit pictures.
counter() { crop "$1" "$((13 * ${#2}))" 20 760 80; }
digits() {
    local out="$work/digits-$1.png" files=() i
    for ((i = 0; i < ${#1}; i++)); do files+=("$assets/f${1:i:1}.bmp"); done
    convert "${files[@]}" +append "$out"
    echo "$out"
}
shows() { same "$(counter "$1" "$2")" "$(digits "$2")"; }

click $(centre 10 10) # the splash screen: play starts
sleep 0.5
shot board
shows board 50 || fail "the scrap counter does not show 50 at the start"

# What stands where: the centre pixel of every tile.
declare -A kind=()
while read -r x y colour; do
    kind[$x,$y]=$colour
done < <(convert "$work/board.png" -crop 700x700+9+9 +repage txt:- |
    awk -F'[,: ]+' 'NR > 1 && $1 % 35 == 17 && $2 % 35 == 17 {
        c = "grass"; if ($0 ~ /#FF00FF/) c = "rock"; if ($0 ~ /#00FFFF/) c = "tree"
        print int($1 / 35), int($2 / 35), c }')
[ ${#kind[@]} -eq 400 ] || fail "read ${#kind[@]} tiles, not 400"

# The sign goes on the free tile nearest to the bot, clear of the base and the tunnels and far
# enough from the board's edges that the menu is not pushed back; the rock is the nearest one
# to the sign.
dist() { local dx=$(($1 - $3)) dy=$(($2 - $4)); echo $((${dx#-} > ${dy#-} ? ${dx#-} : ${dy#-})); }
sx= sy= best=99
for ((y = 4; y <= 12; y++)); do
    for ((x = 2; x <= 16; x++)); do
        [ "${kind[$x,$y]}" = grass ] || continue
        d=$(dist $x $y 9 1)
        if [ "$d" -lt "$best" ]; then best=$d sx=$x sy=$y; fi
    done
done
[ -n "$sx" ] || fail "no free tile for the sign"
rx= ry= best=99
for ((y = 3; y <= 18; y++)); do
    for ((x = 0; x <= 19; x++)); do
        [ "${kind[$x,$y]}" = rock ] || continue
        d=$(dist $x $y $sx $sy)
        if [ "$d" -lt "$best" ]; then best=$d rx=$x ry=$y; fi
    done
done
[ -n "$rx" ] || fail "no rock on the board"
echo "sign on $sx,$sy; rock on $rx,$ry"
# The mouse rests on a tile far from both, so the cursor stays out of the way.
px=0 py=17
[ "$(dist $px $py $sx $sy)" -gt 2 ] && [ "$(dist $px $py $rx $ry)" -gt 2 ] || px=19
park() { xdotool mousemove --window "$win" $(centre $px $py); }
park
sleep 0.3
shot before

# ---------------------------------------------------------------- the build menu
click $(centre $sx $sy)
sleep 0.3
shot menu
mx=$((35 * sx)) my=$((35 * sy))
# The menu's picture has its top-left corner 9 pixels up and left of the tile's: above the
# items its top rows are the frame picture itself.
convert "$assets/menuframe.bmp" -crop 82x14+0+0 +repage "$work/frame-top.png"
same "$(crop menu 82 14 $mx $my)" "$work/frame-top.png" || fail "the build menu is not at $mx,$my"
same "$(crop menu 82 14 $((mx + 1)) $my)" "$work/frame-top.png" &&
    fail "the build menu is a pixel off"
echo "the build menu opened at $mx,$my under the pointer"

# The right-pointing sign: its item lies at (60, 75) of the menu.
click $((mx + 60)) $((my + 75))
park
sleep 0.2
shot faint
shows faint 40 || fail "the scrap counter does not show 40 after the sign"
faint=$(difference "$(tile before $sx $sy)" "$(tile faint $sx $sy)")
awk -v d="$faint" 'BEGIN { exit !(d > 0.005) }' || fail "no sign on $sx,$sy (difference $faint)"
echo "a faint sign on $sx,$sy, 10 scrap paid"

# Get on the rock, queued behind the sign for the same bot. Near the right or bottom edge the
# menu opens further in.
click $(centre $rx $ry)
sleep 0.2
gx=$((35 * (rx < 17 ? rx : 17))) gy=$((35 * (ry < 16 ? ry : 16)))
click $((gx + 20)) $((gy + 115)) # the Get item
park
sleep 0.2
shot marked
[ "$(pixel marked $((9 + 35 * rx + 17)) $((9 + 35 * ry + 17)))" != "#FF00FF" ] ||
    fail "the rock is not marked for gathering"
shows marked 40 || fail "gathering paid before the bot got there"

# The bot builds the sign, walks to the rock and gathers it: then the counter is back at 50.
SECONDS=0
while :; do
    shot later
    shows later 50 && break
    [ "$SECONDS" -lt 15 ] || fail "the rock was not paid for within 15 s"
    sleep 0.3
done
echo "the rock paid 10 after $SECONDS s"
solid=$(difference "$(tile before $sx $sy)" "$(tile later $sx $sy)")
awk -v s="$solid" -v f="$faint" 'BEGIN { exit !(s > 2.5 * f) }' ||
    fail "the sign is not solid (difference $solid against $faint when faint)"
echo "the sign on $sx,$sy is solid (difference $solid, $faint when faint)"

# ---------------------------------------------------------------- the orb menu
[ "$(pixel later 714 66)" != "#FF0000" ] || fail "the scrap frame is up already"
click $(centre 9 0)
sleep 0.3
shot orb
convert "$assets/orbmenuframe.bmp" -crop 82x16+0+0 +repage "$work/orb-top.png"
same "$(crop orb 82 16 315 0)" "$work/orb-top.png" || fail "the orb menu is not at 315,0"
click 330 45
flashed=
for n in 1 2 3 4 5 6 7 8; do
    shot "flash$n"
    [ "$(pixel "flash$n" 714 66)" = "#FF0000" ] && flashed=yes
done
[ -n "$flashed" ] || fail "no red frame around the scrap panel"
same "$(crop flash8 82 16 315 0)" "$work/orb-top.png" && fail "the orb menu stayed open"
shows flash8 50 || fail "the refused bot cost scrap"
echo "too little scrap for a bot: the red frame flashed"

kill -0 "$game_pid" 2>/dev/null || fail "the program ended"
stop_game
