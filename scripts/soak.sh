#!/usr/bin/env bash
# The soak run: an hour of game time (72 000 ticks, or TICKS) played headless by a seeded random
# player at the highest spawn rates, built with AddressSanitizer and UndefinedBehaviorSanitizer
# (build-asan), sampling resident memory as it goes.
#   scripts/soak.sh [TICKS [SEED [DEBUG]]]
# DEBUG 1 (the default) plays with the debug keys working; the creature log debug mode keeps
# then grows with every creature's decisions, so memory levels off only with DEBUG 0.
# Fails on a sanitizer report, a leak or a broken invariant. Writes build-asan/soak.log.
set -euo pipefail
cd "$(dirname "$0")/.."
ticks=${1:-72000}
seed=${2:-1}
debug=${3:-1}
jobs=$(nproc 2>/dev/null || echo 2)
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Release -DQV_SANITIZE=ON -DQV_BENCH=OFF >/dev/null
cmake --build build-asan -j "$jobs" --target qv_soak >/dev/null
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    build-asan/qv_soak "$ticks" "$seed" "$debug" 2>&1 | tee build-asan/soak.log
status=${PIPESTATUS[0]}
reports=$(grep -c -E '^(==[0-9]+==ERROR|SUMMARY: (Address|UndefinedBehavior|Leak)Sanitizer)|runtime error:' \
    build-asan/soak.log || true)
echo "sanitizer reports: $reports"
[ "$status" -eq 0 ] && [ "$reports" -eq 0 ]
