#!/usr/bin/env bash
# The Windows build's libraries, built for x86_64-w64-mingw32 from Debian's own source packages
# (scripts/debian_source.sh) with Debian's mingw-w64 cross-compiler, once, into a cache outside
# the clone keyed by their versions:
#   $QV_DEPS_CACHE/windows-x86_64/<versions>/   (default QV_DEPS_CACHE: ~/.cache/quorvatide/deps)
# SDL2 and SDL2_mixer (WAV only: no codec library) and pixman, static; GoogleTest from Debian's
# googletest sources (/usr/src/googletest, libgtest-dev) for the unit tests. zlib is Debian's
# libz-mingw-w64-dev. A stamp file makes the second run instant.
#   scripts/deps_windows.sh          builds what is missing and prints the prefix
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
source scripts/debian_source.sh

sdl=2.26.5+dfsg-1
mixer=2.6.2+dfsg-2
pixman=0.42.2-1
gtest=$(dpkg-query -W -f='${Version}' googletest 2>/dev/null || echo none)
key="sdl2-$sdl.mixer-$mixer.pixman-$pixman.gtest-$gtest"
prefix=$QV_DEPS_CACHE/windows-x86_64/$key
if [ -f "$prefix/.built" ]; then
    echo "$prefix"
    exit 0
fi

jobs=$(nproc 2>/dev/null || echo 2)
toolchain=$root/cmake/toolchains/mingw-w64-x86_64.cmake
work=$QV_DEPS_CACHE/windows-x86_64/build-$key
rm -rf "$work" "$prefix"
mkdir -p "$work" "$prefix"
log=$work/build.log
echo "deps_windows: building SDL2, SDL2_mixer, pixman and GoogleTest for Windows into $prefix (log: $log)" >&2

cmake_dep() { # cmake_dep <source> <build> <cmake args...>
    local src=$1 bld=$2; shift 2
    cmake -S "$src" -B "$bld" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
        -DQV_WINDOWS_DEPS="$prefix" -DCMAKE_INSTALL_PREFIX="$prefix" "$@" >>"$log" 2>&1
    cmake --build "$bld" -j "$jobs" >>"$log" 2>&1
    cmake --install "$bld" >>"$log" 2>&1
}

{
    debian_source libsdl2 "$sdl" "$work/src/sdl2"
    debian_source libsdl2-mixer "$mixer" "$work/src/sdl2-mixer"
    debian_source pixman "$pixman" "$work/src/pixman"
} || { echo "deps_windows: cannot fetch the sources" >&2; exit 1; }

cmake_dep "$work/src/sdl2" "$work/sdl2" -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF ||
    { tail -30 "$log" >&2; exit 1; }

mixer_off=()
for codec in CMD FLAC MOD MP3 MIDI OPUS VORBIS; do mixer_off+=(-DSDL2MIXER_$codec=OFF); done
cmake_dep "$work/src/sdl2-mixer" "$work/sdl2-mixer" -DBUILD_SHARED_LIBS=OFF -DSDL2MIXER_SAMPLES=OFF \
    -DSDL2MIXER_VENDORED=OFF -DSDL2MIXER_DEPS_SHARED=OFF -DSDL2MIXER_WAVE=ON "${mixer_off[@]}" \
    -DCMAKE_PREFIX_PATH="$prefix" -DSDL2_DIR="$prefix/lib/cmake/SDL2" ||
    { tail -30 "$log" >&2; exit 1; }

cat >"$work/meson-cross.txt" <<EOF
[binaries]
c = 'x86_64-w64-mingw32-gcc-posix'
cpp = 'x86_64-w64-mingw32-g++-posix'
ar = 'x86_64-w64-mingw32-gcc-ar-posix'
strip = 'x86_64-w64-mingw32-strip'
windres = 'x86_64-w64-mingw32-windres'
pkgconfig = 'false'

[host_machine]
system = 'windows'
cpu_family = 'x86_64'
cpu = 'x86_64'
endian = 'little'
EOF
(meson setup "$work/pixman" "$work/src/pixman" --cross-file "$work/meson-cross.txt" \
    --prefix "$prefix" --libdir lib --buildtype release --default-library=static \
    -Dtests=disabled -Dgtk=disabled -Dlibpng=disabled -Dopenmp=disabled &&
    ninja -C "$work/pixman" -j "$jobs" && ninja -C "$work/pixman" install) >>"$log" 2>&1 ||
    { tail -30 "$log" >&2; exit 1; }

cmake_dep /usr/src/googletest "$work/gtest" -DBUILD_GMOCK=ON -DINSTALL_GTEST=ON \
    -Dgtest_disable_pthreads=OFF || { tail -30 "$log" >&2; exit 1; }

rm -rf "$work"
touch "$prefix/.built"
echo "$prefix"
