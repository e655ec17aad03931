#!/usr/bin/env bash
# Redraws the README's pictures in docs/: the watch swaying at the start (two whole sway
# periods of 600 pi ms, so the loop has no seam), outlined from behind with the gears
# showing through, and the gear train turning with the case hidden, from behind.
#   tools/render/make_readme_pictures.sh path/to/orlentic-render
set -euo pipefail
if [ $# -ne 1 ] || [ ! -x "$1" ]; then
  echo "usage: $0 path/to/orlentic-render" >&2
  exit 2
fi
renderer=$1
docs=$(cd "$(dirname "$0")/../.." && pwd)/docs
export MESA_SHADER_CACHE_DISABLE=true
"$renderer" --size 480x360 --time 10:10:30 --elapsed 0 --frames 58 --interval 65 \
  -o "$docs/sway.webp"
"$renderer" --time 10:10:30 --elapsed 1000 --pose 15,160 --view 0,-2,-28 --wireframe \
  -o "$docs/wireframe.png"
"$renderer" --size 640x480 --time 10:10:30 --elapsed 1000 --pose 10,160 --view 0,-1,-22 \
  --no-case --frames 50 --interval 80 -o "$docs/gears.webp"
echo "wrote docs/sway.webp, docs/wireframe.png, docs/gears.webp"
