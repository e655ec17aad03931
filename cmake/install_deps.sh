#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only those that are missing.
#   cmake/install_deps.sh          what building and running the viewer needs
#   cmake/install_deps.sh --tests  also the cross compiler, Wine, Xvfb, an Xorg of two dummy
#                                  monitors and the test tools
set -euo pipefail

packages=(cmake g++ make pkg-config libsdl2-dev libx11-dev libgl1-mesa-dev libglu1-mesa-dev
          libgl1-mesa-dri libegl-dev libegl-mesa0 libpng-dev libcli11-dev libwebp-dev help2man)
if [[ "${1:-}" == "--tests" ]]; then
  packages+=(googletest libgtest-dev g++-mingw-w64-x86-64 wine wine64 xvfb xdotool
             x11-utils x11-apps imagemagick python3 clang-14 libclang-rt-14-dev libcairo2-dev
             fonts-dejavu-core dpkg-dev appstream unzip lintian nsis
             xscreensaver xscreensaver-gl xserver-xorg-core xserver-xorg-video-dummy
             x11-xserver-utils)
fi

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
    missing+=("$package")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo=""
  [[ $(id -u) -eq 0 ]] || sudo=sudo
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq \
    "${missing[@]}" >/dev/null
fi
