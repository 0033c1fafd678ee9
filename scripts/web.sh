#!/usr/bin/env bash
# Builds the show's web page into build-web/page, with the default content,
# the music worklet and the home-screen icons beside it, and serves it on
# http://localhost:8000/ with Python's static server.
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

# The icons: the middle of the default sunflower, as the installed show's
# icon is made.
# shellcheck source=cmake/show_facts.sh.in
. build/show_facts.sh
defaults=$(mktemp -d)
trap 'rm -rf "$defaults"' EXIT
build/tools/demo-pictures generate "$defaults"
for size in 256 512; do
  build/tools/demo-pictures view --square "$size" "$defaults/$icon_picture" "$page/icon-$size.png"
done
rm -rf "$defaults"
trap - EXIT

if [ "${1:-}" != "--build-only" ]; then
  echo "The show: http://localhost:8000/ (Ctrl-C stops the server)"
  exec python3 -m http.server --bind 127.0.0.1 --directory "$page" 8000
fi
