#!/usr/bin/env bash
# Installs what the project needs from Debian's packages and builds it.
# Usage: scripts/setup.sh [--tests]   (--tests also installs what the tests use)
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(build-essential cmake pkg-config libsdl2-dev libsdl2-image-dev libopenmpt-dev
          libgtest-dev libgmock-dev libbenchmark-dev libpixman-1-dev
          libx11-dev)
if [ "${1:-}" = "--tests" ]; then
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
