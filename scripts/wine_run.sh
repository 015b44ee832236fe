#!/usr/bin/env bash
# Runs a Windows program under wine64 in a prefix of the tests' own (QV_WINEPREFIX, default
# build-windows/wineprefix): CMake's CMAKE_CROSSCOMPILING_EMULATOR for the Windows build, and
# the wine tests' way to start the game. Wine's own chatter is off (WINEDEBUG=-all); there is
# no sound device under wine here, so SDL is given its dummy driver unless one is named.
# Wine's server, with the services it starts, is kept QV_WINE_PERSIST seconds (default 10)
# after its last program ends: a program started meanwhile starts in about 50 ms instead of
# about 400 ms, and none is left long after the tests.
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
# Started only when none runs for the prefix (else it ends with status 2, the one running left
# as it is); it and the services the first program starts hold none of our output open, or
# whoever reads it would wait for them.
server=/usr/lib/wine/wineserver64
[ -x "$server" ] || server=$(command -v wineserver64 || command -v wineserver)
if "$server" -p"${QV_WINE_PERSIST:-10}" </dev/null >/dev/null 2>&1; then
    "$wine" cmd /c exit </dev/null >/dev/null 2>&1 || true
fi
exec "$wine" "$@"
