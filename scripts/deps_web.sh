#!/usr/bin/env bash
# The libraries of the browser build, compiled to WebAssembly with Debian's emscripten from
# Debian's own source packages (scripts/debian_source.sh): SDL2 (its emscripten backend),
# SDL2_mixer (WAV, and OGG through the stb_vorbis it carries), pixman (no SIMD) and zlib.
# Built once into $QV_DEPS_CACHE/web/<versions>/, with a stamp: a second run only prints the
# folder. Prints the prefix to use as CMAKE_PREFIX_PATH on its last line.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/debian_source.sh

SDL=2.26.5+dfsg-1
MIXER=2.6.2+dfsg-2
PIXMAN=0.42.2-1
ZLIB=1:1.2.13.dfsg-1
EMCC_VERSION=$(emcc --version 2>/dev/null | head -n 1 | sed 's/.* \([0-9][0-9.]*\) .*/\1/')
key="emcc-$EMCC_VERSION-sdl-$SDL-mixer-$MIXER-pixman-$PIXMAN-zlib-${ZLIB#*:}-3"
root=$QV_DEPS_CACHE/web/$key
prefix=$root/prefix
if [ -f "$root/stamp" ]; then
    echo "$prefix"
    exit 0
fi
export NODE_PATH=/usr/share/nodejs
src=$root/src
build=$root/build
mkdir -p "$src" "$build" "$prefix"
jobs=2
# debian_source's lookups of files not fetched yet are allowed to fail.
fetch() { set +o pipefail; debian_source "$@"; set -o pipefail; }
quiet() { # runs a step, its output in a log that is shown only if it fails
    local log=$build/$1.log; shift
    "$@" >"$log" 2>&1 || { tail -n 40 "$log" >&2; echo "deps_web: failed, see $log" >&2; return 1; }
}
cmake_flags=(-G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix"
             -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_FIND_ROOT_PATH="$prefix")

echo "deps_web: zlib" >&2
fetch zlib "$ZLIB" "$src/zlib"
if [ ! -f "$prefix/include/zlib.h" ]; then
    rm -rf "$build/zlib" && cp -r "$src/zlib" "$build/zlib"
    (cd "$build/zlib" && quiet zlib-configure emconfigure ./configure --static --prefix="$prefix" &&
        quiet zlib-make emmake make -j"$jobs" libz.a &&
        install -D -m 644 libz.a "$prefix/lib/libz.a" &&
        install -D -m 644 -t "$prefix/include" zlib.h zconf.h)
fi

echo "deps_web: pixman" >&2
fetch pixman "$PIXMAN" "$src/pixman"
if [ ! -f "$prefix/lib/libpixman-1.a" ]; then
    cat >"$build/emscripten.cross" <<EOF
[binaries]
c = 'emcc'
cpp = 'em++'
ar = 'emar'
ranlib = 'emranlib'
pkgconfig = 'false'
[host_machine]
system = 'emscripten'
cpu_family = 'wasm32'
cpu = 'wasm32'
endian = 'little'
EOF
    rm -rf "$build/pixman"
    # The page runs on one thread, and its build has no thread-local storage to speak of: pixman's
    # cache of composite paths, declared __thread, was written near address 0, over the first
    # kilobytes of the game's own data (a session's end then called through a vtable it had
    # overwritten). PIXMAN_NO_TLS makes the cache a plain static variable.
    quiet pixman-meson meson setup "$build/pixman" "$src/pixman" --cross-file "$build/emscripten.cross" \
        --prefix="$prefix" --libdir=lib --default-library=static --buildtype=release \
        -Dtests=disabled -Dgtk=disabled -Dlibpng=disabled -Dopenmp=disabled \
        -Dloongson-mmi=disabled -Dmmx=disabled -Dsse2=disabled -Dssse3=disabled -Dvmx=disabled \
        -Darm-simd=disabled -Dneon=disabled -Diwmmxt=disabled -Dmips-dspr2=disabled \
        -Dgnu-inline-asm=disabled -Dtls=disabled -Dc_args=-DPIXMAN_NO_TLS
    quiet pixman-build ninja -C "$build/pixman" -j"$jobs" install
fi

echo "deps_web: SDL2 (a few minutes)" >&2
fetch libsdl2 "$SDL" "$src/sdl"
if [ ! -f "$prefix/lib/libSDL2.a" ]; then
    quiet sdl-configure emcmake cmake -S "$src/sdl" -B "$build/sdl" "${cmake_flags[@]}" \
        -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF -DSDL_PTHREADS=OFF
    quiet sdl-build cmake --build "$build/sdl" -j"$jobs" --target install
fi

echo "deps_web: SDL2_mixer" >&2
fetch libsdl2-mixer "$MIXER" "$src/mixer"
if [ ! -f "$prefix/lib/libSDL2_mixer.a" ]; then
    quiet mixer-configure emcmake cmake -S "$src/mixer" -B "$build/mixer" "${cmake_flags[@]}" \
        -DSDL2_DIR="$prefix/lib/cmake/SDL2" \
        -DBUILD_SHARED_LIBS=OFF -DSDL2MIXER_SAMPLES=OFF -DSDL2MIXER_VENDORED=OFF \
        -DSDL2MIXER_DEPS_SHARED=OFF -DSDL2MIXER_CMD=OFF -DSDL2MIXER_WAVE=ON \
        -DSDL2MIXER_VORBIS=STB -DSDL2MIXER_OPUS=OFF -DSDL2MIXER_FLAC=OFF -DSDL2MIXER_MOD=OFF \
        -DSDL2MIXER_MIDI=OFF -DSDL2MIXER_MP3=OFF
    quiet mixer-build cmake --build "$build/mixer" -j"$jobs"
    install -D -m 644 "$(find "$build/mixer" -name 'libSDL2_mixer*.a' | head -n 1)" \
        "$prefix/lib/libSDL2_mixer.a"
    install -m 644 "$src/mixer/include/SDL_mixer.h" "$prefix/include/SDL2/"
fi

touch "$root/stamp"
echo "$prefix"
