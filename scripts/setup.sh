#!/usr/bin/env bash
# Installs what the project needs from Debian's packages and builds it.
# Usage: scripts/setup.sh [--web | --package | --arm64 | --windows | --tests]
#   (none)     only what the show and its content tools need (no FFmpeg: the
#              capture tool is then not built). A new build folder is then
#              made without the tests and the benchmarks, and only the show
#              and its tools are built.
#   --web      also what building the web page needs (emscripten, node and npm)
#   --package  also what building this machine's Debian package needs
#   --arm64    also what cross-building the arm64 package needs: Debian's
#              cross compiler and, beside this machine's, the arm64 libraries
#   --windows  also what cross-building the Windows zip needs: Debian's
#              MinGW-w64 compiler, the tools that build the libraries from
#              Debian's source packages (and those packages' list), Wine
#   --tests    also what the tests and the benchmarks use, the page's browser
#              tests and the ARM checks among them; builds everything
set -euo pipefail
cd "$(dirname "$0")/.."

# The test command, once its own set-up (--tests, the most of all) is done,
# sets DEMO_SET_UP: the scripts it runs then leave build/ alone while other
# stages read it.
[ -z "${DEMO_SET_UP:-}" ] || exit 0

mode=${1:-}
packages=(build-essential cmake pkg-config libsdl2-dev libsdl2-image-dev libx11-dev libopenmpt-dev libexif-dev)
web=(emscripten python3 webp)  # python3: the page's static server; webp: cwebp packs its pictures
# Debian's node and npm, unless a node with npm is already installed.
command -v node >/dev/null && command -v npm >/dev/null || web+=(nodejs npm)
if [ "$mode" = "--web" ]; then
  packages+=("${web[@]}")
fi
# FFmpeg: the capture tool, which the package carries and the tests cover.
package=(dpkg-dev file libavformat-dev libavcodec-dev libswscale-dev libswresample-dev libavutil-dev)
arm64=("${package[@]}" g++-aarch64-linux-gnu)
for library in libsdl2 libsdl2-image libx11 libopenmpt libexif libavformat libavcodec libswscale libswresample libavutil; do
  arm64+=("$library-dev:arm64")
done
windows=(g++-mingw-w64-x86-64-posix wine wine64 dpkg-dev nasm autoconf automake libtool autopoint imagemagick zip)
case $mode in
  --package) packages+=("${package[@]}") ;;
  --arm64) packages+=("${arm64[@]}") ;;
  --windows) packages+=("${windows[@]}") ;;
esac
if [ "$mode" = "--tests" ]; then
  packages+=(libgtest-dev libgmock-dev libbenchmark-dev libpixman-1-dev)
  packages+=("${web[@]}" chromium)
  packages+=(xvfb xdotool x11-utils imagemagick openmpt123 shellcheck bash-completion xscreensaver)
  packages+=(g++-aarch64-linux-gnu qemu-user googletest)  # scripts/cross-test.sh
  packages+=(clang libclang-rt-14-dev)  # libFuzzer, for fuzz/
  packages+=(xplanet-images tecnoballz-data)  # photographs and modules that no one here made
  packages+=("${arm64[@]}" desktop-file-utils appstream lintian ffmpeg)  # building and checking the packages
  packages+=("${windows[@]}" unzip binutils-mingw-w64-x86-64)  # scripts/windows-test.sh
fi
if [ "$mode" = "--windows" ] || [ "$mode" = "--tests" ]; then
  # The Windows libraries are built from Debian's own sources.
  sources=/etc/apt/sources.list.d/twenty-three-turns-src.sources
  if [ ! -f "$sources" ]; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    # From the mirror this machine already takes Debian's packages from.
    # shellcheck disable=SC2016
    mirror=$(apt-get indextargets --format '$(REPO_URI) $(RELEASE) $(TARGET_OF)' |
             awk '$2 == "bookworm" && $3 == "deb" { print $1; exit }')
    printf '%s\n' 'Types: deb-src' "URIs: ${mirror:-http://deb.debian.org/debian/}" 'Suites: bookworm bookworm-updates' \
           'Components: main' 'Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg' | $sudo tee "$sources" >/dev/null
    $sudo apt-get update
  fi
fi

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  # The arm64 libraries come from the same archive once it lists them.
  if [[ " ${missing[*]}" == *:arm64* ]] && ! dpkg --print-foreign-architectures | grep -qx arm64; then
    $sudo dpkg --add-architecture arm64
  fi
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get -o DPkg::Lock::Timeout=600 install -y "${missing[@]}"
fi

if [ "$mode" = "--tests" ]; then
  cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DDEMO_TESTS=ON -DDEMO_BENCHMARKS=ON
  cmake --build build -j"$(nproc)"
else
  options=()
  [ -f build/CMakeCache.txt ] || options=(-DDEMO_TESTS=OFF -DDEMO_BENCHMARKS=OFF)
  cmake -S . -B build -DCMAKE_BUILD_TYPE=Release "${options[@]}"
  cmake --build build -j"$(nproc)" --target demo demo-pictures demo-music
fi
