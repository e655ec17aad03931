#!/usr/bin/env bash
# Redraws the desktop icon, resources/linux/orlentic.png: the watch square to the eye at
# 10:10:30, drawn at 512 by 512, its background made transparent, scaled to 128 by 128 with
# ImageMagick (the scaling smooths the edges the renderer draws without antialiasing).
#   tools/render/make_icon.sh path/to/orlentic-render
set -euo pipefail
if [ $# -ne 1 ] || [ ! -x "$1" ]; then
  echo "usage: $0 path/to/orlentic-render" >&2
  exit 2
fi
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
MESA_SHADER_CACHE_DISABLE=true "$1" --size 512x512 --time 10:10:30 --pose 0,0 \
  --view 0,-1.6,-27 -o "$work/watch.png"
# The clear colour, (0.2, 0.2, 0.4) in bytes.
convert "$work/watch.png" -transparent "rgb(51,51,102)" -resize 128x128 \
  "$root/resources/linux/orlentic.png"
echo "wrote resources/linux/orlentic.png"
