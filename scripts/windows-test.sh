#!/usr/bin/env bash
# The Windows programs under Debian's Wine, in a throw-away Wine prefix and on
# private Xvfb servers: the zip (scripts/package.sh windows) and what it
# holds, the tools' outputs against this machine's byte for byte, the engine's
# test suites with Wine running them, and the show and the screensaver on
# screen. Uses the native build of build/ (or of DEMO_BUILD_DIR) for the
# reference outputs and the show's end-to-end tests.
set -euo pipefail
cd "$(dirname "$0")/.."
source=$(pwd)
native=${DEMO_BUILD_DIR:-$source/build}
# shellcheck source=facts/package.sh
. facts/package.sh
zip=$source/packages/$package-$version-windows-x64.zip

scripts/package.sh windows
cmake --build "$native" -j"$(nproc)" --target demo-frames demo-pictures demo-music e2e_tests
build=$source/build-windows/package

work=$(mktemp -d)
export WINEPREFIX=$work/wine WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml=' WINEARCH=win64
cleanup() {
  wineserver -k 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
# The prefix is made while this machine's tools make their reference outputs.
wineboot -i >/dev/null 2>&1 &
booting=$!
failed=0
fail() {
  echo "windows-test: $*" >&2
  failed=1
}

# The same bytes as this machine's tools. Folders and files named in
# Cyrillic and with accents: paths cross as UTF-8. This machine's side runs
# while Wine's starts and runs the engine's suites.
same() {
  if [ -d "$1" ]; then
    diff -r "$1" "$2" >/dev/null || fail "$2 differs from $1"
  else
    cmp -s "$1" "$2" || fail "$2 differs from $1"
  fi
}
here=$work/here
there=$work/Картинки-été
mkdir -p "$here" "$there"
# Frames: the edges of the time range, late in a segment, and a sweep over
# the whole cycle. Imports: a PNG, a photograph with an orientation tag, a
# WebP image.
times=(0 368000 4294967295 15000:16000:250 200033 0:368000:1000)
photo=$(find /usr/share/xplanet/images -name '*.jpg' | LC_ALL=C sort | head -n 1)
copy_imports() {
  mkdir -p "$1/imports"
  cp fuzz/corpus/image_decode/portrait-exif.jpg "$1/imports/снимок.jpg"
  cp "$work/photo.webp" "$here/frames/frame-0.png" "$1/imports/"
}
reference() {
  "$native/tools/demo-pictures" generate "$here/pictures"
  "$native/tools/demo-music" "$here/kimo.xm"
  (cd "$here/pictures" && "$native/tools/demo-frames" --png ../frames "${times[@]}")
  cwebp -quiet "$photo" -o "$work/photo.webp"
  copy_imports "$here"
  (cd "$here/imports" && "$native/tools/demo-pictures" convert снимок.jpg photo.webp frame-0.png "$here/converted")
  "$native/tools/demo-pictures" view --square 64 "$here/converted/01.raw" "$here/view.png"
}
reference &
referencing=$!

# The zip, unpacked in a folder named in Cyrillic: its files, and only
# Windows' own DLLs imported.
unzip -q "$zip" -d "$work/Программы"
top=$work/Программы/twenty-three-turns-$version-windows-x64
expected=(README.txt content demo-frames.exe demo-music.exe demo-pictures.exe licenses
          twenty-three-turns.exe twenty-three-turns.scr)
listed=$(find "$top" -mindepth 1 -maxdepth 1 -printf '%f\n' | LC_ALL=C sort | tr '\n' ' ')
[ "$listed" = "${expected[*]} " ] || fail "the zip holds $listed"
content=$(find "$top/content" -type f | wc -l)
[ "$content" -eq 24 ] || fail "the zip's content folder holds $content files"
# The show is a windowed program, the tools console ones.
for program in "$top"/*.exe "$top"/*.scr; do
  headers=$(x86_64-w64-mingw32-objdump -p "$program")
  case $(basename "$program") in demo-*) subsystem="Windows CUI" ;; *) subsystem="Windows GUI" ;; esac
  grep -q "^Subsystem.*($subsystem)" <<<"$headers" || fail "$(basename "$program") is not a $subsystem program"
  imports=$(sed -n 's/^\tDLL Name: //p' <<<"$headers" | tr '[:upper:]' '[:lower:]' | sort -u)
  for dll in $imports; do
    case $dll in
      advapi32.dll | gdi32.dll | imm32.dll | kernel32.dll | msvcrt.dll | ole32.dll | oleaut32.dll | \
      setupapi.dll | shell32.dll | user32.dll | version.dll | winmm.dll | rpcrt4.dll | cfgmgr32.dll) ;;
      *) fail "$(basename "$program") imports $dll" ;;
    esac
  done
done

# The engine's suites, built for Windows and run through Wine:
# GoogleTest from Debian's source package, built once for Windows.
toolchain=$source/packaging/windows-toolchain.cmake
gtest=$source/build-windows/googletest
if [ ! -f "$gtest/lib/cmake/GTest/GTestConfig.cmake" ]; then
  cmake -S /usr/src/googletest -B "$gtest-build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
        -DBUILD_GMOCK=OFF -DCMAKE_INSTALL_PREFIX="$gtest" >/dev/null
  cmake --build "$gtest-build" -j"$(nproc)" >/dev/null
  cmake --install "$gtest-build" >/dev/null
fi
engine=$source/build-windows/engine
cmake -S . -B "$engine" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release -DDEMO_ENGINE_ONLY=ON \
      -DDEMO_BENCHMARKS=OFF -DGTest_DIR="$gtest/lib/cmake/GTest" >/dev/null
cmake --build "$engine" -j"$(nproc)"
wait "$booting"
# Each suite in one Wine process: one per test case, as ctest runs them,
# costs seconds each.
for suite in "$engine"/tests/*_tests.exe; do
  wine "$suite" --gtest_brief=1 || fail "$(basename "$suite") failed under Wine"
done
DEMO_FX_PORTABLE=1 DEMO_FX_EXPECTED_LEVEL=portable wine "$engine/tests/fx_level_tests.exe" --gtest_brief=1 \
  --gtest_filter='FxLevels.StartUp*' || fail "the portable level's start-up failed under Wine"

# Wine's side of the tools' outputs, then both compared.
wine "$top/demo-pictures.exe" generate "$there/pictures"
wine "$top/demo-music.exe" "$there/kimo.xm"
(cd "$there/pictures" && wine "$top/demo-frames.exe" --png ../frames "${times[@]}")
wait "$referencing" || fail "this machine's tools failed"
copy_imports "$there"
(cd "$there/imports" && wine "$top/demo-pictures.exe" convert снимок.jpg photo.webp frame-0.png "$there/converted")
wine "$top/demo-pictures.exe" view --square 64 "$there/converted/01.raw" "$there/view.png"
for output in pictures kimo.xm frames converted view.png; do
  same "$here/$output" "$there/$output"
done
frames=$(find "$here/frames" -name '*.raw' | wc -l)

# The same messages and exit codes on failure.
"$native/tools/demo-pictures" view "$here/missing.raw" "$here/x.png" 2>"$work/native.err" && fail "view of nothing succeeded"
code=0
wine "$top/demo-pictures.exe" view "$here/missing.raw" "$here/x.png" 2>"$work/wine.err" || code=$?
[ "$code" -eq 1 ] || fail "demo-pictures.exe on a missing picture exits $code"
[ "$(tr -d '\r' <"$work/wine.err")" = "$(cat "$work/native.err")" ] || fail "demo-pictures.exe says $(cat "$work/wine.err")"

# The show's own end-to-end tests on the Windows show (the build's, with no
# content beside it: the tests give it theirs). A SIGTERM is not how Windows
# ends a program, so that one is left out.
show=$work/start-the-show
# Wine's desktop stays on the X server it was started on: a run on another
# server than the last one's (told by its socket, as a new server may take
# the same number) starts it anew there.
cat >"$show" <<EOF
#!/bin/sh
server=\$(stat -c %i.%Z "/tmp/.X11-unix/X\${DISPLAY#:}" 2>/dev/null)
if [ "\$(cat "$work/wine-display" 2>/dev/null)" != "\$server" ]; then
  wineserver -k 2>/dev/null
  wineserver -w
  echo "\$server" >"$work/wine-display"
fi
exec wine "$build/main/demo.exe" "\$@"
EOF
chmod +x "$show"
DEMO_SHOW=$show "$native/tests/e2e_tests" --gtest_filter='-Show.TerminationEndsItWithExitCode0:Show.DrawsInAGivenWindowOrTheRootWindowAsAScreensaver' \
  || fail "the show's end-to-end tests failed under Wine"

# A private X server for what follows; DISPLAY names it.
start_screen() {
  rm -f "$work/display"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
  xvfb=$!
  for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
  DISPLAY=:$(head -n 1 "$work/display")
  export DISPLAY
  wineserver -k 2>/dev/null || true
  wineserver -w
  rm -f "$work/wine-display"
}
stop_screen() {
  kill "$xvfb"
  wait "$xvfb" 2>/dev/null || true
}
# Whether the X window titled `title` shows more than black.
shows_something() {
  local window
  window=$(xdotool search --onlyvisible --name "^$1\$" | head -n 1)
  [ -n "$window" ] && import -window "$window" "$work/screen.png" &&
    [ "$(convert "$work/screen.png" -format '%[fx:maxima.intensity]' info:)" != 0 ]
}

# The zip's show and screensaver, started from elsewhere, on their bundled
# content: each comes up full screen and ends, with exit code 0, on `key`.
on_screen() {
  local key=$1 code=0 program
  shift
  start_screen
  (cd / && wine "$@") &
  program=$!
  for _ in $(seq 150); do
    shows_something test && break
    sleep 0.2
  done
  shows_something test || fail "$* showed nothing"
  xdotool key "$key"
  wait "$program" || code=$?
  [ "$code" -eq 0 ] || fail "$* ended with $code on $key"
  stop_screen
}
on_screen Escape "$top/twenty-three-turns.exe"
on_screen a "$top/twenty-three-turns.scr" /s

# The screensaver's preview: its window over the whole of another program's,
# ended when that window goes away. What it draws there is not checked: Wine
# shows nothing one process paints into another's window.
x86_64-w64-mingw32-g++-posix -municode -static -O2 tests/windows/preview_host.cpp -lgdi32 -o "$work/host.exe"
start_screen
code=0
wine "$work/host.exe" "$top/twenty-three-turns.scr" 4 || code=$?
[ "$code" -eq 0 ] || fail "the screensaver's preview ended with $code"
stop_screen

if [ "$failed" -ne 0 ]; then
  echo "windows-test: failed (see above)" >&2
  exit 1
fi
echo "windows-test: $frames frames, the pictures, imports and module byte-identical under Wine; the show and screensaver on screen"
