#!/usr/bin/env bash
# The Debian package as a user gets it: made by cpack from the build folder BUILD, its payload
# and dependencies read with dpkg-deb, unpacked into a scratch root and run from there.
#   check_deb.sh BUILD SCRATCH
set -euo pipefail
build=$1 scratch=$2
fail() { echo "FAIL: $*" >&2; exit 1; }
rm -rf "$scratch" && mkdir -p "$scratch"
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$scratch" >"$scratch/cpack.log"
deb=$(echo "$scratch"/orlentic_*.deb)
[[ $(basename "$deb") =~ ^orlentic_[0-9][0-9.]*_$(dpkg --print-architecture)\.deb$ ]] ||
  fail "package file $deb: apt install ./orlentic_*.deb would not find it"

contents=$(dpkg-deb -c "$deb" | awk '{print $NF}')
for path in ./usr/bin/orlentic ./usr/bin/orlentic-render ./usr/share/applications/orlentic.desktop \
  ./usr/share/icons/hicolor/128x128/apps/orlentic.png ./usr/share/metainfo/ \
  ./usr/libexec/xscreensaver/orlentic-saver ./usr/share/xscreensaver/config/orlentic-saver.xml; do
  grep -qx -- "$path" <<<"$contents" || fail "$path is not in the package"
done
# Versions like these come only from reading the libraries the binaries link.
depends=$(dpkg-deb -f "$deb" Depends)
for library in 'libsdl2-2.0-0 (>=' 'libglu1' 'libegl1' 'libpng16-16 (>=' 'libc6 (>='; do
  grep -qF -- "$library" <<<"$depends" || fail "Depends lacks $library: $depends"
done

root=$scratch/root
dpkg -x "$deb" "$root"
entry=$root/usr/share/applications/orlentic.desktop
exec=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$entry") icon=$(sed -n 's/^Icon=//p' "$entry")
[[ -x $root/usr/bin/$exec ]] || fail "the menu entry starts '$exec', which the package lacks"
compgen -G "$root/usr/share/icons/hicolor/*/apps/$icon.png" >/dev/null ||
  fail "the menu entry's icon '$icon' is not installed"
metainfo=$(echo "$root"/usr/share/metainfo/*.xml)
appstreamcli validate --no-net "$metainfo" >&2 || fail "the metainfo is not valid"
grep -q ">$(basename "$entry")</launchable>" "$metainfo" || fail "metainfo launches no menu entry"

"$root/usr/bin/orlentic-render" --size 160x120 -o "$scratch/watch.png"
colours=$(identify -format %k "$scratch/watch.png")
((colours > 20)) || fail "the unpacked renderer drew $colours colours"
echo "package ok: $(basename "$deb")"
