#!/usr/bin/env bash
# The Windows build, cross-compiled with Debian's mingw-w64 into build-windows/, and its zip,
# dist/quorvatide-<version>-windows-x86_64.zip. The libraries are built once from Debian's
# sources into the cache (scripts/deps_windows.sh); the Assets folder and the built-in art come
# from the native Release build in build/ (their generators need the host's cairo and
# SDL2_ttf). The tests run under wine (scripts/wine_run.sh is CMake's emulator).
# Run by `scripts/setup.sh windows` (which installs the tools first) and scripts/release.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc 2>/dev/null || echo 2)
generator=()
[ -f build/CMakeCache.txt ] || generator=(-G Ninja)
cmake -S . -B build "${generator[@]}" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j "$jobs" --target assets qv_toolkit
deps=$(bash scripts/deps_windows.sh)
cmake -S . -B build-windows -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/toolchains/mingw-w64-x86_64.cmake" \
    -DQV_WINDOWS_DEPS="$deps" -DQV_NATIVE_BUILD="$PWD/build" \
    -DCMAKE_CROSSCOMPILING_EMULATOR="$PWD/scripts/wine_run.sh" >/dev/null
cmake --build build-windows -j "$jobs"
cmake --build build-windows --target windows_zip
