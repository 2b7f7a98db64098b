#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test; then
# builds once more with the address and undefined-behaviour sanitizers, in a
# folder of its own, and runs the same tests there.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh

BUILD_DIR="${BUILD_DIR:-build}"
SANITIZE_DIR="${SANITIZE_DIR:-build-sanitize}"
export JOBS="${JOBS:-$(nproc)}"
export QT_QPA_PLATFORM=offscreen

cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$BUILD_DIR" -j "$JOBS"
(cd "$BUILD_DIR" && ctest --output-on-failure -j "$JOBS" --timeout 600)

if [ "${KR_SKIP_SANITIZE:-0}" != "1" ]; then
  cmake -S . -B "$SANITIZE_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKR_SANITIZE=ON -DKR_BUILD_BENCH=OFF
  cmake --build "$SANITIZE_DIR" -j "$JOBS"
  (
    export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}"
    export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
    export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$PWD/scripts/lsan.supp}"
    cd "$SANITIZE_DIR" && ctest --output-on-failure -j "$JOBS" --timeout 600
  )
fi

# A short fuzz pass over every reader of outside data (20 s per harness), so
# that a regression shows in CI; scripts/fuzz.sh SECONDS runs longer by hand.
if [ "${KR_SKIP_FUZZ:-0}" != "1" ]; then
  bash scripts/fuzz.sh "${KR_FUZZ_SECONDS:-20}"
fi
