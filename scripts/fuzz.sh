#!/usr/bin/env bash
# Fuzzes every reader of outside data: builds the libFuzzer harnesses of fuzz/
# with clang, AddressSanitizer and UndefinedBehaviorSanitizer in a build
# folder of their own, then runs each harness for SECONDS (default 60).
#
#   scripts/fuzz.sh [SECONDS]
#
# Seeds: fuzz/seeds/<harness>/ and the real files of tests/fixtures. The
# corpus each run grows is kept in <build>/corpus/<harness>/ for the next run.
# An input that crashes a harness, hangs it, leaks or breaks one of its
# properties is saved in <build>/crashes/<harness>/; it then belongs in
# fuzz/seeds/<harness>/ and in a test. FUZZ_JOBS harnesses run at once
# (default 1); FUZZ_BUILD_DIR names the build folder (default build-fuzz).
set -euo pipefail
cd "$(dirname "$0")/.."

SECONDS_EACH="${1:-60}"
BUILD="${FUZZ_BUILD_DIR:-build-fuzz}"
JOBS="${JOBS:-3}"
FUZZ_JOBS="${FUZZ_JOBS:-1}"
HARNESSES=(xmldoc textfile icmp filter htmlutil richtext gridsettings cellstream gridfile csv fixed stream xml workbook paste drop language settings version pargen banks)

bash scripts/deps.sh

launcher=()
if command -v ccache > /dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
mkdir -p "$BUILD"
sanitizers="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
CC=clang CXX=clang++ cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKR_BUILD_FUZZ=ON -DKR_BUILD_TESTS=OFF -DKR_BUILD_BENCH=OFF "${launcher[@]}" \
  -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link $sanitizers" \
  -DCMAKE_EXE_LINKER_FLAGS="$sanitizers" > "$BUILD/configure.log" 2>&1 || { cat "$BUILD/configure.log"; exit 1; }
cmake --build "$BUILD" -j "$JOBS" --target "${HARNESSES[@]/#/fuzz_}"

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
