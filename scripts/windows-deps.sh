#!/usr/bin/env bash
# Builds the libraries the Windows programs link, from Debian's source
# packages, with the MinGW-w64 cross compiler: static, stripped of debug
# information, into a cache outside the checkout named after the sources'
# versions and this build's recipe, so later builds and test runs reuse it.
# Prints the folder (the prefix to build against) on its last line.
# A cold build takes about 12 minutes on two quiet cores, libopenmpt most of it.
# DEMO_WINDOWS_CACHE chooses where the cache is.
set -euo pipefail
# Read whole before it runs, so that editing the script cannot change a build under way.
{
cd "$(dirname "$0")/.."
source=$(pwd)
toolchain=$source/packaging/windows-toolchain.cmake
host=x86_64-w64-mingw32
sources=(zlib libpng1.6 libjpeg-turbo libwebp libexif libsdl2 libsdl2-image libopenmpt)

if [ "$(id -u)" -eq 0 ]; then
  default_cache=/var/cache/twenty-three-turns
else
  default_cache=${XDG_CACHE_HOME:-$HOME/.cache}/twenty-three-turns
fi
cache=${DEMO_WINDOWS_CACHE:-$default_cache}

# What the result depends on: the sources apt would fetch now (file names carry
# the versions), this recipe, the toolchain file and the compiler.
# zlib's source stands in for Debian's libz-mingw-w64-dev, built from it.
key=$( {
  apt-get source --print-uris --only-source "${sources[@]}" | grep -o "'[^']*\.dsc'" | sort
  cat "$0" "$toolchain"
  "$host-gcc-posix" --version | head -n 1
} | sha256sum | cut -c1-16)
prefix=$cache/windows-$key
if [ -f "$prefix/.complete" ]; then
  echo "$prefix"
  exit 0
fi

mkdir -p "$cache"
# One build at a time; a second caller waits and then finds it done.
exec 9>"$cache/windows-$key.lock"
flock 9
if [ -f "$prefix/.complete" ]; then
  echo "$prefix"
  exit 0
fi

# Built in place; only a finished build is marked complete.
work=$(mktemp -d "$cache/windows-$key.work.XXXXXX")
trap 'rm -rf "$work"' EXIT
stage=$prefix
mkdir -p "$stage/lib/pkgconfig" "$stage/include" "$stage/licenses"
jobs=$(nproc)
export PKG_CONFIG_LIBDIR=$stage/lib/pkgconfig
export PKG_CONFIG_PATH=""
export PKG_CONFIG="pkg-config --static"
# The POSIX-threads compilers, as the toolchain file names them: std::thread and std::mutex need them.
export CC=$host-gcc-posix CXX=$host-g++-posix
export CFLAGS="-O2" CXXFLAGS="-O2" CPPFLAGS="-I$stage/include" LDFLAGS="-L$stage/lib"
autotools=(--host="$host" --prefix="$stage" --disable-shared --enable-static)
cmake_options=(-DCMAKE_TOOLCHAIN_FILE="$toolchain" -DDEMO_WINDOWS_DEPS="$stage" -DCMAKE_BUILD_TYPE=Release
               -DCMAKE_INSTALL_PREFIX="$stage" -DBUILD_SHARED_LIBS=OFF)

# Unpacks a source package, its Debian patches applied, and enters it.
unpack() {
  local package=$1
  (cd "$work" && apt-get source --only-source "$package" >"$work/$package.log" 2>&1) || {
    cat "$work/$package.log" >&2
    return 1
  }
  cd "$(find "$work" -maxdepth 1 -mindepth 1 -type d -name "$package-[0-9]*" | head -n 1)"
  # Each library's copyright, as its licence asks to ship with the programs.
  cp debian/copyright "$stage/licenses/$package.txt"
}

# Runs a step quietly, showing its log only when it fails.
quietly() {
  local log
  log=$work/step.log
  "$@" >"$log" 2>&1 || {
    tail -n 60 "$log" >&2
    echo "windows-deps: failed: $*" >&2
    return 1
  }
}

# Starts the step that builds `$1`; false when an earlier, interrupted run of
# the same recipe built it already.
step() {
  [ -z "${built:-}" ] || touch "$stage/.built-$built"
  built=$1
  echo "windows-deps: $1 ($(date +%T))" >&2
  [ ! -f "$stage/.built-$1" ]
}

if step zlib; then
unpack zlib
quietly env CHOST="$host" CROSS_PREFIX="$host-" ./configure --static --prefix="$stage"
quietly make -j"$jobs" install
fi

if step libpng; then
unpack libpng1.6
quietly ./configure "${autotools[@]}"
quietly make -j"$jobs" install
fi

if step libjpeg-turbo; then
unpack libjpeg-turbo
quietly cmake -S . -B build "${cmake_options[@]}" -DENABLE_SHARED=OFF -DWITH_TURBOJPEG=OFF
quietly cmake --build build -j"$jobs" --target install
fi

if step libwebp; then
unpack libwebp
quietly ./configure "${autotools[@]}" --disable-libwebpdemux --disable-libwebpmux --disable-gl --disable-sdl \
  --disable-png --disable-jpeg --disable-tiff --disable-gif --disable-wic
quietly make -j"$jobs" install
fi

if step libexif; then
unpack libexif
quietly autoreconf -fi
quietly ./configure "${autotools[@]}" --disable-nls --disable-docs
quietly make -j"$jobs" install
fi

if step SDL2; then
unpack libsdl2
quietly cmake -S . -B build "${cmake_options[@]}" -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF
quietly cmake --build build -j"$jobs" --target install
# The programs choose their own entry point and subsystem: the show is a
# windowed program, the tools are console programs with a plain main.
sed -i -e 's/ -Dmain=SDL_main//' -e 's/ -lSDL2main//' -e 's/ -mwindows//' "$stage/lib/pkgconfig/sdl2.pc"
fi

if step SDL2_image; then
unpack libsdl2-image
quietly cmake -S . -B build "${cmake_options[@]}" -DSDL2IMAGE_SAMPLES=OFF -DSDL2IMAGE_TESTS=OFF \
  -DSDL2IMAGE_VENDORED=OFF -DSDL2IMAGE_DEPS_SHARED=OFF -DSDL2IMAGE_BACKEND_STB=OFF -DSDL2IMAGE_BACKEND_WIC=OFF \
  -DSDL2IMAGE_PNG=ON -DSDL2IMAGE_JPG=ON -DSDL2IMAGE_WEBP=ON -DSDL2IMAGE_TIF=OFF -DSDL2IMAGE_AVIF=OFF \
  -DSDL2IMAGE_JXL=OFF -DSDL2IMAGE_QOI=OFF -DSDL2_DIR="$stage/lib/cmake/SDL2" \
  -DPNG_LIBRARY="$stage/lib/libpng16.a" -DPNG_PNG_INCLUDE_DIR="$stage/include" -DZLIB_LIBRARY="$stage/lib/libz.a" \
  -DZLIB_INCLUDE_DIR="$stage/include" -DJPEG_LIBRARY="$stage/lib/libjpeg.a" -DJPEG_INCLUDE_DIR="$stage/include" \
  -Dwebp_LIBRARY="$stage/lib/libwebp.a" -Dwebp_INCLUDE_PATH="$stage/include"
quietly cmake --build build -j"$jobs" --target install
# A static build installs no pkg-config file.
image=$(basename "$(find "$stage/lib" -maxdepth 1 -name 'libSDL2_image*.a' | head -n 1)" .a)
cat >"$stage/lib/pkgconfig/SDL2_image.pc" <<EOF
prefix=$stage
Name: SDL2_image
Description: image loading library for SDL2
Version: $(sed -n 's/^#define SDL_IMAGE_MAJOR_VERSION *//p;s/^#define SDL_IMAGE_MINOR_VERSION *//p;s/^#define SDL_IMAGE_PATCHLEVEL *//p' SDL_image.h | paste -sd.)
Requires: sdl2 libpng libjpeg libwebp
Libs: -L\${prefix}/lib -l${image#lib}
Cflags: -I\${prefix}/include/SDL2
EOF
fi

if step libopenmpt; then
unpack libopenmpt
quietly ./configure "${autotools[@]}" --disable-openmpt123 --disable-examples --disable-tests \
  --disable-doxygen-doc --without-zlib --without-mpg123 --without-ogg --without-vorbis --without-vorbisfile \
  --without-pulseaudio --without-portaudio --without-portaudiocpp --without-sndfile --without-flac
quietly make -j"$jobs" install
fi

touch "$stage/.built-$built"
echo "windows-deps: licences, stripping ($(date +%T))" >&2
# The C and C++ runtimes are linked in too.
cp /usr/share/doc/mingw-w64-common/copyright "$stage/licenses/mingw-w64.txt"
cp /usr/share/doc/gcc-mingw-w64-base/copyright "$stage/licenses/gcc-runtime.txt"
find "$stage/lib" -name '*.a' -exec "$host-strip" --strip-debug {} +
rm -rf "${stage:?}/share/doc" "${stage:?}/share/man" "${stage:?}/bin"
touch "$stage/.complete"
echo "$prefix"
exit 0
}
