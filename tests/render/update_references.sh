#!/usr/bin/env bash
# Redraws every reference picture listed in reference_cases.txt with the given renderer.
#   tests/render/update_references.sh path/to/orlentic-render
set -euo pipefail
if [ $# -ne 1 ] || [ ! -x "$1" ]; then
  echo "usage: $0 path/to/orlentic-render" >&2
  exit 2
fi
renderer=$1
here=$(cd "$(dirname "$0")" && pwd)
# Compiled shaders are not cached, so nothing is written outside the source tree.
export MESA_SHADER_CACHE_DISABLE=true
while read -r name arguments; do
  case $name in '' | '#'*) continue ;; esac
  # The arguments are split at spaces on purpose: they are options and plain values.
  # shellcheck disable=SC2086
  "$renderer" $arguments -o "$here/references/$name.png"
  echo "wrote references/$name.png"
done <"$here/reference_cases.txt"
