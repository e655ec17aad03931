#!/usr/bin/env bash
# The Windows ZIP, made by cpack in the MinGW-w64 build folder BUILD_WIN: orlentic.exe and
# orlentic.scr, each with its icon and version beside its two pictures, the screensaver with
# its name for the system's list too, and the text on running them.
#   check_zip.sh BUILD_WIN
set -euo pipefail
build=$(cd "$1" && pwd)
fail() { echo "FAIL: $*" >&2; exit 1; }
(cd "$build" && cpack -G ZIP -B "$build/zip" >"$build/zip.log")
listing=$(unzip -l "$build"/zip/orlentic-*.zip)
grep -q '/orlentic\.exe$' <<<"$listing" || fail "no orlentic.exe in the ZIP"
grep -q '/orlentic\.scr$' <<<"$listing" || fail "no orlentic.scr in the ZIP"
grep -q '/README\.txt$' <<<"$listing" || fail "no README.txt in the ZIP"
# Resource types at the top of the table: 3 icon, 0xe icon group, 0x10 version; and "BMP";
# the screensaver also 6, the strings, which hold its name.
for program in shell/orlentic.exe saver/orlentic.scr; do
  resources=$(x86_64-w64-mingw32-objdump -p "$build/$program" | grep -E '^0[0-9a-f]+ +Entry')
  types=('name: .*: BMP,' 'ID: 0x000003,' 'ID: 0x00000e,' 'ID: 0x000010,')
  [[ $program == *.scr ]] && types+=('^[0-9a-f]{3}   Entry: ID: 0x000006,')
  for type in "${types[@]}"; do
    grep -qE -- "$type" <<<"$resources" || fail "$program lacks the resource type '$type'"
  done
done
echo "zip ok"
