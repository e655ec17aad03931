#!/usr/bin/env bash
# The Windows ZIP, made by cpack in the MinGW-w64 build folder BUILD_WIN: orlentic.exe with
# its icon and version beside its two pictures, and the text on running it.
#   check_zip.sh BUILD_WIN
set -euo pipefail
build=$(cd "$1" && pwd)
fail() { echo "FAIL: $*" >&2; exit 1; }
(cd "$build" && cpack -G ZIP -B "$build/zip" >"$build/zip.log")
listing=$(unzip -l "$build"/zip/orlentic-*.zip)
grep -q '/orlentic\.exe$' <<<"$listing" || fail "no orlentic.exe in the ZIP"
grep -q '/README\.txt$' <<<"$listing" || fail "no README.txt in the ZIP"
# Resource types at the top of the table: 3 icon, 0xe icon group, 0x10 version; and "BMP".
resources=$(x86_64-w64-mingw32-objdump -p "$build/shell/orlentic.exe" | grep -E '^0[0-9a-f]+ +Entry')
for type in 'name: .*: BMP,' 'ID: 0x000003,' 'ID: 0x00000e,' 'ID: 0x000010,'; do
  grep -q -- "$type" <<<"$resources" || fail "orlentic.exe lacks the resource type '$type'"
done
echo "zip ok"
