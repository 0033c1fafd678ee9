#!/usr/bin/env bash
# Sets up, builds and runs every test, in the normal build and in an
# AddressSanitizer + UndefinedBehaviorSanitizer build (clang, which also builds
# the fuzz targets), the engine's tests and frames on 64-bit ARM under
# emulation, both Debian packages and the arm64 package's binaries against
# this machine's under emulation, the web page's tests in headless Chromium,
# the Windows programs under Wine against this machine's, and each fuzz target
# for 15 seconds; and first checks the shell scripts with shellcheck.
# Usage: scripts/test.sh [--quick]
#   --quick  only the fast tier, for work in progress: the engine, the golden
#            frames and the tools, in the normal build
set -euo pipefail
cd "$(dirname "$0")/.."

quick=no
case ${1:-} in
  --quick) quick=yes ;;
  "") ;;
  *) echo "usage: scripts/test.sh [--quick]" >&2; exit 2 ;;
esac

# Each stage's start is stamped, and every stage's length listed at the end,
# so that where the time goes stays visible.
started=$(date +%s)
stage_name=""
stage_start=$started
stage_times=()
stage() {
  local now
  now=$(date +%s)
  [ -z "$stage_name" ] || stage_times+=("$(printf '%6d s  %s' $((now - stage_start)) "$stage_name")")
  stage_name=$1
  stage_start=$now
  [ -z "$stage_name" ] || printf '\n== %s (at %d s)\n' "$stage_name" $((now - started))
}
stages_report() {
  stage ""
  printf '\n== time per stage\n'
  printf '%s\n' "${stage_times[@]}"
  printf '%6d s  in all\n' $(($(date +%s) - started))
}

stage "set-up and the normal build"
scripts/setup.sh --tests
stage shellcheck
# The shell scripts, with what the build writes from templates.
shellcheck -x scripts/*.sh fuzz/*.sh tests/*/*.sh build/show_facts.sh build/packaging/launcher/twenty-three-turns \
  build/packaging/screensaver/twenty-three-turns-screensaver packaging/completion/twenty-three-turns

if [ "$quick" = yes ]; then
  stage "the fast tier"
  (cd build && ctest --output-on-failure -j"$(nproc)" -L quick)
  stages_report
  exit 0
fi

# Each package is built once: the normal build's package test checks this one.
stage "both packages"
native=$(dpkg --print-architecture)
# shellcheck source=facts/package.sh
. facts/package.sh
scripts/package.sh "$native"
scripts/package.sh arm64
stage "the normal build's tests"
(cd build && DEMO_PACKAGE_DEB=$PWD/../packages/${package}_${version}_$native.deb ctest --output-on-failure -j"$(nproc)")

stage "the ARM check"
scripts/cross-test.sh aarch64
stage "the arm64 package's check"
tests/package/arm64_package_test.sh "packages/${package}_${version}_$native.deb" \
                                    "packages/${package}_${version}_arm64.deb"

stage "the page"
# Node reads the page's files as Debian 12's node 18 does, whatever its version:
# a module that only a newer node's guessing takes for one fails here too.
for option in --no-experimental-detect-module --no-experimental-require-module; do
  if node "$option" -e '' 2>/dev/null; then NODE_OPTIONS="${NODE_OPTIONS:+$NODE_OPTIONS }$option"; fi
done
export NODE_OPTIONS
scripts/web.sh --build-only
stage "the page's browser tests"
node --test tests/web/
stage "the page's benchmarks, once"
# The page's benchmarks, once each, for their loading under the same rules.
node bench/page_bench.mjs 1
node bench/page_loading_bench.mjs 1

# The Windows libraries are built from Debian's sources once, into a cache
# outside the checkout (about 20 minutes), and reused after that.
stage "the Windows libraries"
scripts/windows-deps.sh | tail -n 1
stage "the Windows programs under Wine"
scripts/windows-test.sh

# One clang configuration with the sanitizers builds the tests and the fuzz targets.
stage "the sanitizer build"
cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ -DDEMO_FUZZ=ON -DDEMO_BENCHMARKS=OFF
cmake --build build-sanitize -j"$(nproc)"
stage "the sanitizer build's tests"
(cd build-sanitize && ctest --output-on-failure -j"$(nproc)")
stage "fuzzing"
fuzz/run.sh 15 build-sanitize
stages_report
