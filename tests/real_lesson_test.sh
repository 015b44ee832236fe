#!/usr/bin/env bash
# The lesson in the real program on a virtual X server. With the mouse: quorvatide --learn,
# every step's caption shows and the step is recognised (options.ini keeps the last step
# reached), steps 1 to 6 done by hand, step 7 shown by Show me and taken over by a click, the
# cycle's turn and the turrets seen in the game taken over, and the end's Play on. Then the same
# with the keyboard alone (the arrows and Enter, Escape for the menu). Every session's replay
# checks. At the first start the welcome beside the title screen begins the lesson; once a
# replay is kept it does not show.
#
#   real_lesson_test.sh <quorvatide> [folder to keep the screenshots in]
set -u
game=$1
keep=${2:-}
source "$(dirname "$0")/real_program.sh"
keep_shots "$keep" '[a-z]*.png'
need_tools xdotool import convert

# The lesson's board (frontend/lesson.h): the sign's tile, the rock, the orb.
sign=(18 14)
rock=(6 2)
orb=(9 0)

# step_is <n>: the options file says the lesson has reached step n
step_is() { grep -q "^lesson step = $1\$" "$XDG_CONFIG_HOME/quorvatide/options.ini" 2>/dev/null; }
# wait_step <n> <seconds>
wait_step() {
    local start=$SECONDS
    until step_is "$1"; do
        [ $((SECONDS - start)) -lt "$2" ] ||
            fail "step $1 not recognised within $2 s: $(grep '^lesson' "$XDG_CONFIG_HOME/quorvatide/options.ini" 2>&1 | tr '\n' ' ')"
        sleep 0.2
    done
}
# edge <shot> [geometry]: pixels in the gold of the front end's panels' edges (in that part)
edge() {
    convert "$work/$1.png" -crop "${2:-903x717+0+0}" +repage -alpha off -fill black +opaque "#D6A040" -fill white -opaque "#D6A040" \
        -colorspace gray -format '%[fx:round(mean * w * h)]' info:
}
# captioned <shot> <n>: a caption shows over the play area, and the lesson is at step n
captioned() {
    shot "$1"
    [ "$(edge "$1")" -gt 300 ] || fail "no caption at step $2 ($1.png)"
    step_is "$2" || fail "the caption of step $2 shows, the options say otherwise"
    echo "step $2: its caption shows"
}
keys() {
    xdotool key --window "$win" --delay 60 "$@"
    sleep 0.2
}
times() {
    local n=$1 list=() i
    for ((i = 0; i < n; i++)); do list+=("$2"); done
    keys "${list[@]}"
}
press() {
    xdotool mousemove --window "$win" "$1" "$2"
    sleep 0.15
    xdotool click 1
    sleep 0.3
}
# The build menu opens at its tile's corner, held within the board; its items lie 3 and 44 across,
# 17, 58 and 99 down in it (each 35 square). The orb menu's one item at 24, 16.
menu_item() {
    local x=$((35 * $1)) y=$((35 * $2))
    [ "$1" -lt 17 ] || x=595
    [ "$2" -lt 16 ] || y=560
    echo $((x + ($3 ? 44 : 3) + 17)) $((y + (${4} == 0 ? 17 : ${4} == 1 ? 58 : 99) + 17))
}
# The menu in play during the lesson.
menu_in_lesson=(Resume "Show me" "Skip the lesson" "${menu_in_play[@]:1}")
show_me_y=$(menu_y "Show me" "${menu_in_lesson[@]}")
lesson_replays_check() {
    local n=0 replay
    for replay in "$XDG_STATE_HOME"/quorvatide/replays/*.qvr; do
        "$game" --check-replay "$replay" >/dev/null || fail "$replay does not check"
        n=$((n + 1))
    done
    [ "$n" -eq "$1" ] || fail "$n replays, not $1"
    ls "$XDG_STATE_HOME"/quorvatide/replays/ | grep -q '^lesson-7-continued-' ||
        fail "no replay of the demonstration taken over"
    echo "all $n replays check, the demonstration taken over among them"
}
start_lesson() {
    env SDL_AUDIODRIVER=dummy "$game" --learn &
    game_pid=$!
    find_window
    sleep 0.5
}

start_xvfb

# ---------------------------------------------------------------- with the mouse
export XDG_CONFIG_HOME=$work/mouse/config XDG_STATE_HOME=$work/mouse/state
start_lesson
wait_step 1 10
captioned mouse-1 1
press $(centre "${sign[@]}")
wait_step 2 3
captioned mouse-2 2
press $(menu_item "${sign[@]}" 0 1) # the sign pointing left
wait_step 3 3
captioned mouse-3 3
wait_step 4 20 # the bot built it
captioned mouse-4 4
wait_step 5 60 # an F creature was sent along it
captioned mouse-5 5
press $(centre "${rock[@]}")
press $(menu_item "${rock[@]}" 0 2) # Get
wait_step 6 30
captioned mouse-6 6
press $(centre "${orb[@]}")
press $((315 + 24 + 17)) $((16 + 17)) # the bot
wait_step 7 5
captioned mouse-7 7
# Show me, from the menu (Escape): the demonstration, taken over by a click on the board.
xdotool key --window "$win" Escape
sleep 0.4
press 358 $show_me_y
sleep 1
shot mouse-shown
[ "$(edge mouse-shown)" -gt 300 ] || fail "no caption over the demonstration"
press 300 300
wait_step 8 30 # the red frame, then the cycle turned
captioned mouse-8 8
for _ in $(seq 100); do grep -q '^lesson done = on$' "$XDG_CONFIG_HOME/quorvatide/options.ini" && break; sleep 0.2; done
grep -q '^lesson done = on$' "$XDG_CONFIG_HOME/quorvatide/options.ini" || fail "the lesson did not end"
sleep 0.3
shot mouse-end
xdotool key --window "$win" Escape # Play on
sleep 0.5
shot mouse-on
sleep 1
shot mouse-on2
[ "$(edge mouse-on2)" -lt 300 ] || fail "Play on left a caption or the menu"
echo "the lesson ended; Play on goes on unguided"
stop_game
lesson_replays_check 2

# ---------------------------------------------------------------- with the keyboard alone
export XDG_CONFIG_HOME=$work/keys/config XDG_STATE_HOME=$work/keys/state
start_lesson
wait_step 1 10
captioned keys-1 1
# The pointer comes up on tile 9, 9.
times 9 Right
times 5 Down
keys Return
wait_step 2 3
captioned keys-2 2
keys Down Return # the menu's first item is the sign pointing down; below it, left
wait_step 3 3
captioned keys-3 3
wait_step 4 20
captioned keys-4 4
wait_step 5 60
captioned keys-5 5
# Back on the sign's tile when the menu closed: to the rock, Get.
times 12 Left
times 12 Up
keys Return Down Down Return
wait_step 6 30
captioned keys-6 6
times 3 Right
times 2 Up
keys Return Return # the orb menu, its bot
wait_step 7 5
captioned keys-7 7
keys Escape Down Return # the menu, Show me
sleep 1
keys Return # takes it over
wait_step 8 30
captioned keys-8 8
for _ in $(seq 100); do grep -q '^lesson done = on$' "$XDG_CONFIG_HOME/quorvatide/options.ini" && break; sleep 0.2; done
grep -q '^lesson done = on$' "$XDG_CONFIG_HOME/quorvatide/options.ini" || fail "the lesson did not end with the keys"
keys Return # Play on
sleep 1
shot keys-on
[ "$(edge keys-on)" -lt 300 ] || fail "Play on left a caption or the menu"
echo "the lesson played with the keyboard alone"
stop_game
lesson_replays_check 2

# ---------------------------------------------------------------- the first start
export XDG_CONFIG_HOME=$work/first/config XDG_STATE_HOME=$work/first/state
start_game "$game"
find_window
sleep 0.8
shot first
# Over the side panel's credits, where the title screen is not.
credits=185x197+712+510
[ "$(edge first $credits)" -gt 300 ] || fail "no welcome at the first start"
press 804 612 # Learn to play
wait_step 1 5
captioned first-lesson 1
echo "the first start offered the lesson, and its button began it"
stop_game
start_game "$game"
find_window
sleep 0.8
shot second
[ "$(edge second $credits)" -lt 100 ] || fail "the welcome showed with a replay kept"
echo "with a replay kept, no welcome"
stop_game
