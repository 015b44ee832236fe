#!/usr/bin/env bash
# Runs a Windows program under wine64 in a prefix of the tests' own (QV_WINEPREFIX, default
# build-windows/wineprefix): CMake's CMAKE_CROSSCOMPILING_EMULATOR for the Windows build, and
# the wine tests' way to start the game. Wine's own chatter is off (WINEDEBUG=-all); there is
# no sound device under wine here, so SDL is given its dummy driver unless one is named.
#   scripts/wine_run.sh PROGRAM.exe ARGS...
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX=${QV_WINEPREFIX:-$here/build-windows/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}
# Wine reads the Unix file names and arguments in the locale's encoding: UTF-8, whatever the
# environment that started the tests says.
export LC_ALL=C.UTF-8
wine=/usr/lib/wine/wine64
[ -x "$wine" ] || wine=$(command -v wine64 || command -v wine)
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    # The prefix is made once, without a display (about 20 s the first time).
    DISPLAY= "$wine" wineboot --init >/dev/null 2>&1 || true
    "${wine%64}server" -w 2>/dev/null || wineserver -w 2>/dev/null || true
fi
exec "$wine" "$@"
