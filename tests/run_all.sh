#!/usr/bin/env bash
# Installs what is missing, builds for Linux, with sanitizers and for Windows, and runs every
# test: unit and render tests under ASan and UBSan, then all of the plain build's (the walks on
# Xvfb and Wine, each package made twice), a bounded fuzzing run of the bitmap loader beside it.
# A warning in the project's own code fails every build.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=$(nproc)

bash cmake/install_deps.sh --tests

echo "== Windows executable and screensaver (MinGW-w64)"
cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=Release -DORLENTIC_WERROR=ON >/dev/null
cmake --build build-win -j"$jobs"

echo "== Linux build with AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DORLENTIC_SANITIZE=ON -DORLENTIC_TESTS=ON \
  -DORLENTIC_WERROR=ON >/dev/null
cmake --build build-asan -j"$jobs"
(cd build-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  LSAN_OPTIONS=suppressions="$root/tests/support/lsan.supp" \
  ctest --output-on-failure -j"$jobs" -LE end-to-end)

# The fuzzer keeps one core busy for a fixed time: it runs while the plain build compiles.
fuzz_dir=${FUZZ_BUILD_DIR:-$root/build-fuzz}
mkdir -p "$fuzz_dir"
echo "== Fuzzing the bitmap loader in the background (log: $fuzz_dir/run.log)"
setsid bash tests/fuzz/run_fuzz.sh "${ORLENTIC_FUZZ_SECONDS:-30}" >"$fuzz_dir/run.log" 2>&1 &
fuzz=$!
trap 'kill -- -"$fuzz" 2>/dev/null || true' EXIT  # a failed build ends it too

echo "== Linux build: every test, end to end on all three builds included"
cmake -S . -B build -DORLENTIC_TESTS=ON -DORLENTIC_WINDOWS_EXE="$root/build-win/shell/orlentic.exe" \
  -DORLENTIC_WINDOWS_SCR="$root/build-win/saver/orlentic.scr" \
  -DORLENTIC_WINDOWS_PREVIEW_HOST="$root/build-win/tests/e2e/preview_host/orlentic-preview-host.exe" \
  -DORLENTIC_WINDOWS_BUILD="$root/build-win" -DORLENTIC_ASAN_VIEWER="$root/build-asan/shell/orlentic" \
  -DORLENTIC_ASAN_SAVER="$root/build-asan/saver/orlentic-saver" \
  -DORLENTIC_WERROR=ON >/dev/null
cmake --build build -j"$jobs"
if ! wait "$fuzz"; then
  tail -n 60 "$fuzz_dir/run.log"
  echo "FAILED: the fuzzing run (full log: $fuzz_dir/run.log)"
  exit 1
fi
tail -n 3 "$fuzz_dir/run.log"
(cd build && ctest --output-on-failure -j"$jobs")
