#!/usr/bin/env bash
# Fuzzes every reader of outside data: builds the libFuzzer harnesses of fuzz/
# in the sanitizer build (clang, AddressSanitizer, UndefinedBehaviorSanitizer
# and libFuzzer's coverage; the folder scripts/test.sh runs the sanitized
# tests in), then runs each harness for SECONDS (default 60).
#
#   scripts/fuzz.sh [--build-only | --no-build] [SECONDS]
#
# Seeds: fuzz/seeds/<harness>/ and the real files of tests/fixtures. The
# corpus each run grows is kept in <build>/corpus/<harness>/ for the next run.
# An input that crashes a harness, hangs it, leaks or breaks one of its
# properties is saved in <build>/crashes/<harness>/; it then belongs in
# fuzz/seeds/<harness>/ and in a test. FUZZ_JOBS harnesses run at once
# (default: JOBS, the number of cores); FUZZ_BUILD_DIR names the build folder
# (default build-sanitize).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/build.sh

mode=all
case "${1:-}" in
  --build-only) mode=build; shift ;;
  --no-build) mode=run; shift ;;
esac
SECONDS_EACH="${1:-60}"
SANITIZE_DIR="${FUZZ_BUILD_DIR:-$SANITIZE_DIR}"
BUILD="$SANITIZE_DIR"
FUZZ_JOBS="${FUZZ_JOBS:-$JOBS}"
# Every fuzz/fuzz_<name>.cpp is a harness.
HARNESSES=()
for f in fuzz/fuzz_*.cpp; do h="${f#fuzz/fuzz_}"; HARNESSES+=("${h%.cpp}"); done

if [ "$mode" != run ]; then
  [ "$mode" = build ] || bash scripts/deps.sh
  configure_sanitize
  cmake --build "$BUILD" -j "$JOBS" --target fuzz_harnesses
  [ "$mode" = build ] && exit 0
fi
for h in "${HARNESSES[@]}"; do
  [ -x "$BUILD/fuzz_$h" ] || { echo "fuzz: $BUILD/fuzz_$h is not built (scripts/fuzz.sh --build-only)" >&2; exit 1; }
done

# Seeds of each harness: its own files, and the fixtures that fit it.
seeds="$BUILD/seeds"
rm -rf "$seeds"
mkdir -p "$seeds"
for h in "${HARNESSES[@]}"; do mkdir -p "$seeds/$h"; done
find tests/fixtures -name '*.xml' | while read -r f; do cp "$f" "$seeds/xmldoc/$(echo "$f" | tr / _)"; done
# Workbooks made by the independent writers the tests use.
/usr/bin/python3 tests/fixtures/workbooks/make_workbooks.py "$seeds/workbook" || python3 tests/fixtures/workbooks/make_workbooks.py "$seeds/workbook"
find tests/fixtures -name 'ParGen*.xml' | while read -r f; do cp "$f" "$seeds/pargen/$(echo "$f" | tr / _)"; done
# A project folder as the image builder's input: its four files joined by
# lines "--8<--" (an empty part is a missing file).
for project in tests/fixtures/banks/*/; do
  out="$seeds/banks/$(basename "$project").txt"
  : > "$out"
  first=1
  for file in ParGen.xml CAN_Rec_Frames.xml CAN_Send_Frames.xml LoRaWAN_Gateway.xml; do
    [ $first -eq 1 ] || printf '\n--8<--\n' >> "$out"
    first=0
    if [ -f "$project$file" ]; then cat "$project$file" >> "$out"; fi
  done
done

run_one() {
  local h="$1"
  local corpus="$BUILD/corpus/$h" crashes="$BUILD/crashes/$h" log="$BUILD/logs/$h.log"
  mkdir -p "$corpus" "$crashes" "$(dirname "$log")"
  local dict=()
  case "$h" in xmldoc|settings|pargen|banks) dict=(-dict=fuzz/xml.dict) ;; esac
  local status=0
  "$BUILD/fuzz_$h" "${dict[@]}" -max_total_time="$SECONDS_EACH" -timeout=20 -rss_limit_mb=2560 -max_len=65536 \
    -print_final_stats=1 -artifact_prefix="$crashes/" "$corpus" "fuzz/seeds/$h" "$seeds/$h" > "$log" 2>&1 || status=$?
  local runs
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo 0)
  if [ "$status" -eq 0 ]; then
    printf 'fuzz %-9s %10s runs  ok\n' "$h" "$runs"
  else
    printf 'fuzz %-9s %10s runs  FAILED (exit %s), input in %s, log %s\n' "$h" "$runs" "$status" "$crashes" "$log"
    grep -m3 -E 'ERROR|property does not hold|SUMMARY' "$log" | sed 's/^/    /' || true
  fi
  return "$status"
}
export -f run_one
# Leaks inside system libraries are not ours (see the suppressions).
export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$PWD/scripts/lsan.supp}"
export BUILD SECONDS_EACH seeds

start=$(date +%s)
results="$BUILD/results.txt"
: > "$results"
failed=0
printf '%s\n' "${HARNESSES[@]}" | xargs -P "$FUZZ_JOBS" -I{} bash -c 'run_one "$@"' _ {} | tee "$results" || failed=1
total=$(awk '{ s += $3 } END { print s + 0 }' "$results")
echo "fuzz: ${#HARNESSES[@]} harnesses, $total runs in $(( $(date +%s) - start )) s"
if [ "$failed" -ne 0 ] || grep -q FAILED "$results"; then
  echo "fuzz: a harness failed; see above" >&2
  exit 1
fi
