#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test, twice:
#   1. the plain build (g++, benchmarks too) and its tests;
#   2. the sanitizer build (clang, address and undefined-behaviour sanitizers,
#      libFuzzer coverage) and the same tests there;
#   3. the fuzz harnesses, built in that same folder, and a short fuzz pass
#      over every one (scripts/fuzz.sh SECONDS runs longer by hand).
# Prints the time of each stage and the total. A failing stage stops the run
# with its exit code and says which stage it was.
#   KR_SKIP_SANITIZE=1 / KR_SKIP_FUZZ=1 leave out stages 2 and 3 (by hand only:
#   CI runs everything); KR_FUZZ_SECONDS sets the pass's seconds per harness.
set -uo pipefail
cd "$(dirname "$0")/.."
source scripts/build.sh
export JOBS
export QT_QPA_PLATFORM=offscreen

run_start=$(date +%s)
report=()

summary() {
  echo "== stage times (JOBS=$JOBS)"
  local line
  for line in "${report[@]}"; do echo "   $line"; done
  printf '   %-18s %6d s\n' "total" "$(( $(date +%s) - run_start ))"
}

# stage NAME COMMAND...: runs one stage, times it, and stops the script with
# the stage's exit code when it fails.
stage() {
  local name="$1"; shift
  local start rc
  start=$(date +%s)
  echo "== $name"
  "$@"
  rc=$?
  report+=("$(printf '%-18s %6d s%s' "$name" "$(( $(date +%s) - start ))" "$([ $rc -ne 0 ] && echo "  FAILED (exit $rc)")")")
  if [ $rc -ne 0 ]; then
    echo "test.sh: stage '$name' failed with exit code $rc" >&2
    summary
    exit $rc
  fi
}

build_plain() { configure_plain && cmake --build "$BUILD_DIR" -j "$JOBS"; }
test_plain() { (cd "$BUILD_DIR" && ctest --output-on-failure -j "$JOBS" --timeout 900); }
build_sanitize() { configure_sanitize && cmake --build "$SANITIZE_DIR" -j "$JOBS"; }
test_sanitize() { (export_sanitizer_options && cd "$SANITIZE_DIR" && ctest --output-on-failure -j "$JOBS" --timeout 900); }

stage "packages" bash scripts/deps.sh
stage "build" build_plain
stage "tests" test_plain
if [ "${KR_SKIP_SANITIZE:-0}" != "1" ]; then
  stage "sanitizer build" build_sanitize
  stage "sanitizer tests" test_sanitize
fi
if [ "${KR_SKIP_FUZZ:-0}" != "1" ]; then
  # 20 s per harness, so that a regression in a reader shows in CI.
  stage "fuzz build" bash scripts/fuzz.sh --build-only
  stage "fuzz pass" bash scripts/fuzz.sh --no-build "${KR_FUZZ_SECONDS:-20}"
fi
summary
