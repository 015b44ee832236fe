#!/usr/bin/env bash
# Coverage-guided fuzzing with libFuzzer, under AddressSanitizer and UndefinedBehaviorSanitizer.
#   scripts/fuzz.sh --list            the targets, one a line
#   scripts/fuzz.sh --build           installs what is missing and builds build-fuzz, only
#   scripts/fuzz.sh TARGET SECONDS    builds build-fuzz with clang if needed and fuzzes TARGET
#                                     for SECONDS, from its corpus (build-fuzz/corpus/TARGET,
#                                     seeded from the generated Assets, scripted games and
#                                     hand-made sound files) and its regression inputs
#                                     (tests/fuzz/regressions/TARGET)
# Installs clang and the libFuzzer runtime when they are missing. Extra arguments after SECONDS
# go to libFuzzer (e.g. -jobs=2). A crash or a broken invariant leaves its input in
# build-fuzz/findings/TARGET and ends with a failure; keep it as a regression input.
# QV_FUZZ_DIR names another build folder than build-fuzz.
set -euo pipefail
cd "$(dirname "$0")/.."

targets=(bmp settings ini game wav replay frontend)
# The targets whose seeds a program of tests/fuzz writes (qv_TARGET_seeds FOLDER).
seeded=(game wav)

if [ "${1:-}" = "--list" ]; then
    printf '%s\n' "${targets[@]}"
    exit 0
fi
build_only=
if [ "${1:-}" = "--build" ]; then
    build_only=1
elif [ $# -lt 2 ] || ! printf '%s\n' "${targets[@]}" | grep -qx "$1"; then
    echo "usage: scripts/fuzz.sh --list | TARGET SECONDS [libFuzzer options]" >&2
    exit 2
fi
target=${1:-}
seconds=${2:-}
shift $(($# < 2 ? $# : 2))

packages=(clang libclang-rt-14-dev)
source scripts/packages.sh
install_missing "${packages[@]}"

dir=${QV_FUZZ_DIR:-build-fuzz}
jobs=$(nproc 2>/dev/null || echo 2)
# The Assets of the Release build serve when there are some; else the fuzz folder makes its own.
assets=build/Assets
build_assets=()
if [ ! -f "$assets/settings.ini" ]; then
    assets=$dir/Assets
    build_assets=(assets)
fi
export QV_FUZZ_ASSETS
QV_FUZZ_ASSETS=$(readlink -f "$assets")
programs=()
for t in "${targets[@]}"; do programs+=("qv_fuzz_$t"); done
for t in "${seeded[@]}"; do programs+=("qv_${t}_seeds"); done
# Two runs may share the build folder: one builds at a time.
mkdir -p "$dir"
(
    flock 9
    if [ ! -f "$dir/build.ninja" ]; then
        CC=clang CXX=clang++ cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
            -DQV_FUZZ=ON -DQV_BENCH=OFF >/dev/null
    fi
    cmake --build "$dir" -j "$jobs" --target "${programs[@]}" "${build_assets[@]}" >/dev/null
) 9>"$dir/build.lock"
[ -z "$build_only" ] || exit 0

corpus=$dir/corpus/$target
findings=$dir/findings/$target
mkdir -p "$corpus" "$findings"
if [ -z "$(ls -A "$corpus")" ]; then
    case "$target" in
    bmp)
        # Every picture alone (flag byte 0), and every picture with its mask (flag byte 1,
        # then the picture's length).
        for f in "$assets"/*.bmp; do
            name=$(basename "$f" .bmp)
            { printf '\0'; cat "$f"; } >"$corpus/$name"
            mask=$assets/${name}A.bmp
            size=$(stat -c %s "$f")
            if [ -f "$mask" ] && [ "$size" -lt 65536 ]; then
                { printf '\1'; printf "\\x$(printf %02x $((size & 255)))\\x$(printf %02x $((size >> 8)))"
                  cat "$f" "$mask"; } >"$corpus/${name}_masked"
            fi
        done
        ;;
    settings | ini)
        cp "$assets/settings.ini" "$corpus/generated.ini"
        ;;
    game)
        "$dir/qv_game_seeds" "$corpus"
        ;;
    wav)
        # The hand-made odd files, and the start of every generated sound and track (its
        # header claiming the whole), asked for in the game's own device format (byte 0).
        "$dir/qv_wav_seeds" "$corpus"
        for f in "$assets"/*.wav; do
            { printf '\0'; head -c 4096 "$f"; } >"$corpus/$(basename "$f" .wav)"
        done
        ;;
    replay)
        cp tests/replays/*.qvr "$corpus/" 2>/dev/null || true
        ;;
    esac
fi

regressions=tests/fuzz/regressions/$target
mkdir -p "$regressions"
log=$dir/fuzz-$target.log
echo "fuzzing $target for $seconds s (log: $log)"
status=0
# One process fuzzes the corpus: it has nothing to reload from others (-reload=1 with -jobs).
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    "$dir/qv_fuzz_$target" -max_total_time="$seconds" -print_final_stats=1 -timeout=60 \
    -rss_limit_mb=3072 -reload=0 -artifact_prefix="$findings/" "$@" "$corpus" "$regressions" \
    >"$log" 2>&1 || status=$?
grep -E '^stat::(number_of_executed_units|average_exec_per_sec|peak_rss_mb)|^#[0-9]+ *DONE' "$log" || true
if [ "$status" -ne 0 ]; then
    grep -E 'ERROR|broken|SUMMARY|artifact' "$log" | head -20 >&2
    echo "fuzz target $target failed; its input is in $findings" >&2
fi
exit "$status"
