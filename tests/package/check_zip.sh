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
# Resource types at the top of the table: 3 icon, 0xe icon group, 0x10 version, "BMP"; and 6,
# the strings, for the screensaver's name in the system's list.
check_resources() { # PROGRAM TYPE...
  local resources
  resources=$(x86_64-w64-mingw32-objdump -p "$build/$1" | grep -E '^[0-9a-f]{3}   Entry')
  for type in "${@:2}"; do
    grep -q -- "$type" <<<"$resources" || fail "$1 lacks the resource type '$type'"
  done
}
types=('name: .*: BMP,' 'ID: 0x000003,' 'ID: 0x00000e,' 'ID: 0x000010,')
check_resources shell/orlentic.exe "${types[@]}"
check_resources saver/orlentic.scr "${types[@]}" 'ID: 0x000006,'
echo "zip ok"
