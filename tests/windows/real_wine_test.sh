#!/usr/bin/env bash
# The Windows build's real program under wine, on a virtual X server, in wine's prefix of the
# tests' own (scripts/wine_run.sh):
#  - --help and --version print on the output it was given; bad input as on Linux: an unknown
#    option and a damaged replay exit 2 with one line; without a display, Linux's line and
#    status 1;
#  - from a folder whose name is not ASCII ("Zoë Café"): the splash picture on screen, its
#    pixels those of Assets/splash.bmp; a click starts play; P shows the pause panel;
#    QUORVATIDE_FRAME_STATS gives the play frame's compose time, beside the Linux program's on
#    the same display;
#  - with a picture and a sound missing from Assets the game plays on, and the player's own
#    %APPDATA%\Quorvatide\settings.ini is read instead of the one in Assets;
#  - a debug-mode session writes debug.txt, and its replay, in %LOCALAPPDATA%\Quorvatide,
#    checks on Linux with a --debug-log byte for byte debug.txt;
#  - with the game's folder and the replay folder read-only for the player (as nobody, when the
#    tests run as root), one line each for the replay and the debug log, and play goes on;
#  - the whole corpus checks in one process of quorvatide.exe --check-replay, timed beside the
#    Linux program as a multiple of the sessions' own time; good and bad replays in one run give
#    Linux's lines and its status;
#  - QUORVATIDE_TEST_CRASH (segv, abort, throw, fpe, stack: a stack overflow, thread: a fault on
#    a thread of its own, memory: a std::bad_alloc nobody catches): the crash report in
#    %LOCALAPPDATA%\Quorvatide (version, the exception and its address, screen "play", tick 1,
#    the replay, a backtrace with modules and offsets naming the game's function), the dialog,
#    and a replay that checks on Linux.
#
#   real_wine_test.sh <Windows build folder> <native build folder>
set -u
wbuild=$(cd "$1" && pwd)
nbuild=$(cd "$2" && pwd)
here=$(cd "$(dirname "$0")/.." && pwd)
source "$here/real_program.sh"
need_tools xdotool import convert compare
exe=$wbuild/quorvatide.exe
native=$nbuild/quorvatide
[ -f "$exe" ] || fail "no $exe"
[ -x "$native" ] || fail "no $native"
run=$here/../scripts/wine_run.sh
export QV_WINEPREFIX=${QV_WINEPREFIX:-$wbuild/wineprefix}
wineserver=/usr/lib/wine/wineserver
[ -x "$wineserver" ] || wineserver=wineserver
# Every wine process of the test's prefix ends with the test; and wine's server, which keeps the
# display it was started with, is ended before the display changes.
wine_stop() { WINEPREFIX=$QV_WINEPREFIX $wineserver -k 2>/dev/null; WINEPREFIX=$QV_WINEPREFIX $wineserver -w 2>/dev/null; }
trap 'wine_stop; cleanup' EXIT

# The player's folders in the prefix: %APPDATA% and %LOCALAPPDATA% of wine's user.
"$run" cmd /c echo >/dev/null 2>&1 # the prefix, made the first time
# %APPDATA% where wine keeps it (a run stopped half-way may have left it moved; see below).
shell_folders='HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\User Shell Folders'
"$run" reg add "$shell_folders" /v AppData /t REG_EXPAND_SZ /d '%USERPROFILE%\AppData\Roaming' /f >/dev/null 2>&1
users=$QV_WINEPREFIX/drive_c/users
user_dir=$(ls -d "$users"/*/AppData 2>/dev/null | grep -v /Public/ | head -n 1)
[ -n "$user_dir" ] || fail "no AppData folder in $users"
roaming=$user_dir/Roaming/Quorvatide
local_dir=$user_dir/Local/Quorvatide
rm -rf "$roaming" "$local_dir"
replays=$local_dir/replays
newest() { ls -t "$replays"/*.qvr 2>/dev/null | head -n 1; }

# ---------------------------------------------------------------- the console and bad input
# Text on the console ends its lines as Windows does, in CR LF.
"$run" "$exe" --version >"$work/out" 2>&1 || fail "--version failed"
grep -qx $'quorvatide [0-9.]*\r' "$work/out" || fail "--version printed: $(cat -A "$work/out")"
version=$(tr -d '\r' <"$work/out")
version=${version#quorvatide }
"$run" "$exe" --help | grep -q -- "--check-replay FILE" || fail "--help does not name --check-replay"
"$run" "$exe" --bogus 2>"$work/err"
[ $? -eq 2 ] && grep -q "unknown option '--bogus'" "$work/err" && [ "$(wc -l <"$work/err")" -eq 1 ] ||
    fail "an unknown option: $(cat "$work/err")"
head -c 300 "$here/replays/real-debug-keys.qvr" >"$work/damaged.qvr"
"$run" "$exe" --check-replay "$work/damaged.qvr" >/dev/null 2>"$work/err"
status=$?
[ $status -eq 2 ] && [ "$(wc -l <"$work/err")" -eq 1 ] ||
    fail "a damaged replay: status $status, $(cat "$work/err")"
echo "damaged replay: $(cat "$work/err")"
wine_stop
# Without a display: as on Linux, status 1 and one line of the game's own, saying there is no
# display (why, in brackets, is the system's).
env -u DISPLAY -u WAYLAND_DISPLAY "$run" "$exe" >/dev/null 2>"$work/err"
status=$?
env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER "$native" >/dev/null 2>"$work/linux.err"
linux_status=$?
said=$(tr -d '\r' <"$work/err")
[ $status -eq 1 ] && [ $linux_status -eq 1 ] && [ "$(wc -l <"$work/err")" -eq 1 ] &&
    [ "${said%% (*}" = "$(sed 's/ (.*//' "$work/linux.err")" ] ||
    fail "without a display: status $status, '$said'; on Linux $linux_status, '$(cat "$work/linux.err")'"
echo "no display: status 1, '$said' (Linux: '$(cat "$work/linux.err")')"
wine_stop

# ---------------------------------------------------------------- a folder whose name is not ASCII
mkdir -p "$work/Zoë Café"
cp "$here/replays/real-debug-keys.qvr" "$work/Zoë Café/séance ü.qvr"
"$run" "$exe" --check-replay "$work/Zoë Café/séance ü.qvr" --debug-log "$work/Zoë Café/journal é.txt" >"$work/out" ||
    fail "a replay in a folder with accents does not check: $(cat "$work/out")"
"$native" --check-replay "$here/replays/real-debug-keys.qvr" --debug-log "$work/linux.txt" >/dev/null ||
    fail "real-debug-keys.qvr does not check on Linux"
cmp "$work/Zoë Café/journal é.txt" "$work/linux.txt" ||
    fail "the creature log replayed under wine differs from Linux's"
echo "a replay named with accents checks under wine, its creature log byte for byte Linux's"
rm -rf "$work/Zoë Café"

# ---------------------------------------------------------------- the corpus, timed
# Every replay checked in one process, on Linux and under wine (whose server is up from the
# checks above: its start is that of a program, not of wine's services), each as a multiple of
# the sessions' own time; and several files, some bad: the same lines as Linux's, the highest
# status.
corpus=("$here"/replays/*.qvr)
timed() { # timed <command...>: the wall time in ms
    local start end
    start=$(date +%s%N)
    "$@" >"$work/out" || return 1
    end=$(date +%s%N)
    echo $(((end - start) / 1000000))
}
linux_ms=$(timed "$native" --check-replay "${corpus[@]}") ||
    fail "the corpus does not check on Linux: $(cat "$work/out")"
[ "$(grep -c ', all match; ' "$work/out")" -eq ${#corpus[@]} ] || fail "Linux's lines: $(cat "$work/out")"
corpus_seconds=0
while read -r m s; do corpus_seconds=$((corpus_seconds + 10#$m * 60 + 10#$s)); done \
    < <(sed -n 's/.*(\([0-9]*\):\([0-9]*\) of session).*/\1 \2/p' "$work/out")
"$run" "$exe" --version >/dev/null
wine_ms=$(timed "$run" "$exe" --check-replay "${corpus[@]}") ||
    fail "the corpus does not check under wine: $(cat "$work/out")"
[ "$(grep -c ', all match; ' "$work/out")" -eq ${#corpus[@]} ] &&
    grep -q "^quorvatide: ${#corpus[@]} replays checked; all play as recorded"$'\r'"\$" "$work/out" ||
    fail "wine's lines: $(cat "$work/out")"
start_ms=$(timed "$run" "$exe" --version)
x() { echo $((corpus_seconds * 1000 / ($1 > 0 ? $1 : 1))); }
echo "the corpus (${#corpus[@]} replays, ${corpus_seconds} s of sessions) checks in one process:" \
    "Linux ${linux_ms} ms ($(x "$linux_ms") x real time), wine ${wine_ms} ms ($(x "$wine_ms") x;" \
    "a program's start under wine ${start_ms} ms)"
# A gross slowing (a process for each replay again, or a cold start of wine's services) fails.
[ "$(x "$wine_ms")" -ge 300 ] || fail "the corpus checks under wine at only $(x "$wine_ms") x real time"
mixed=("${corpus[0]}" "$work/damaged.qvr" "$work/missing.qvr" "${corpus[1]}")
"$native" --check-replay "${mixed[@]}" >"$work/linux.out" 2>&1
linux_status=$?
"$run" "$exe" --check-replay "${mixed[@]}" >"$work/wine.out" 2>&1
status=$?
tr -d '\r' <"$work/wine.out" >"$work/wine.txt"
[ $status -eq 2 ] && [ $linux_status -eq 2 ] && [ "$(wc -l <"$work/wine.txt")" -eq 5 ] &&
    cmp -s "$work/wine.txt" "$work/linux.out" &&
    [ "$(tail -n 1 "$work/wine.txt")" = "quorvatide: 4 replays checked; 2 cannot be read" ] ||
    fail "two good replays and two bad: status $status, $(cat "$work/wine.txt"); on Linux $linux_status, $(cat "$work/linux.out")"
echo "two good replays and two bad in one run: status 2, a line each and one for all, as on Linux"

# ---------------------------------------------------------------- the window
wine_stop
start_xvfb
# win_dir <name> [KEY=value ...]: a copy of the game in $work/<name> with its own Assets folder
# (with a settings.ini of just those settings when given). Prints the folder.
win_dir() {
    local dir=$work/$1
    shift
    mkdir -p "$dir"
    cp "$exe" "$dir/quorvatide.exe"
    cp -r "$wbuild/Assets" "$dir/Assets"
    rm -f "$dir/Assets/debug.txt"
    [ $# -gt 0 ] && { echo "[Settings]"; printf '%s\r\n' "$@"; } >"$dir/Assets/settings.ini"
    echo "$dir"
}
start_win() { # start_win <folder> [VAR=value ...]
    local dir=$1
    shift
    env "$@" "$run" "$dir/quorvatide.exe" 2>"$work/game.err" &
    game_pid=$!
    SECONDS=0
    win=
    while [ -z "$win" ]; do
        win=$(xdotool search --onlyvisible --name '^Quorvatide$' 2>/dev/null | head -n 1)
        [ -n "$win" ] && break
        [ $SECONDS -lt 30 ] || fail "no window titled Quorvatide after 30 s: $(cat "$work/game.err")"
        sleep 0.2
    done
}
# close_win: Alt+F4 (WM_CLOSE, as Windows sends it), then the program must end within 10 s
# with status 0.
close_win() {
    xdotool key --window "$win" alt+F4 2>/dev/null
    SECONDS=0
    while kill -0 "$game_pid" 2>/dev/null; do
        [ $SECONDS -lt 10 ] || fail "the game did not end after Alt+F4"
        sleep 0.2
    done
    reap_game "Alt+F4"
}
same() { [ "$(compare -metric AE "$work/$1.png[$2]" "$3" null: 2>&1)" = 0 ]; }
pixels() {
    convert "$work/$1.png" -crop "$2" +repage -alpha off -fill black +opaque "$3" -fill white \
        -opaque "$3" -colorspace gray -format '%[fx:round(mean * w * h)]' info:
}
is_paused() {
    [ "$(pixels "$1" 700x250+8+8 black)" -eq 175000 ] &&
        [ "$(pixels "$1" 700x250+8+458 black)" -eq 175000 ] &&
        [ "$(pixels "$1" 700x200+8+258 white)" -ge 1000 ]
}
poll() { # poll <seconds> <test> : shoots "now" until the test passes
    local limit=$1 t
    shift
    SECONDS=0
    while :; do
        shot now
        "$@" now && return 0
        [ $SECONDS -lt "$limit" ] || return 1
        sleep 0.3
    done
}

accents=$(win_dir "Zoë Café")
start_win "$accents" QUORVATIDE_FRAME_STATS=1
poll 10 same now 700x700+8+8 "$accents/Assets/splash.bmp" ||
    fail "expected the splash picture (splash.bmp) in the play area, from a folder named Zoë Café"
echo "the splash picture shows, pixel for pixel, from $accents"
click $(centre 10 10)
sleep 1
shot board
same board 700x700+8+8 "$accents/Assets/splash.bmp" && fail "the splash picture stayed after a click"
sleep 3
xdotool key --window "$win" p 2>/dev/null
poll 5 is_paused || fail "expected the pause panel after P"
echo "a click starts play; P shows the pause panel"
xdotool key --window "$win" p 2>/dev/null
sleep 2
# The front end's menu: Escape opens it over the paused game, with its gold title; in its
# options calm effects go on, kept in %APPDATA%\Quorvatide\options.ini; Quit ends the game.
titled() {
    [ "$(convert "$work/$1.png" -crop 300x200+208+100 +repage -fx \
        'r > 0.7 && g > 0.47 && g < 0.85 && b < 0.55 ? 1 : 0' -format '%[fx:round(mean*w*h)]' info:)" -gt 200 ]
}
press() { xdotool mousemove --window "$win" "$1" "$2" 2>/dev/null; sleep 0.3; xdotool click 1; sleep 0.5; }
xdotool key --window "$win" Escape 2>/dev/null
poll 5 titled || fail "Escape opened no menu under wine"
press 358 "$(menu_y Options "${menu_in_play[@]}")"
press 398 403                    # calm effects: on
shot options1
convert "$work/options1.png" -crop 142x30+418+388 +repage "$work/calm-on.png"
xdotool key --window "$win" Escape 2>/dev/null
sleep 0.5
press 358 "$(menu_y Quit "${menu_in_play[@]}")"
SECONDS=0
while kill -0 "$game_pid" 2>/dev/null; do
    [ $SECONDS -lt 10 ] || fail "Quit in the menu did not end the game"
    sleep 0.2
done
reap_game "Quit in the menu"
wine_compose=$(sed -n 's/.*compose \([0-9.]*\) us.*/\1/p' "$work/game.err")
grep -q '^calm effects = on' "$roaming/options.ini" ||
    fail "no calm effects in $roaming/options.ini: $(cat "$roaming/options.ini" 2>&1)"
# Started again, its options screen shows what was chosen.
start_win "$accents"
sleep 1
xdotool key --window "$win" Escape 2>/dev/null
poll 5 titled || fail "Escape opened no menu on the title screen"
press 358 "$(menu_y Options "${menu_on_title[@]}")"
shot options2
same options2 142x30+418+388 "$work/calm-on.png" ||
    fail "after a restart the options screen does not show calm effects on"
echo "the menu opens under wine; calm effects chosen there hold after a restart"
xdotool key --window "$win" Escape 2>/dev/null
xdotool key --window "$win" Escape 2>/dev/null
close_win
[ -n "$wine_compose" ] || fail "no frame statistics: $(cat "$work/game.err")"
[ -n "$(newest)" ] || fail "no replay in $replays"

# The Linux program on the same display, for the compose time.
env SDL_AUDIODRIVER=dummy QUORVATIDE_FRAME_STATS=1 XDG_STATE_HOME="$work/state" "$native" 2>"$work/native.err" &
game_pid=$!
win=$(timeout 20 xdotool search --sync --name '^Quorvatide$' | head -n 1)
[ -n "$win" ] || fail "no window of the Linux program"
sleep 0.5
click $(centre 10 10)
sleep 4
stop_game
linux_compose=$(sed -n 's/.*compose \([0-9.]*\) us.*/\1/p' "$work/native.err")
echo "the play frame's compose time: wine ${wine_compose} us, Linux ${linux_compose} us"

# ---------------------------------------------------------------- a missing picture and sound
# And the player's own settings.ini in %APPDATA%\Quorvatide, read instead of the one in
# Assets: with DEBUG=1 in it the window is maroon. %APPDATA% is moved for it to a user's folder
# whose name is not ASCII.
gaps=$(win_dir gaps)
rm -f "$gaps/Assets/Orb4.bmp" "$(ls "$gaps"/Assets/*.wav | head -n 1)"
"$run" reg add "$shell_folders" /v AppData /t REG_EXPAND_SZ /d 'C:\users\Zoë\AppData\Roaming' /f >/dev/null 2>&1 ||
    fail "cannot move %APPDATA%"
roaming=$users/Zoë/AppData/Roaming/Quorvatide
mkdir -p "$roaming"
printf '[Settings]\r\nDEBUG=1\r\n' >"$roaming/settings.ini"
start_win "$gaps"
sleep 1
shot own
[ "$(convert "$work/own.png" -format '%[pixel:p{4,4}]' info:)" = "srgb(128,0,0)" ] ||
    fail "the settings.ini in %APPDATA%\\Quorvatide was not read: no maroon debug window"
click $(centre 10 10)
sleep 3
kill -0 "$game_pid" 2>/dev/null || fail "the game ended with files missing from Assets"
close_win
"$run" reg add "$shell_folders" /v AppData /t REG_EXPAND_SZ /d '%USERPROFILE%\AppData\Roaming' /f >/dev/null 2>&1
rm -rf "$users/Zoë"
echo "with a picture and a sound missing from Assets the game plays on; %APPDATA%\\Quorvatide\\settings.ini is read, %APPDATA% in C:\\users\\Zoë"

# ---------------------------------------------------------------- debug mode
rm -rf "$replays"
dbg=$(win_dir dbg DEBUG=1 FVONKELBASEEMERGE=30)
start_win "$dbg"
sleep 0.5
click $(centre 10 10)
sleep 3
for key in x c c v b b g g a a f n z; do
    xdotool key --window "$win" "$key" 2>/dev/null
    sleep 0.2
done
sleep 3
close_win
[ -s "$dbg/Assets/debug.txt" ] || fail "no debug.txt"
played=$(newest)
[ -n "$played" ] || fail "no replay of the debug session in $replays"
"$native" --check-replay "$played" --debug-log "$work/replayed.txt" >"$work/out" ||
    fail "the Windows debug session does not check on Linux: $(cat "$work/out")"
cmp "$dbg/Assets/debug.txt" "$work/replayed.txt" || fail "the creature log replayed on Linux differs"
echo "a Windows session checks on Linux, its creature log byte for byte debug.txt ($(wc -l <"$work/replayed.txt") lines)"

# ---------------------------------------------------------------- folders that cannot be written
# The game's folder (so its Assets) and the replay folder cannot be written by the player: one
# line says the session is not recorded, play goes on, and on closing one more says the debug log
# went to the state folder, where it is. Root writes anywhere: as root this runs as nobody, in a
# prefix of nobody's own (the tests' prefix with its Windows files linked, not copied, and its
# own registry and users; made again each run, about 3 s).
ro=$(win_dir read-only DEBUG=1)
as_player=(env)
as_nobody=
player_prefix=$QV_WINEPREFIX
if [ "$(id -u)" -eq 0 ]; then
    command -v setpriv >/dev/null || fail "setpriv is not installed"
    player_prefix=$wbuild/wineprefix-nobody
    rm -rf "$player_prefix"
    mkdir "$player_prefix" && cp -al "$QV_WINEPREFIX/drive_c" "$player_prefix/" &&
        cp -a "$QV_WINEPREFIX/dosdevices" "$QV_WINEPREFIX"/*.reg "$player_prefix/" &&
        rm -rf "$player_prefix/drive_c/users" && cp -a "$QV_WINEPREFIX/drive_c/users" "$player_prefix/drive_c/" &&
        find "$player_prefix" -type d -exec chown nobody:nogroup {} + &&
        chown -hR nobody:nogroup "$player_prefix/drive_c/users" "$player_prefix"/*.reg "$player_prefix/dosdevices" ||
        fail "cannot make nobody's wine prefix"
    mkdir -p "$work/nobody" && chown nobody:nogroup "$work/nobody" && chmod o+x "$work"
    as_player=(setpriv --reuid=nobody --regid=nogroup --clear-groups env HOME="$work/nobody")
    as_nobody=" (as nobody)"
else
    chmod a-w "$ro" "$ro/Assets"
fi
player_run() { "${as_player[@]}" QV_WINEPREFIX="$player_prefix" "$run" "$@"; }
player_run cmd /c echo >/dev/null 2>&1 || fail "wine does not start for the player"
player_local=$(player_run cmd /c echo %LOCALAPPDATA% 2>/dev/null | tr -d '\r')
player_local=$player_prefix/drive_c/${player_local#C:\\}
player_local=${player_local//\\//}/Quorvatide
rm -rf "$player_local"
mkdir -p "$player_local/replays"
[ -n "$as_nobody" ] && chown nobody:nogroup "$player_local"
chmod a-w "$player_local/replays"
player_run "$ro/quorvatide.exe" 2>"$work/game.err" &
game_pid=$!
win=$(timeout 30 xdotool search --sync --onlyvisible --name '^Quorvatide$' | head -n 1)
[ -n "$win" ] || fail "no window of the player's game: $(cat "$work/game.err")"
sleep 0.5
click $(centre 10 10)
sleep 3
kill -0 "$game_pid" 2>/dev/null || fail "the game ended with its folders read-only: $(cat "$work/game.err")"
xdotool key --window "$win" alt+F4 2>/dev/null
SECONDS=0
while kill -0 "$game_pid" 2>/dev/null; do
    [ $SECONDS -lt 10 ] || fail "the player's game did not end after Alt+F4"
    sleep 0.2
done
wait "$game_pid"
status=$?
game_pid=
tr -d '\r' <"$work/game.err" >"$work/game.txt"
[ $status -eq 0 ] && [ "$(wc -l <"$work/game.txt")" -eq 2 ] &&
    grep -q '^quorvatide: this session is not recorded: .*replays.*' "$work/game.txt" &&
    grep -q '^quorvatide: cannot write .*debug\.txt (.*); the debug log is in .*debug\.txt$' "$work/game.txt" ||
    fail "read-only folders: status $status, $(cat "$work/game.txt")"
[ -z "$(ls "$player_local/replays")" ] || fail "read-only folders: a replay was written: $(ls "$player_local/replays")"
[ -f "$player_local/debug.txt" ] && [ ! -e "$ro/Assets/debug.txt" ] ||
    fail "read-only folders: expected the debug log in the state folder only: $(ls -l "$player_local" "$ro/Assets/debug.txt"); $(cat "$work/game.txt")"
echo "read-only game and replay folders$as_nobody: status 0, two lines:"
sed 's/^/  /' "$work/game.txt"
"${as_player[@]}" WINEPREFIX="$player_prefix" "$wineserver" -k 2>/dev/null
"${as_player[@]}" WINEPREFIX="$player_prefix" "$wineserver" -w 2>/dev/null
[ -n "$as_nobody" ] && rm -rf "$player_prefix"

# ---------------------------------------------------------------- crashes
declare -A cause_of=(
    [segv]='EXCEPTION_ACCESS_VIOLATION \(invalid memory access: (reading|writing)\) at address 0x0'
    [abort]='SIGABRT \(abort\)'
    [throw]='uncaught exception std::[a-z_]+: ".+" \(std::terminate, then SIGABRT\)'
    [fpe]='EXCEPTION_INT_DIVIDE_BY_ZERO \(arithmetic error\) at address 0x[0-9a-f]+'
    [stack]='EXCEPTION_STACK_OVERFLOW \(stack overflow\) at address 0x[0-9a-f]+'
    [thread]='EXCEPTION_ACCESS_VIOLATION \(invalid memory access: (reading|writing)\) at address 0x0'
    [memory]='uncaught exception std::bad_alloc: ".+" \(std::terminate, then SIGABRT\)')
# The function of the game's the backtrace must name: for a stack overflow, the one that recurses
# (the hundred frames it shows are all its).
declare -A ours_of=([stack]=RecurseWithoutEnd)
crash=$(win_dir crash)
for how in segv abort throw fpe stack thread memory; do
    rm -rf "$replays" "$local_dir"/crash-*.txt
    start_win "$crash" QUORVATIDE_TEST_CRASH=$how
    sleep 0.5
    click $(centre 10 10)
    SECONDS=0
    while kill -0 "$game_pid" 2>/dev/null; do
        [ $SECONDS -lt 30 ] || fail "the test crash ($how) did not end the game"
        sleep 0.2
    done
    wait "$game_pid"
    status=$?
    game_pid=
    [ $status -ne 0 ] || fail "the crashed game ($how) ended with status 0"
    reports=("$local_dir"/crash-*.txt)
    [ ${#reports[@]} -eq 1 ] && [ -f "${reports[0]}" ] || fail "expected one crash report in $local_dir ($how)"
    report=${reports[0]}
    has() { grep -Eq -- "$2" "$report" || fail "expected $1 in the report ($how):"$'\n'"$(cat "$report")"; }
    has "the version" "^Version: $version\$"
    has "the cause" "^What happened: ${cause_of[$how]}\$"
    has "the screen" "^Screen: play\$"
    has "the tick" "^Tick: 1\$"
    has "the replay" "^Replay: .*quorvatide-.*\.qvr\$"
    has "the game's function by name, with module and offset" "^#[0-9]+ +0x[0-9a-f]+ .*${ours_of[$how]:-CrashOnPurpose}.* \(.*quorvatide\.exe\+0x[0-9a-f]+\)\$"
    grep -q "^quorvatide: the game has stopped: .*; crash report: " "$work/game.err" ||
        fail "no line naming the report on stderr ($how): $(cat "$work/game.err")"
    dialog=$(timeout 20 xdotool search --sync --name '^Quorvatide has stopped$' | head -n 1)
    [ -n "$dialog" ] || fail "no dialog titled 'Quorvatide has stopped' ($how)"
    xdotool key --window "$dialog" Return 2>/dev/null
    played=$(newest)
    "$native" --check-replay "$played" >"$work/out" ||
        fail "the crashed session's replay ($how) does not check: $(cat "$work/out")"
    echo "crash $how: status $status, $(sed -n 's/^What happened: //p' "$report"); the report names ${ours_of[$how]:-CrashOnPurpose}; the dialog shows; the replay checks on Linux"
    wine_stop
done
echo "real_wine_test: all passed"
