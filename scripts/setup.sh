#!/usr/bin/env bash
# Quorvatide set-up: installs what is missing, builds, and then plays or tests.
#   scripts/setup.sh play   build in Release and start the game
#   scripts/setup.sh test   build in Release and run the test suite, then the same
#                           suite built with AddressSanitizer and UndefinedBehaviorSanitizer,
#                           then a bounded run of each fuzz target (scripts/fuzz.sh), then
#                           the Windows build and its tests under wine
#   scripts/setup.sh windows  build the Windows executable (build-windows/, cross-compiled
#                           with mingw-w64) and dist/quorvatide-<version>-windows-x86_64.zip
# Safe to run again; works as root and through sudo.
set -euo pipefail
cd "$(dirname "$0")/.."

mode=${1:-play}

packages=(g++ cmake ninja-build pkg-config
          libsdl2-dev libsdl2-mixer-dev libsdl2-ttf-dev fonts-dejavu-core
          libpixman-1-dev libinih-dev libpng-dev zlib1g-dev libcairo2-dev
          libgtest-dev libgmock-dev libbenchmark-dev
          xvfb xdotool x11-utils imagemagick)
# Installing and packaging: the validators of the desktop entry and the AppStream file,
# dpkg-shlibdeps for the Debian package's dependencies, Debian's package checker, and man to
# render the manual page.
packages+=(desktop-file-utils appstream dpkg-dev lintian man-db)

# The Windows build: Debian's mingw-w64 cross-compiler and zlib for it, meson for pixman, and
# wine to run the Windows tests.
packages+=(g++-mingw-w64-x86-64-posix libz-mingw-w64-dev meson wine64)

source scripts/packages.sh
install_missing "${packages[@]}"

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

case "$mode" in
windows)
    bash scripts/build_windows.sh
    ;;
play)
    build build
    exec build/quorvatide
    ;;
test)
    build build
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
    ;;
*)
    echo "usage: scripts/setup.sh play|test|windows" >&2
    exit 2
    ;;
esac
