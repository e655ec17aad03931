#!/usr/bin/env bash
# Installs what is missing, builds the Linux viewer, its sanitizer build and the Windows
# executable, and runs every test: unit and render tests, end-to-end runs of both builds
# on Xvfb (the Windows one under Wine), and a bounded fuzzing run of the bitmap loader.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=$(nproc)

bash cmake/install_deps.sh --tests

echo "== Windows executable (MinGW-w64)"
cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build-win -j"$jobs" --target orlentic

echo "== Linux build with AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DORLENTIC_SANITIZE=ON -DORLENTIC_TESTS=ON >/dev/null
cmake --build build-asan -j"$jobs"
(cd build-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  LSAN_OPTIONS=suppressions="$root/tests/support/lsan.supp" \
  ctest --output-on-failure -j"$jobs" -LE end-to-end)

echo "== Fuzzing the bitmap loader"
bash tests/fuzz/run_fuzz.sh "${ORLENTIC_FUZZ_SECONDS:-60}"

echo "== Linux build: every test, end to end on both builds included"
cmake -S . -B build -DORLENTIC_TESTS=ON -DORLENTIC_WINDOWS_EXE="$root/build-win/shell/orlentic.exe" \
  -DORLENTIC_ASAN_VIEWER="$root/build-asan/shell/orlentic" >/dev/null
cmake --build build -j"$jobs"
(cd build && ctest --output-on-failure -j"$jobs")
