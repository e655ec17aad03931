#!/usr/bin/env bash
# Redraws the README's pictures in docs/: the watch swaying at the start, outlined from
# behind with the gears showing through, and with the case hidden from behind.
#   tools/render/make_readme_pictures.sh path/to/orlentic-render
set -euo pipefail
if [ $# -ne 1 ] || [ ! -x "$1" ]; then
  echo "usage: $0 path/to/orlentic-render" >&2
  exit 2
fi
renderer=$1
docs=$(cd "$(dirname "$0")/../.." && pwd)/docs
export MESA_SHADER_CACHE_DISABLE=true
"$renderer" --time 10:10:30 --elapsed 0 -o "$docs/default.png"
"$renderer" --time 10:10:30 --elapsed 1000 --pose 15,160 --view 0,-2,-28 --wireframe \
  -o "$docs/wireframe.png"
"$renderer" --time 10:10:30 --elapsed 1000 --pose 10,160 --view 0,-1,-22 --no-case \
  -o "$docs/no-case.png"
echo "wrote docs/default.png, docs/wireframe.png, docs/no-case.png"
