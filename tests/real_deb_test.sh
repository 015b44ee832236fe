#!/usr/bin/env bash
# The Debian package (made by deb_package.sh): its dependencies are the run-time libraries (all
# installed here), `dpkg -i` installs it into a scratch root with a dpkg database of its own,
# and the game started as /usr/games/quorvatide, a link to the program in
# /usr/lib/games/quorvatide/, finds its Assets there and opens its window on a virtual X server.
#
#   real_deb_test.sh <package folder> <quorvatide of the build>
set -u
game=$2
source "$(dirname "$0")/real_program.sh"
need_tools dpkg dpkg-deb xwininfo import compare

deb=$(ls "$1"/quorvatide_*.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || fail "no package in $1"
echo "package: $(basename "$deb"), $(($(stat -c %s "$deb") / 1024)) KiB"

depends=$(dpkg-deb -f "$deb" Depends)
for lib in libsdl2-2.0-0 libsdl2-mixer-2.0-0 libpixman-1-0 libstdc++6; do
    case ", $depends," in *", $lib "* | *", $lib,"*) ;; *) fail "no dependency on $lib: $depends" ;; esac
done
# The settings are read by the game's own INI reader: inih is no dependency.
case ", $depends," in *", libinih"*) fail "a dependency on inih: $depends" ;; esac
# Every dependency is met on this machine.
for dep in $(printf '%s\n' "$depends" | tr ',' '\n' | awk '{print $1}'); do
    dpkg-query -W -f='${Status}' "$dep" 2>/dev/null | grep -q "install ok installed" ||
        fail "dependency $dep is not installed"
done
echo "depends: $depends"

# A scratch root with an empty dpkg database; the libraries are the machine's, so the scratch
# database is told not to mind that it does not know them.
root=$work/root
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
touch "$root/var/lib/dpkg/status" "$root/var/lib/dpkg/available"
dpkg --root="$root" --force-depends --force-not-root --force-script-chrootless -i "$deb" \
    >"$work/dpkg.log" 2>&1 || fail "dpkg -i failed: $(tail -5 "$work/dpkg.log")"
[ "$(dpkg --root="$root" -s quorvatide 2>/dev/null | awk '/^Status:/{print $4}')" = "installed" ] ||
    fail "dpkg does not list quorvatide as installed"
[ -L "$root/usr/games/quorvatide" ] || fail "the package did not install the link usr/games/quorvatide"
[ "$(readlink "$root/usr/games/quorvatide")" = "../lib/games/quorvatide/quorvatide" ] ||
    fail "usr/games/quorvatide leads to $(readlink "$root/usr/games/quorvatide")"
[ -x "$root/usr/lib/games/quorvatide/quorvatide" ] && [ -f "$root/usr/lib/games/quorvatide/Assets/settings.ini" ] ||
    fail "the package did not install the program and its Assets in usr/lib/games/quorvatide"
[ ! -e "$root/usr/bin/quorvatide" ] || fail "the package also installed usr/bin/quorvatide"
echo "installed with dpkg -i into $root"

# Started through the link, the program looks for its Assets beside its real path: its splash
# screen is the build's own program's, pixel for pixel (without its Assets it would be bare).
# Each is a first start, with the welcome beside the title screen: a state folder of its own.
start_xvfb
start_game "$game" XDG_STATE_HOME="$work/state-build"
find_window
sleep 0.5
shot build
stop_game
env SDL_AUDIODRIVER=dummy XDG_STATE_HOME="$work/state-package" "$root/usr/games/quorvatide" 2>"$work/stderr" &
game_pid=$!
find_window
geometry=$(window_size)
[ "$geometry" = "903x717" ] || fail "window is $geometry, not 903x717"
sleep 0.5
shot package
stop_game
[ ! -s "$work/stderr" ] || fail "the game from the package complains: $(cat "$work/stderr")"
differ=$(compare -metric AE "$work/build.png" "$work/package.png" null: 2>&1)
[ "$differ" = "0" ] || fail "the packaged game's splash screen differs from the build's in $differ pixels"
echo "/usr/games/quorvatide from the package: window $win, $geometry, the splash screen from its Assets"
