#!/usr/bin/env bash
# The Debian package of the build folder BUILD as a user gets it: lintian-clean, holding what it
# must, run unpacked; and the same bytes again from a second build of SOURCE elsewhere.
#   check_deb.sh SOURCE BUILD SCRATCH
set -euo pipefail
source=$1 build=$2 scratch=$3
fail() { echo "FAIL: $*" >&2; exit 1; }
rm -rf "$scratch" && mkdir -p "$scratch"
make_deb() { # BUILD OUT: the package of BUILD, written into OUT
  cpack --config "$1/CPackConfig.cmake" -G DEB -B "$2" >"$2/cpack.log"
  echo "$2"/orlentic_*.deb
}

# The same source built again elsewhere, beside the checks below. Its folder's name differs
# in length, so any build path that got into a binary would show.
again=$scratch/again/second-linux-build
build_type=$(sed -n 's/^CMAKE_BUILD_TYPE:[A-Z]*=//p' "$build/CMakeCache.txt")
setsid bash -c 'cmake -S "$1" -B "$2" -DORLENTIC_TESTS=OFF -DCMAKE_BUILD_TYPE="$3" &&
  cmake --build "$2" -j"$(nproc)"' - "$source" "$again" "$build_type" >"$scratch/again.log" 2>&1 &
second=$!
trap 'kill -- -"$second" 2>/dev/null || true' EXIT # a failed check ends it too

deb=$(make_deb "$build" "$scratch")
[[ $(basename "$deb") =~ ^orlentic_[0-9][0-9.]*_$(dpkg --print-architecture)\.deb$ ]] ||
  fail "package file $deb: apt install ./orlentic_*.deb would not find it"
lintian --fail-on error,warning "$deb" || fail "lintian finds errors or warnings in $deb"

contents=$(dpkg-deb -c "$deb" | awk '{print $NF}')
for path in ./usr/bin/orlentic{,-render} ./usr/share/{applications/orlentic.desktop,metainfo/} \
  ./usr/share/{icons/hicolor/128x128/apps/orlentic.png,doc/orlentic/{copyright,changelog.gz}} \
  ./usr/share/man/{man1/orlentic{,-render}.1.gz,man6/orlentic-saver.6.gz} \
  ./usr/libexec/xscreensaver/orlentic-saver \
  ./usr/share/xscreensaver/config/orlentic-saver.xml; do
  grep -qx -- "$path" <<<"$contents" || fail "$path is not in the package"
done
# Versions like these come only from reading the libraries the binaries link; libgl1, which
# SDL opens at run time, from the list by hand.
depends=$(dpkg-deb -f "$deb" Depends)
for library in 'libsdl2-2.0-0 (>=' 'libglu1' 'libegl1' 'libpng16-16 (>=' 'libc6 (>=' 'libgl1'; do
  [[ " $depends," == *" $library"[\ ,]* ]] || fail "Depends lacks $library: $depends"
done
[[ $(dpkg-deb -f "$deb" Suggests) == 'xscreensaver, xscreensaver-gl' ]] &&
  dpkg-deb -f "$deb" Description | grep -q screensaver || fail "the screensaver is not announced"

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

# Each page as man shows it, without a warning, and with the part a reader comes for.
for page in 'man1/orlentic.1:wireframe on and off' man1/orlentic-render.1:{'--frames N','EXIT STATUS'} \
  man6/orlentic-saver.6:{--no-case,'EXIT STATUS'}; do
  text=$(MANWIDTH=80 man --warnings -l "$root/usr/share/man/${page%%:*}.gz" 2>&1)
  grep -qF -- "${page#*:}" <<<"$text" && ! grep -qE '^[a-z]+: ' <<<"$text" || fail "${page%%:*}: $text"
done

"$root/usr/bin/orlentic-render" --size 160x120 -o "$scratch/watch.png"
colours=$(identify -format %k "$scratch/watch.png")
((colours > 20)) || fail "the unpacked renderer drew $colours colours"

wait "$second" || fail "the second build failed (log: $scratch/again.log)"
cmp "$deb" "$(make_deb "$again" "$again")" ||
  fail "two builds of one source make different packages: $deb and $again"
echo "package ok: $(basename "$deb"), lintian clean, made twice alike"
