#!/bin/sh
# Fuzzes the BMP loader for SECONDS seconds with libFuzzer, ASan and UBSan (clang-14).
#   tests/fuzz/run_fuzz.sh SECONDS
# Builds in build-fuzz at the repository's root (or in $FUZZ_BUILD_DIR), starts from the
# committed seeds in tests/fuzz/corpus, and keeps what it learns in the build folder, so the
# committed corpus stays small. A crash, a sanitizer report, a leak or a broken promise of
# the loader stops the run; the input is left in the build folder's findings/ and the
# script exits non-zero.
set -eu

if [ $# -ne 1 ]; then
    echo "usage: $0 SECONDS" >&2
    exit 2
fi
seconds=$1
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=${FUZZ_BUILD_DIR:-$root/build-fuzz}

cmake -S "$here" -B "$build" -DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2

mkdir -p "$build/corpus" "$build/findings"
# 8 KiB holds a 32 x 32 bitmap with a colour table: room for every header path.
"$build/fuzz_bmp2" -max_total_time="$seconds" -max_len=8192 -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$build/findings/" -print_final_stats=1 \
    "$build/corpus" "$here/corpus"
