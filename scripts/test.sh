#!/usr/bin/env bash
# Sets up, builds and runs every test, in the normal build and in an
# AddressSanitizer + UndefinedBehaviorSanitizer build, the engine's tests and
# frames on 64-bit ARM under emulation, the arm64 package's binaries against
# this machine's under emulation, the web page's tests in headless
# Chromium, and each fuzz target for 15 seconds; and checks the shell scripts
# with shellcheck.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh --tests
# The shell scripts, with what the build writes from templates.
shellcheck -x scripts/*.sh fuzz/*.sh tests/*/*.sh build/show_facts.sh build/packaging/launcher/twenty-three-turns \
  build/packaging/screensaver/twenty-three-turns-screensaver packaging/completion/twenty-three-turns
(cd build && ctest --output-on-failure -j"$(nproc)")

scripts/cross-test.sh aarch64
native=$(dpkg --print-architecture)
scripts/package.sh "$native"
scripts/package.sh arm64
version=$(sed -n 's/^project(demo VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
tests/package/arm64_package_test.sh "packages/twenty-three-turns_${version}_$native.deb" \
                                    "packages/twenty-three-turns_${version}_arm64.deb"

scripts/web.sh --build-only
node --test tests/web/

cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DDEMO_SANITIZE=ON
cmake --build build-sanitize -j"$(nproc)"
(cd build-sanitize && ctest --output-on-failure -j"$(nproc)")

cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ -DDEMO_FUZZ=ON -DDEMO_TESTS=OFF -DDEMO_BENCHMARKS=OFF
cmake --build build-fuzz -j"$(nproc)" --target fuzzers
fuzz/run.sh 15
