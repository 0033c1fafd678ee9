#!/usr/bin/env bash
# Builds the show's web page into build-web/page, with the default content
# and the music worklet beside it, and serves it on http://localhost:8000/.
# Usage: scripts/web.sh [--build-only]
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh --web  # also builds the native tools that make the content
# Debian's emscripten runs its own scripts with node and needs Debian's modules.
export NODE_PATH=/usr/share/nodejs
emcmake cmake -S . -B build-web -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build-web -j"$(nproc)"

page=build-web/page
(cd web && npm ci --no-audit --no-fund --loglevel=error)
mkdir -p "$page/chiptune3"
cp web/node_modules/chiptune3/{chiptune3.js,chiptune3.worklet.js,libopenmpt.worklet.js,LICENSE} "$page/chiptune3/"
scripts/make-content.sh "$page"

if [ "${1:-}" != "--build-only" ]; then
  exec node web/serve.mjs "$page" 8000
fi
