#!/usr/bin/env bash
# Builds the show's web page into build-web/page, with its content packed
# beside it (the default content, or DIR's where --content DIR is given: what
# DIR lacks comes from the defaults), the music worklet and the home-screen
# icons, and serves it on http://localhost:8000/ with Python's static server.
# Usage: scripts/web.sh [--build-only] [--content DIR]
set -euo pipefail
cd "$(dirname "$0")/.."

serve=yes
own=""
while [ $# -gt 0 ]; do
  case $1 in
    --build-only) serve=no; shift ;;
    --content)
      if [ $# -lt 2 ] || [ ! -d "$2" ]; then echo "web.sh: --content takes a folder" >&2; exit 2; fi
      own=$(cd "$2" && pwd); shift 2 ;;
    *) echo "usage: scripts/web.sh [--build-only] [--content DIR]" >&2; exit 2 ;;
  esac
done

scripts/setup.sh --web  # also builds the native tools that make the content
# Debian's emscripten runs its own scripts with node and needs Debian's modules.
export NODE_PATH=/usr/share/nodejs
emcmake cmake -S . -B build-web -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build-web -j"$(nproc)"
(cd web && npm ci --no-audit --no-fund --loglevel=error)

# shellcheck source=cmake/show_facts.sh.in
. build/show_facts.sh

# The content as the show reads it, in build-web/content: DIR's files, then the defaults.
content=build-web/content
rm -rf "$content"
mkdir -p "$content"
if [ -n "$own" ]; then
  for name in $picture_files $module_file; do
    if [ -f "$own/$name" ]; then cp "$own/$name" "$content/$name"; fi
  done
fi
scripts/make-content.sh "$content"

page=build-web/page
# The icons: the middle of the default sunflower, as the installed show's
# icon is made.
defaults=$(mktemp -d)
trap 'rm -rf "$defaults"' EXIT
build/tools/demo-pictures generate "$defaults"
for size in 256 512; do
  build/tools/demo-pictures view --square "$size" "$defaults/$icon_picture" "$page/icon-$size.png"
done
rm -rf "$defaults"
trap - EXIT

# The packed content and the worklet, last: the service worker lists every file of the page.
rm -rf "$page/chiptune3"
find "$page" -maxdepth 1 \( -name '*.raw' -o -name '*.webp' -o -name '*.gz' -o -name "$module_file" \) -delete
mkdir -p "$page/chiptune3"
node web/pack_content.mjs "$content" web/node_modules/chiptune3 "$page"

if [ "$serve" = yes ]; then
  echo "The show: http://localhost:8000/ (Ctrl-C stops the server)"
  exec python3 -m http.server --bind 127.0.0.1 --directory "$page" 8000
fi
