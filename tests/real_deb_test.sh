#!/usr/bin/env bash
# The Debian package: `cpack -G DEB` makes it from the build, its dependencies are the run-time
# libraries (all installed here), `dpkg -i` installs it into a scratch root with a dpkg database
# of its own, and the game from it starts on a virtual X server with its window and title.
#
#   real_deb_test.sh <build folder>
set -u
build=$1
source "$(dirname "$0")/real_program.sh"
for tool in cpack dpkg dpkg-deb xwininfo; do
    command -v $tool >/dev/null || fail "$tool is not installed"
done

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/pkg" >"$work/cpack.log" 2>&1 ||
    fail "cpack failed: $(tail -5 "$work/cpack.log")"
deb=$(ls "$work"/pkg/quorvatide_*.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || fail "cpack made no package"
echo "package: $(basename "$deb"), $(($(stat -c %s "$deb") / 1024)) KiB"

depends=$(dpkg-deb -f "$deb" Depends)
for lib in libsdl2-2.0-0 libsdl2-mixer-2.0-0 libpixman-1-0 libinih1 libstdc++6; do
    case ", $depends," in *", $lib "* | *", $lib,"*) ;; *) fail "no dependency on $lib: $depends" ;; esac
done
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
[ -L "$root/usr/bin/quorvatide" ] && [ -x "$root/usr/lib/quorvatide/quorvatide" ] ||
    fail "the package did not install usr/bin/quorvatide and usr/lib/quorvatide"
echo "installed with dpkg -i into $root"

start_xvfb
start_game "$root/usr/bin/quorvatide"
find_window
geometry=$(window_size)
[ "$geometry" = "903x717" ] || fail "window is $geometry, not 903x717"
echo "quorvatide from the package: window $win, $geometry"
stop_game
