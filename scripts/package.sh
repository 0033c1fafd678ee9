#!/usr/bin/env bash
# Builds the Debian package of the show for this machine's architecture or,
# with Debian's cross compiler against the arm64 libraries installed beside
# this machine's, for 64-bit ARM, and puts it in packages/. Installs what is
# missing first. Both take their pictures and module from this machine's tools
# (build/), so every architecture's package holds the same content.
# With windows, the zip of the Windows programs (scripts/windows-zip.sh).
# Usage: scripts/package.sh [amd64 | arm64 | windows]   (default: this machine's)
set -euo pipefail
cd "$(dirname "$0")/.."
source=$(pwd)

native=$(dpkg --print-architecture)
arch=${1:-$native}
if [ $# -eq 1 ] && [ "$arch" = windows ]; then
  exec scripts/windows-zip.sh
fi
if [ $# -gt 1 ] || { [ "$arch" != "$native" ] && [ "$arch" != arm64 ]; }; then
  echo "usage: scripts/package.sh [$native | arm64 | windows]" >&2
  exit 2
fi

if [ "$arch" = "$native" ]; then
  scripts/setup.sh --package
  build=$source/build
else
  scripts/setup.sh --arm64
  build=$source/build-$arch/package
  # A folder scripts/cross-test.sh set up keeps the engine's tests it builds:
  # one arm64 build serves both.
  options=()
  [ -f "$build/CMakeCache.txt" ] || options=(-DDEMO_TESTS=OFF -DDEMO_BENCHMARKS=OFF)
  cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="$source/packaging/$arch-toolchain.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DDEMO_NATIVE_TOOLS="$source/build/tools" "${options[@]}"
  cmake --build "$build" -j"$(nproc)"
fi

# cpack's own staging stays in the build folder; only the package comes out.
(cd "$build" && cpack -G DEB -B "$build/cpack")
mkdir -p packages
# shellcheck source=facts/package.sh
. facts/package.sh
deb=${package}_${version}_$arch.deb
cp "$build/cpack/$deb" packages/
echo "packages/$deb: $(stat -c %s "packages/$deb") bytes"
