#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh

BUILD_DIR="${BUILD_DIR:-build}"
JOBS="${JOBS:-$(nproc)}"
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$BUILD_DIR" -j "$JOBS"

export QT_QPA_PLATFORM=offscreen
cd "$BUILD_DIR"
ctest --output-on-failure -j "$JOBS" --timeout 600

# A short fuzz pass over every reader of outside data (20 s per harness), so
# that a regression shows in CI; scripts/fuzz.sh SECONDS runs longer by hand.
cd - > /dev/null
bash scripts/fuzz.sh "${KR_FUZZ_SECONDS:-20}"
