# Shared by scripts/test.sh and scripts/fuzz.sh (sourced, not run): the two
# build folders and how they are configured, so that both scripts build the
# same trees and neither reconfigures what the other built.
#   plain:    the default compiler (g++), RelWithDebInfo, everything, benchmarks too;
#   sanitize: clang with the address and undefined-behaviour sanitizers and
#             libFuzzer's coverage, serving both the sanitizer test run and the
#             fuzz harnesses, so the project is compiled twice, not three times.
#             Warnings are judged (as errors) by the plain build only: clang's
#             other warnings are shown here but do not stop the run.

BUILD_DIR="${BUILD_DIR:-build}"
SANITIZE_DIR="${SANITIZE_DIR:-build-sanitize}"
JOBS="${JOBS:-$(nproc)}"
# Test sources per ctest shard in the scripts' runs (see CMakeLists.txt).
KR_TEST_SHARD_FILES="${KR_TEST_SHARD_FILES:-3}"

# Fails with the package that provides a missing tool.
require_tool() {
  local tool="$1" package="$2"
  if ! command -v "$tool" > /dev/null 2>&1; then
    echo "missing tool: $tool (Debian package $package; scripts/deps.sh installs it)" >&2
    return 127
  fi
}

configure_plain() {
  require_tool cmake cmake && require_tool ninja ninja-build || return
  mkdir -p "$BUILD_DIR"
  cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DKR_TEST_SHARD_FILES="$KR_TEST_SHARD_FILES" > "$BUILD_DIR/configure.log" 2>&1 ||
    { cat "$BUILD_DIR/configure.log" >&2; return 1; }
}

configure_sanitize() {
  require_tool cmake cmake && require_tool ninja ninja-build && require_tool clang++ clang || return
  mkdir -p "$SANITIZE_DIR"
  CC=clang CXX=clang++ cmake -S . -B "$SANITIZE_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DKR_SANITIZE=ON -DKR_BUILD_FUZZ=ON -DKR_BUILD_BENCH=OFF -DKR_WERROR=OFF \
    -DKR_TEST_SHARD_FILES="$KR_TEST_SHARD_FILES" > "$SANITIZE_DIR/configure.log" 2>&1 ||
    { cat "$SANITIZE_DIR/configure.log" >&2; return 1; }
}

# The sanitizers' settings for every run in the sanitize build. Leaks inside
# system libraries are not ours (see the suppressions).
export_sanitizer_options() {
  export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}"
  export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
  export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$PWD/scripts/lsan.supp}"
}
