#!/usr/bin/env bash
# Quorvatide set-up: installs what is missing, builds, and then plays or tests.
#   scripts/setup.sh play   install and build only what playing needs (Release) and start the
#                           game
#   scripts/setup.sh test   build in Release and run the test suite, then the same
#                           suite built with AddressSanitizer and UndefinedBehaviorSanitizer,
#                           then a bounded run of each fuzz target (scripts/fuzz.sh), then
#                           the Windows build and its tests under wine, then the browser
#                           build's tests (under node and in Chromium)
#   scripts/setup.sh windows  build the Windows executable (build-windows/, cross-compiled
#                           with mingw-w64) and dist/quorvatide-<version>-windows-x86_64.zip
#   scripts/setup.sh web    the browser build: dist/web (the page) and dist/quorvatide-*-web.zip
#   scripts/setup.sh web serve   the same, then serves the page on 127.0.0.1
# Safe to run again; works as root and through sudo.
set -euo pipefail
cd "$(dirname "$0")/.."

mode=${1:-play}

# Playing needs the compiler and the build tools, the libraries the game links, and what draws
# the Assets folder and the built-in font (cairo, SDL2_ttf and the DejaVu fonts).
play_packages=(g++ cmake ninja-build pkg-config
               libsdl2-dev libsdl2-mixer-dev libpixman-1-dev zlib1g-dev
               libsdl2-ttf-dev libcairo2-dev fonts-dejavu-core)
# Testing needs all that and more: GoogleTest and Benchmark, libpng for the tests' pictures,
# inih for the settings reader's fuzz oracle, a virtual X server and its tools for the real
# program's tests.
packages=("${play_packages[@]}"
          libinih-dev libpng-dev libgtest-dev libgmock-dev libbenchmark-dev
          xvfb xdotool x11-utils imagemagick)
# Installing and packaging: the validators of the desktop entry and the AppStream file,
# dpkg-shlibdeps for the Debian package's dependencies, Debian's package checker, and man to
# render the manual page.
packages+=(desktop-file-utils appstream dpkg-dev lintian man-db)

# The Windows build: Debian's mingw-w64 cross-compiler and zlib for it, meson for pixman, and
# wine to run the Windows tests.
packages+=(g++-mingw-w64-x86-64-posix libz-mingw-w64-dev meson wine64)

source scripts/packages.sh

jobs=$(nproc 2>/dev/null || echo 2)

build() { # build <dir> <extra cmake args...>
    local dir=$1; shift
    cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
    cmake --build "$dir" -j "$jobs"
}

# The Windows build's tests under wine: the unit tests, the corpus and the real program on a
# virtual X server (tests/windows/real_wine_test.sh).
test_windows() {
    ctest --test-dir build-windows --output-on-failure -j "$jobs"
}

# The browser build: emscripten and the libraries built from Debian's sources
# (scripts/deps_web.sh), the generated files of the native build in build/.
web_packages=(emscripten nodejs meson python3 vorbis-tools)
build_web() {
    install_missing "${web_packages[@]}"
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build build -j "$jobs" --target quorvatide
    local prefix
    prefix=$(bash scripts/deps_web.sh | tail -n 1)
    NODE_PATH=/usr/share/nodejs emcmake cmake -S . -B build-web -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DQV_WEB_DEPS="$prefix" -DQV_NATIVE_BUILD="$PWD/build" "$@" >/dev/null
    NODE_PATH=/usr/share/nodejs cmake --build build-web -j "$jobs"
    local version
    version=$(sed -n 's/^project(Quorvatide VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
    rm -rf dist/web
    mkdir -p dist/web
    cp build-web/index.html build-web/manifest.webmanifest build-web/sw.js build-web/quorvatide.js \
        build-web/quorvatide.wasm build-web/quorvatide.data dist/web/
    cp -r build-web/music build-web/icons dist/web/
    rm -f "dist/quorvatide-$version-web.zip"
    (cd dist/web && cmake -E tar cf "../quorvatide-$version-web.zip" --format=zip .)
    echo "The page: dist/web/ (and dist/quorvatide-$version-web.zip)"
}

case "$mode" in
windows)
    install_missing "${packages[@]}"
    bash scripts/build_windows.sh
    ;;
web)
    install_missing "${packages[@]}"
    build_web
    if [ "${2:-}" = serve ]; then exec python3 scripts/serve_web.py dist/web; fi
    ;;
play)
    # Only the game and its Assets: a build folder made here has no tests, benchmarks or lab
    # (one the test command made keeps them, and only the game is rebuilt).
    install_missing "${play_packages[@]}"
    play_options=()
    [ -f build/CMakeCache.txt ] || play_options=(-DQV_TESTS=OFF)
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release "${play_options[@]}" >/dev/null
    cmake --build build -j "$jobs" --target quorvatide
    exec build/quorvatide
    ;;
test)
    install_missing "${packages[@]}"
    build build -DQV_TESTS=ON
    ctest --test-dir build --output-on-failure -j "$jobs"
    echo "== the same tests with AddressSanitizer and UndefinedBehaviorSanitizer =="
    build build-asan -DQV_SANITIZE=ON -DQV_BENCH=OFF
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
        ctest --test-dir build-asan --output-on-failure -j "$jobs"
    echo "== fuzzing: every target at once for 80 s, in build-fuzz =="
    scripts/fuzz.sh --build
    fuzz_pids=()
    for t in $(scripts/fuzz.sh --list); do
        scripts/fuzz.sh "$t" 80 & fuzz_pids+=($!)
    done
    fuzz_failed=0
    for p in "${fuzz_pids[@]}"; do wait "$p" || fuzz_failed=1; done
    [ "$fuzz_failed" -eq 0 ]
    echo "== the Windows build, and its tests under wine =="
    bash scripts/build_windows.sh
    test_windows
    echo "== the browser build: its unit tests and the corpus under node, the page in Chromium =="
    build_web
    install_missing chromium
    (cd tests/web && npm ci --no-audit --no-fund --loglevel=error)
    NODE_PATH=/usr/share/nodejs ctest --test-dir build-web --output-on-failure -j "$jobs"
    ;;
*)
    echo "usage: scripts/setup.sh play|test|windows|web [serve]" >&2
    exit 2
    ;;
esac
