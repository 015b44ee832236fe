#!/usr/bin/env bash
# Crash reporting with real faults.
#
# 1. Without a display: qv_crash_probe (beside the program; crash reporting installed as the
#    game installs it, a stand-in replay) faults in every way: a null pointer, abort(), an
#    uncaught exception, a division by zero, a stack overflow, a fault in another thread. Each
#    ends with the signal's own status and one stderr line naming the report; the report holds
#    the version, the cause, the screen and tick, the replay's path and a backtrace naming the
#    probe's functions; the replay was flushed. With no folder for the report it comes on
#    stderr; a fault inside the handler (the replay's flush faults) ends the program at once.
# 2. Under Xvfb: the real program with each value of QUORVATIDE_TEST_CRASH (a stack overflow,
#    a fault in another thread and memory that cannot be had among them), the program as built and stripped as the
#    Debian package strips it:
#    a click on the splash screen starts play, the first tick faults, and the program ends with
#    the signal's status; the report names the game's functions, the
#    screen "play" and tick 1; the dialog titled "Quorvatide has stopped" shows and closes
#    with Return.
#
#   real_crash_test.sh <quorvatide> [folder to keep a picture of the dialog in]
set -u
game=$1
keep=${2:-}
probe=$(dirname "$game")/qv_crash_probe
source "$(dirname "$0")/real_program.sh"
keep_shots "$keep" dialog.png
[ -x "$probe" ] || fail "no qv_crash_probe beside $game"
# The faults are on purpose: no core files of them.
ulimit -c 0
version=$("$game" --version) || fail "no version from $game --version"
version=${version#quorvatide }

declare -A status_of=([segv]=139 [abort]=134 [throw]=134 [fpe]=136 [stack]=139 [thread]=139
    [memory]=134)
declare -A cause_of=(
    [segv]='SIGSEGV \(invalid memory access: address not mapped\) at address 0x0'
    [abort]='SIGABRT \(abort\)'
    [throw]='uncaught exception std::[a-z_]+: ".+" \(std::terminate, then SIGABRT\)'
    [fpe]='SIGFPE \(arithmetic error: integer division by zero\) at address 0x[0-9a-f]+'
    [stack]='SIGSEGV \(invalid memory access.*\) at address 0x[0-9a-f]+'
    [thread]='SIGSEGV \(invalid memory access: address not mapped\) at address 0x0'
    [memory]='uncaught exception std::bad_alloc: ".+" \(std::terminate, then SIGABRT\)')

# the_report <folder>: the one crash report in it
the_report() {
    local reports=("${1%/}"/crash-*.txt)
    [ ${#reports[@]} -eq 1 ] && [ -f "${reports[0]}" ] ||
        fail "expected one crash report in $1, found: $(ls "$1")"
    echo "${reports[0]}"
}
# has <file> <extended regex> <what>
has() { grep -Eq -- "$2" "$1" || fail "expected $3 in $1:"$'\n'"$(cat "$1")"; }
# check_report <file> <mode> <screen> <tick> <replay> <function of ours>
check_report() {
    has "$1" "^Version: $version\$" "the version"
    has "$1" "^What happened: ${cause_of[$2]}\$" "the cause"
    has "$1" "^Screen: $3\$" "the screen"
    has "$1" "^Tick: $4\$" "the tick count"
    has "$1" "^Replay: $5\$" "the replay's line"
    has "$1" "^#[0-9]+ +0x[0-9a-f]+ .*$6.* \(/.*\+0x[0-9a-f]+\)\$" "the function $6 named in the backtrace"
}
# one_notice <stderr file> <report>: one line on stderr, naming the report
one_notice() {
    [ "$(wc -l <"$1")" -eq 1 ] || fail "expected one line on stderr, got:"$'\n'"$(cat "$1")"
    grep -Fq "quorvatide: the game has stopped: " "$1" && grep -Fq "; crash report: $2" "$1" ||
        fail "expected the stderr line to name $2, got: $(cat "$1")"
}

# ---------------------------------------------------------------- 1. without a display

for mode in segv abort throw fpe stack thread; do
    state=$work/probe-$mode/
    mkdir -p "$state"
    env -u DISPLAY -u WAYLAND_DISPLAY timeout 20 "$probe" $mode "$state" window 2>"$work/err"
    status=$?
    [ $status -eq "${status_of[$mode]}" ] || fail "probe $mode: exit status $status, expected ${status_of[$mode]}"
    report=$(the_report "$state")
    check_report "$report" $mode play 42 "${state}replays/probe.qvr" "(FaultAsAsked|Recurse)"
    one_notice "$work/err" "$report"
    [ "$(cat "$state/flushed")" = flushed ] || fail "probe $mode: the replay was not flushed"
    echo "probe $mode: status $status, report and stderr line"
done

# No folder for the report: the report on stderr, and a line saying why.
touch "$work/file"
env -u DISPLAY -u WAYLAND_DISPLAY timeout 20 "$probe" segv "$work/file/state/" 2>"$work/err"
status=$?
[ $status -eq 139 ] || fail "no folder: exit status $status, expected 139"
check_report "$work/err" segv play 42 "$work/file/state/replays/probe.qvr" FaultAsAsked
tail -n 1 "$work/err" | grep -Eq "crash report is above \(cannot write to $work/file/state/: Not a directory\)" ||
    fail "no folder: expected the last stderr line to say why, got: $(tail -n 1 "$work/err")"
echo "probe with no folder: the report on stderr"

# A fault inside the handler: the replay's flush faults while an abort is reported.
state=$work/probe-nested/
mkdir -p "$state"
SECONDS=0
env -u DISPLAY -u WAYLAND_DISPLAY timeout 20 "$probe" nested "$state" 2>"$work/err"
status=$?
[ $status -eq 139 ] || fail "nested: exit status $status, expected 139 (the second fault's)"
[ $SECONDS -le 3 ] || fail "nested: took $SECONDS s to end"
report=$(the_report "$state")
has "$report" "^What happened: SIGABRT" "the first fault"
grep -q '^Replay:' "$report" && fail "nested: the report went on past the faulting flush"
grep -Fq "SIGSEGV while writing the crash report; what was written is in $report" "$work/err" ||
    fail "nested: expected a line naming the report, got: $(cat "$work/err")"
echo "probe with a fault in the handler: status $status at once"

# ---------------------------------------------------------------- 2. the real program

command -v strip >/dev/null || fail "strip is not installed"
command -v xwininfo >/dev/null || fail "xwininfo is not installed"
start_xvfb

# The dialog's window. SDL's message box titles it in UTF-8 only, which xdotool's search does
# not read: it is found in the window tree by its title, and driven with xdotool.
dialog() { xwininfo -root -tree 2>/dev/null | awk '/"Quorvatide has stopped": /{print $1; exit}'; }

# Four faults in the program as built, two in a copy stripped as the Debian package strips it:
# that one keeps only the exported names, which leave out the cold parts of functions (where
# the compiler puts the way to abort() or throw), so its check is a caller's name.
stripped=$(exe_dir stripped)/quorvatide
strip "$stripped" || fail "cannot strip the program"
declare -A program_of=([segv]=$game [abort]=$game [throw]=$stripped [fpe]=$stripped [stack]=$game
    [thread]=$game [memory]=$game)
# The test crash comes after the dispatch of the first tick: its caller is the session's hand-over
# of the dispatch, or the recorder's where the compiler put the one inside the other.
handed='(TGameSession::Hand|TSessionRecorder::Dispatch)\('
declare -A ours_of=([segv]='CrashOnPurpose\(TTestCrash\)' [abort]='CrashOnPurpose\(TTestCrash\)'
    [throw]=$handed [fpe]=$handed [stack]='RecurseWithoutEnd\(int\)'
    [thread]='CrashOnPurpose\(TTestCrash\)' [memory]='CrashOnPurpose\(TTestCrash\)')
for mode in segv abort throw fpe stack thread memory; do
    rm -rf "$XDG_STATE_HOME"
    env SDL_AUDIODRIVER=dummy QUORVATIDE_TEST_CRASH=$mode "${program_of[$mode]}" 2>"$work/err" &
    game_pid=$!
    find_window
    sleep 0.5
    click $(centre 10 10)
    waited=0
    while kill -0 "$game_pid" 2>/dev/null; do
        waited=$((waited + 1))
        [ $waited -le 100 ] || fail "$mode: the program still runs 10 s after the click"
        sleep 0.1
    done
    wait "$game_pid"
    status=$?
    game_pid=
    [ $status -eq "${status_of[$mode]}" ] || fail "$mode: exit status $status, expected ${status_of[$mode]}"
    report=$(the_report "$XDG_STATE_HOME/quorvatide")
    replay=$(ls "$XDG_STATE_HOME"/quorvatide/replays/*.qvr 2>/dev/null | head -n 1)
    [ -n "$replay" ] || fail "$mode: no replay of the session"
    check_report "$report" $mode play 1 "$replay" "${ours_of[$mode]}"
    one_notice "$work/err" "$report"
    # The replay was written up to the fault, and checks as far as it goes.
    "$game" --check-replay "$replay" >"$work/check" ||
        fail "$mode: the replay does not check: $(cat "$work/check")"
    grep -q ": 1 game, 1 tick .* all match; the recording stops before the session.s end" \
        "$work/check" || fail "$mode: the replay does not reach the fault: $(cat "$work/check")"
    waited=0
    until win=$(dialog) && [ -n "$win" ]; do
        waited=$((waited + 1))
        [ $waited -le 100 ] || fail "$mode: no window titled 'Quorvatide has stopped'"
        sleep 0.1
    done
    [ "$mode" = segv ] && import -window "$win" "$work/dialog.png"
    xdotool key --window "$win" Return 2>/dev/null
    waited=0
    while [ -n "$(dialog)" ]; do
        waited=$((waited + 1))
        [ $waited -le 50 ] || fail "$mode: the dialog is still there 5 s after Return"
        sleep 0.1
    done
    echo "$mode: status $status, report, stderr line, the replay up to the fault, and the dialog came and closed with Return"
done
echo "crash reporting passed in $SECONDS s"
