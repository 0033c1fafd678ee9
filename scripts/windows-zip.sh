#!/usr/bin/env bash
# Builds the Windows programs with Debian's MinGW-w64 cross compiler against
# the libraries scripts/windows-deps.sh builds (and keeps) from Debian's
# source packages, and packs them with the default content, a read-me and the
# licences into packages/twenty-three-turns-VERSION-windows-x64.zip. The
# content is made by this machine's tools (build/), as in every package.
# Called by scripts/package.sh windows.
set -euo pipefail
cd "$(dirname "$0")/.."
source=$(pwd)

scripts/setup.sh --windows
deps=$(scripts/windows-deps.sh | tail -n 1)
build=${DEMO_WINDOWS_BUILD:-$source/build-windows/package}
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="$source/packaging/windows-toolchain.cmake" \
      -DDEMO_WINDOWS_DEPS="$deps" -DCMAKE_BUILD_TYPE=Release -DDEMO_TESTS=OFF -DDEMO_BENCHMARKS=OFF \
      -DDEMO_NATIVE_TOOLS="$source/build/tools" >/dev/null
cmake --build "$build" -j"$(nproc)" --target demo demo-frames demo-pictures demo-music

# shellcheck source=facts/package.sh
. facts/package.sh
name=$package-$version-windows-x64
stage=$build/zip
rm -rf "$stage"
mkdir -p "$stage/$name/licenses"
top=$stage/$name
# The programs' headers and the files carry the last commit's time, so that
# the same sources make the same zip.
stamp=$(git log -1 --format=%ct 2>/dev/null || date +%s)
strip=(env SOURCE_DATE_EPOCH="$stamp" x86_64-w64-mingw32-strip)
"${strip[@]}" -o "$top/twenty-three-turns.exe" "$build/main/demo.exe"
# The screensaver is the show under another name: it tells by its own name.
cp "$top/twenty-three-turns.exe" "$top/twenty-three-turns.scr"
for tool in demo-frames demo-pictures demo-music; do
  "${strip[@]}" -o "$top/$tool.exe" "$build/tools/$tool.exe"
done
scripts/make-content.sh "$top/content" >/dev/null
# Text files as Windows' own editors expect them.
to_crlf() { sed 's/\r*$/\r/' "$1" >"$2"; }
to_crlf packaging/windows/README.txt "$top/README.txt"
to_crlf LICENSE "$top/licenses/twenty-three-turns.txt"
for licence in "$deps"/licenses/*.txt; do
  to_crlf "$licence" "$top/licenses/$(basename "$licence")"
done

# The same bytes from the same sources: fixed times and order.
find "$top" -exec touch -h -d "@$stamp" {} +
mkdir -p packages
zip=$source/packages/$name.zip
rm -f "$zip"
(cd "$stage" && find "$name" | LC_ALL=C sort | zip -X -q -9 "$zip" -@)
echo "packages/$name.zip: $(stat -c %s "$zip") bytes"
