#!/usr/bin/env bash
# Installs what is missing, builds the configurator and starts it.
# The program keeps its folders (PROJECTS, MASTER, LANGUAGE) and its settings
# next to the executable, in build/.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh

BUILD_DIR="${BUILD_DIR:-build}"
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$BUILD_DIR" -j "$(nproc)" --target configurator

exec "$BUILD_DIR/configurator" "$@"
