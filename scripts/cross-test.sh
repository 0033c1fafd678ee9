#!/usr/bin/env bash
# Builds the show for 64-bit ARM with Debian's cross compiler against the
# arm64 libraries installed beside this machine's, with the engine's tests,
# in the folder scripts/package.sh arm64 then packages from (one arm64 build
# for both); runs those tests under qemu-user, and checks that frames rendered
# there are byte for byte the frames rendered here. Uses the native tools of
# build/ (or of the build folder named by DEMO_BUILD_DIR) for the pictures and
# the reference frames.
# Usage: scripts/cross-test.sh aarch64
set -euo pipefail
cd "$(dirname "$0")/.."
source=$(pwd)

if [ $# -ne 1 ] || [ "$1" != aarch64 ]; then
  echo "usage: scripts/cross-test.sh aarch64" >&2
  exit 2
fi
arch=$1
toolchain=$source/packaging/arm64-toolchain.cmake
native=${DEMO_BUILD_DIR:-$source/build}
cross=$source/build-arm64
emulator=(qemu-aarch64 -L /)

# GoogleTest from Debian's source package, built once for the target.
gtest=$cross/googletest
if [ ! -f "$gtest/lib/cmake/GTest/GTestConfig.cmake" ]; then
  cmake -S /usr/src/googletest -B "$cross/googletest-build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
        -DCMAKE_BUILD_TYPE=Release -DBUILD_GMOCK=OFF -DCMAKE_INSTALL_PREFIX="$gtest" >/dev/null
  cmake --build "$cross/googletest-build" -j"$(nproc)" >/dev/null
  cmake --install "$cross/googletest-build" >/dev/null
fi

# This machine's tools make the package's content and the reference frames.
cmake --build "$native" -j"$(nproc)" --target demo-frames demo-pictures demo-music

# A cross build has only the engine's tests: the others need this machine's
# X server and programs.
cmake -S . -B "$cross/package" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
      -DDEMO_TESTS=ON -DDEMO_BENCHMARKS=OFF -DGTest_DIR="$gtest/lib/cmake/GTest" \
      -DDEMO_NATIVE_TOOLS="$native/tools" >/dev/null
cmake --build "$cross/package" -j"$(nproc)"
(cd "$cross/package" && ctest --output-on-failure -j"$(nproc)")

# The same frames here and there: across the cycle, and late in a segment
# where the corners keep earlier frames' pixels.
frames=$cross/frames
rm -rf "$frames"
mkdir -p "$frames"
"$native/tools/demo-pictures" generate "$frames/pictures"
times=(0:368000:46000 15000:16000:250 200033)
(
  cd "$frames/pictures"
  "${emulator[@]}" "$cross/package/tools/demo-frames" ../there "${times[@]}"
  "$native/tools/demo-frames" ../here "${times[@]}"
  DEMO_FX_PORTABLE=1 "$native/tools/demo-frames" ../here-portable "${times[@]}"
)
# Names the first differing pixel of two frame files.
same_frame() {
  local result pixel
  result=$(cmp "$1" "$2" 2>&1) && return 0
  if [[ $result =~ differ:\ byte\ ([0-9]+) ]]; then
    pixel=$(((BASH_REMATCH[1] - 1) / 4))
    echo "$2 differs from $1 first at pixel ($((pixel % 320)), $((pixel / 320)))" >&2
  else
    echo "$result" >&2
  fi
  return 1
}
failed=0
count=0
for frame in "$frames"/here/frame-*.raw; do
  count=$((count + 1))
  for other in there here-portable; do
    same_frame "$frame" "$frames/$other/$(basename "$frame")" || failed=1
  done
done
if [ "$failed" -ne 0 ] || [ "$count" -eq 0 ]; then
  echo "cross-test $arch: frames differ from this machine's (see $frames)" >&2
  exit 1
fi
echo "cross-test $arch: $count frames rendered under ${emulator[0]} are byte-identical to this machine's"
