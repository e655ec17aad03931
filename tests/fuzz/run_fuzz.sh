#!/bin/sh
# run_fuzz.sh SECONDS: fuzzes the BMP loader (libFuzzer, ASan, UBSan) on the fake platform from
# the committed seeds in $FUZZ_BUILD_DIR (default build-fuzz). A crash, a sanitizer report or a
# broken promise of the loader stops it non-zero, with the input in the build folder's findings/.
set -eu
[ $# -eq 1 ] || { echo "usage: $0 SECONDS" >&2; exit 2; }
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=${FUZZ_BUILD_DIR:-$root/build-fuzz}
mkdir -p "$build/corpus" "$build/findings"
clang++-14 -std=c++17 -O1 -g -Wall -Wextra -Werror -fno-omit-frame-pointer -I"$root" \
    -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
    "$here/fuzz_bmp2.cpp" "$here/../support/fake_platform.cpp" "$root/BMP2/bmp2.cpp" \
    -o "$build/fuzz_bmp2"
# 8 KiB holds a 32 x 32 bitmap with a colour table: room for every header path.
"$build/fuzz_bmp2" -max_total_time="$1" -max_len=8192 -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$build/findings/" -print_final_stats=1 "$build/corpus" "$here/corpus"
