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

started=$(date +%s)
logs=$(mktemp -d)
declare -A lanes=()
# Ends a process and everything it started.
end_tree() {
  local child
  for child in $(pgrep -P "$1"); do end_tree "$child"; done
  kill "$1" 2>/dev/null || true
}
# A stage that fails ends the stages beside it, whose output so far is shown.
finish() {
  local name
  for name in "${!lanes[@]}"; do
    end_tree "${lanes[$name]}"
    printf '\n== the stages beside the others, cut short: %s\n' "$name"
    cat "$logs/$name.log"
  done
  rm -rf "$logs"
}
trap finish EXIT

# Each stage's start is stamped, and every stage's length listed at the end,
# so that where the time goes stays visible. A lane of stages that runs beside
# the others stamps its stages here as they start; its output is kept in a log
# of its own and printed whole when the lane is awaited.
exec 3>&1
lane=""
stage_name=""
stage_start=$started
stage() {
  local now
  now=$(date +%s)
  [ -z "$stage_name" ] ||
    printf '%d %d %s\n' $((stage_start - started)) $((now - stage_start)) "$stage_name" >>"$logs/stages"
  stage_name=$1
  stage_start=$now
  [ -n "$stage_name" ] || return 0
  printf '\n== %s (at %d s)\n' "$stage_name" $((now - started))
  [ -z "$lane" ] || printf '\n== %s (at %d s, beside the others)\n' "$stage_name" $((now - started)) >&3
}
stages_report() {
  stage ""
  printf '\n== time per stage\n'
  sort -n "$logs/stages" | while read -r at took name; do printf '%6d s  %s (at %d s)\n' "$took" "$name" "$at"; done
  printf '%6d s  in all\n' $(($(date +%s) - started))
}
# Runs the function LANE beside the stages that follow.
beside() {  # beside LANE
  (lane=$1; stage_name=""; "$1"; stage "") </dev/null >"$logs/$1.log" 2>&1 &
  lanes[$1]=$!
}
# Waits for LANE, prints its output, and fails if it failed.
await() {  # await LANE
  local status=0
  wait "${lanes[$1]}" || status=$?
  unset "lanes[$1]"
  printf '\n== the output of the stages beside the others: %s\n' "$1"
  cat "$logs/$1.log"
  if [ "$status" -ne 0 ]; then
    echo "scripts/test.sh: $1 failed (exit code $status)" >&2
    exit 1
  fi
}

stage "set-up and the normal build"
scripts/setup.sh --tests
export DEMO_SET_UP=1
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

# The page: its build, its browser tests and its benchmarks, which wait on
# the browser much of their time, beside the C++ stages.
page() {
  stage "the page"
  # Node reads the page's files as Debian 12's node 18 does, whatever its version:
  # a module that only a newer node's guessing takes for one fails here too.
  local option runner=(node --test)
  for option in --no-experimental-detect-module --no-experimental-require-module; do
    if node "$option" -e '' 2>/dev/null; then NODE_OPTIONS="${NODE_OPTIONS:+$NODE_OPTIONS }$option"; fi
  done
  export NODE_OPTIONS
  scripts/web.sh --build-only
  stage "the page's browser tests"
  # Test files at once, where the node knows how (from 20 on).
  if node --test-concurrency=1 -e '' 2>/dev/null; then runner+=(--test-concurrency=3); fi
  "${runner[@]}" tests/web/
  stage "the page's benchmarks, once"
  # The page's benchmarks, once each, for their loading under the same rules.
  node bench/page_bench.mjs 1
  node bench/page_loading_bench.mjs 1
}
beside page

# One arm64 build serves the ARM check and the arm64 package.
stage "the ARM check"
scripts/cross-test.sh aarch64
# Each package is built once: the normal build's package test checks this one.
stage "both packages"
native=$(dpkg --print-architecture)
# shellcheck source=facts/package.sh
. facts/package.sh
scripts/package.sh "$native"
scripts/package.sh arm64
stage "the normal build's tests"
(cd build && DEMO_PACKAGE_DEB=$PWD/../packages/${package}_${version}_$native.deb ctest --output-on-failure -j"$(nproc)")
stage "the arm64 package's check"
tests/package/arm64_package_test.sh "packages/${package}_${version}_$native.deb" \
                                    "packages/${package}_${version}_arm64.deb"

# The Windows libraries are built from Debian's sources once, into a cache
# outside the checkout (about 12 minutes), and reused after that.
stage "the Windows libraries"
scripts/windows-deps.sh | tail -n 1
stage "the Windows programs under Wine"
scripts/windows-test.sh

# One clang configuration with the sanitizers builds the tests and the fuzz
# targets; optimised a little (-O1), as the sanitizers advise, its tests run
# several times faster than unoptimised.
stage "the sanitizer build"
cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-g -O1" -DCMAKE_CXX_COMPILER=clang++ \
      -DDEMO_FUZZ=ON -DDEMO_BENCHMARKS=OFF
cmake --build build-sanitize -j"$(nproc)"
stage "the sanitizer build's tests"
(cd build-sanitize && ctest --output-on-failure -j"$(nproc)")
stage "fuzzing"
fuzz/run.sh 15 build-sanitize
stage ""
await page
stages_report
