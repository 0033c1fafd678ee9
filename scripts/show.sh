#!/usr/bin/env bash
# Sets up and builds the project, then shows frames of the show from the
# pictures in content/ (the full-screen show replaces this once it lands).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
mkdir -p content
cd content
../build/tools/demo-frames --png frames 0:368000:16000
echo "frames written to $(pwd)/frames"
