#!/usr/bin/env bash
# Checks the arm64 package against this machine's: the same files and modes
# and the same content byte for byte, Depends naming the same run-time
# libraries as arm64 ones, no lintian error or warning, and its binaries, run
# under qemu-aarch64 with the arm64 libraries, answering as this machine's do:
# the usage texts, the frames, a lossless capture's frames, and the show
# starting and ending on SDL's dummy drivers.
# Usage: tests/package/arm64_package_test.sh NATIVE.deb ARM64.deb
set -euo pipefail
[ $# -eq 2 ] || { echo "usage: tests/package/arm64_package_test.sh NATIVE.deb ARM64.deb" >&2; exit 2; }
native_deb=$(readlink -f "$1")
deb=$(readlink -f "$2")
name=twenty-three-turns
for command in dpkg-deb lintian qemu-aarch64 ffmpeg; do
    command -v "$command" >/dev/null || { echo "$command is missing: run scripts/setup.sh --tests" >&2; exit 1; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# shellcheck source=tests/package/expect.sh
source "$(dirname "$0")/expect.sh"

native=$work/native
arm=$work/arm64
dpkg-deb -x "$native_deb" "$native"
dpkg-deb -x "$deb" "$arm"
start_lintian "$deb" "$work/lintian.log"
trap 'kill "$lintian" 2>/dev/null || true; rm -rf "$work"' EXIT
# Modes, owners and names; the binaries' sizes differ.
listing() { dpkg-deb -c "$1" | awk '{print $1, $2, $6}'; }
expect "files" "$(listing "$deb")" "$(listing "$native_deb")"
diff -r "$native/usr/share" "$arm/usr/share" >"$work/diff" || fail "content differs: $(cat "$work/diff")"
cmp -s "$native/usr/bin/$name" "$arm/usr/bin/$name" || fail "launchers differ"
hack=usr/libexec/xscreensaver/$name-screensaver
cmp -s "$native/$hack" "$arm/$hack" || fail "screensaver programs differ"
for binary in "$arm/usr/libexec/$name"/*; do
    [[ "$(file -b "$binary")" == "ELF 64-bit LSB pie executable, ARM aarch64,"*", stripped" ]] ||
        fail "${binary#"$arm"}: $(file -b "$binary")"
done

field() { dpkg-deb -f "$1" "$2"; }
expect "Architecture" "$(field "$deb" Architecture)" arm64
for other in Package Version Section Priority Maintainer Description; do
    expect "$other" "$(field "$deb" $other)" "$(field "$native_deb" $other)"
done
depended() { field "$1" Depends | sed 's/[,|]/\n/g' | awk '{print $1}' | sort -u; }
expect "libraries depended on" "$(depended "$deb")" "$(depended "$native_deb")"
for package in $(depended "$deb"); do
    [[ "$package" != *-dev ]] || fail "Depends names a development package: $package"
    dpkg-query -W -f='${Status}\n' "$package:arm64" 2>/dev/null | grep -qx 'install ok installed' ||
        fail "Depends names $package, not installed here for arm64"
done

# The arm64 binaries run on Debian's arm64 libraries, installed beside ours.
there() { qemu-aarch64 -L / "$@"; }
for tool in demo-frames demo-pictures demo-music demo-capture; do
    here_status=0 there_status=0
    "$native/usr/libexec/$name/$tool" --help >"$work/here" 2>&1 || here_status=$?
    there "$arm/usr/libexec/$name/$tool" --help >"$work/there" 2>&1 || there_status=$?
    grep -q "^usage: $tool " "$work/there" || fail "$tool --help gives no usage: $(cat "$work/there")"
    expect "$tool --help exit code" "$there_status" "$here_status"
    cmp -s "$work/here" "$work/there" || fail "$tool --help answers otherwise here"
done

content=$arm/usr/share/$name
# Across the whole cycle, and late in a segment where the corners keep
# earlier frames' pixels.
times=(0:368000:16000 15000:16000:250 200033)
(
    cd "$content"
    "$native/usr/libexec/$name/demo-frames" "$work/frames-here" "${times[@]}"
    there "$arm/usr/libexec/$name/demo-frames" "$work/frames-there" "${times[@]}"
)
count=0
for frame in "$work"/frames-here/frame-*.raw; do
    count=$((count + 1))
    cmp -s "$frame" "$work/frames-there/${frame##*/}" || fail "${frame##*/} differs under emulation"
done
expect "frames compared" "$((count > 20))" 1

# A second of lossless capture: its 60 frames are demo-frames' frames at the
# same times, without the spare byte.
seconds_times=()
for n in $(seq 0 59); do seconds_times+=($((n * 1000 / 60))); done
(
    cd "$content"
    there "$arm/usr/libexec/$name/demo-capture" --lossless --size 320x240 --full --seconds 1 "$work/capture.mkv" 2>"$work/capture.log"
    "$native/usr/libexec/$name/demo-frames" "$work/second" "${seconds_times[@]}"
) || fail "capture under emulation: $(cat "$work/capture.log")"
for t in "${seconds_times[@]}"; do cat "$work/second/frame-$t.raw"; done >"$work/second.raw"
as_bgr24() { ffmpeg -v error "$@" -map 0:v -f rawvideo -pix_fmt bgr24 -; }
as_bgr24 -i "$work/capture.mkv" >"$work/captured.bgr" || fail "capture does not decode"
as_bgr24 -f rawvideo -pix_fmt bgr0 -video_size 320x240 -i "$work/second.raw" >"$work/expected.bgr"
expect "captured bytes" "$(stat -c %s "$work/captured.bgr")" $((60 * 320 * 240 * 3))
cmp -s "$work/captured.bgr" "$work/expected.bgr" || fail "captured frames differ from demo-frames' frames"

# The show on the dummy drivers. It runs once it has its music thread (the
# display, and with it the handling of SIGTERM, is set up before the music
# starts) beside the main one and qemu's own; then it plays on, and ends on
# SIGTERM.
show_status=0
(
    cd "$content"
    exec setsid env -i PATH=/usr/bin:/bin SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy \
        qemu-aarch64 -L / "$arm/usr/libexec/$name/demo"
) >"$work/show.log" 2>&1 &
pid=$!
for _ in $(seq 300); do
    [ "$(threads "$pid")" -lt 3 ] || break
    sleep 0.1
done
sleep 2
kill -0 "$pid" 2>/dev/null || fail "show under emulation ended by itself: $(cat "$work/show.log")"
kill -TERM "$pid" 2>/dev/null || true
wait "$pid" || show_status=$?
kill -KILL -- "-$pid" 2>/dev/null || true
expect "show's exit code under emulation" "$show_status" 0

lintian_verdict
[ "$failures" -eq 0 ] || exit 1
echo "package $(basename "$deb"): $(stat -c %s "$deb") bytes, Depends: $(field "$deb" Depends)"
echo "package $(basename "$native_deb"): $(stat -c %s "$native_deb") bytes, Depends: $(field "$native_deb" Depends)"
echo "arm64 package checked: $count frames and a $((${#seconds_times[@]}))-frame lossless capture under qemu-aarch64 equal this machine's"
