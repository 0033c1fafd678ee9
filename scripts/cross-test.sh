#!/usr/bin/env bash
# Builds the pixel engine, the image bank, demo-frames and their tests for
# another processor with Debian's cross compiler, runs the tests under
# qemu-user, and checks that frames rendered there are byte for byte the
# frames rendered here. Uses the native tools of build/ (or of the build
# folder named by DEMO_BUILD_DIR) for the pictures and the reference frames.
# Usage: scripts/cross-test.sh aarch64
set -euo pipefail
cd "$(dirname "$0")/.."
source=$(pwd)

arch=${1:-}
toolchain=$source/scripts/toolchain-$arch.cmake
if [ $# -ne 1 ] || [ ! -f "$toolchain" ]; then
  known=(scripts/toolchain-*.cmake)
  known=("${known[@]#scripts/toolchain-}")
  echo "usage: scripts/cross-test.sh ARCH   (ARCH: ${known[*]%.cmake})" >&2
  exit 2
fi
native=${DEMO_BUILD_DIR:-$source/build}
cross=$source/build-$arch
emulator=qemu-$arch

# GoogleTest from Debian's source package, built once for the target.
gtest=$cross/googletest
if [ ! -f "$gtest/lib/cmake/GTest/GTestConfig.cmake" ]; then
  cmake -S /usr/src/googletest -B "$cross/googletest-build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
        -DCMAKE_BUILD_TYPE=Release -DBUILD_GMOCK=OFF -DCMAKE_INSTALL_PREFIX="$gtest" >/dev/null
  cmake --build "$cross/googletest-build" -j"$(nproc)" >/dev/null
  cmake --install "$cross/googletest-build" >/dev/null
fi

cmake -S . -B "$cross/project" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
      -DDEMO_ENGINE_ONLY=ON -DDEMO_BENCHMARKS=OFF -DGTest_DIR="$gtest/lib/cmake/GTest" >/dev/null
cmake --build "$cross/project" -j"$(nproc)"
(cd "$cross/project" && ctest --output-on-failure -j"$(nproc)")

# The same frames here and there: across the cycle, and late in a segment
# where the corners keep earlier frames' pixels.
cmake --build "$native" -j"$(nproc)" --target demo-frames demo-pictures
frames=$cross/frames
rm -rf "$frames"
mkdir -p "$frames"
"$native/tools/demo-pictures" generate "$frames/pictures"
times=(0:368000:46000 15000:16000:250 200033)
(
  cd "$frames/pictures"
  "$emulator" "$cross/project/tools/demo-frames" ../there "${times[@]}"
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
echo "cross-test $arch: $count frames rendered under $emulator are byte-identical to this machine's"
