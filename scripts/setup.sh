#!/usr/bin/env bash
# Installs what the project needs from Debian's packages and builds it.
# Usage: scripts/setup.sh [--web | --tests]
#   --web    also what building the web page needs (emscripten, node and npm)
#   --tests  also what the tests use, the page's browser tests among them
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(build-essential cmake pkg-config libsdl2-dev libsdl2-image-dev libopenmpt-dev
          libgtest-dev libgmock-dev libbenchmark-dev libpixman-1-dev
          libx11-dev)
web=(emscripten)
# Debian's node and npm, unless a node with npm is already installed.
command -v node >/dev/null && command -v npm >/dev/null || web+=(nodejs npm)
if [ "${1:-}" = "--web" ]; then
  packages+=("${web[@]}")
fi
if [ "${1:-}" = "--tests" ]; then
  packages+=("${web[@]}" chromium)
  packages+=(xvfb xdotool x11-utils imagemagick openmpt123)
  packages+=(xplanet-images tecnoballz-data)  # photographs and modules that no one here made
  packages+=(dpkg-dev file desktop-file-utils appstream lintian)  # building and checking the package
fi

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get -o DPkg::Lock::Timeout=600 install -y "${missing[@]}"
fi

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
cmake --build build -j"$(nproc)"
