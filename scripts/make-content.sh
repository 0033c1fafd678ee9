#!/usr/bin/env bash
# Writes the show's default content into DIR wherever it is missing: the
# pictures 01.raw ... 23.raw and the module kimo.xm. Files already there, such
# as one's own pictures or music, are kept. Builds nothing: it runs the tools
# of build/ (or of the build folder named by DEMO_BUILD_DIR).
# Usage: scripts/make-content.sh DIR
set -euo pipefail
if [ $# -ne 1 ]; then
  echo "usage: scripts/make-content.sh DIR" >&2
  exit 2
fi
tools="${DEMO_BUILD_DIR:-$(cd "$(dirname "$0")/.." && pwd)/build}/tools"
dir=$1
mkdir -p "$dir"

# A link to nothing may stand for content elsewhere (a drive not mounted):
# it is neither kept as if it were content nor replaced.
for name in $(seq -f '%02g.raw' 1 23) kimo.xm; do
  if [ -L "$dir/$name" ] && [ ! -e "$dir/$name" ]; then
    echo "make-content.sh: $dir/$name links to $(readlink "$dir/$name"), which does not exist;" \
         "remove the link or restore what it points to" >&2
    exit 1
  fi
done

missing=()
for number in $(seq -w 1 23); do
  [ -e "$dir/$number.raw" ] || missing+=("$number.raw")
done
if [ ${#missing[@]} -gt 0 ]; then
  # Drawn beside the folder's files, then moved in one by one: each appears whole.
  staging=$(mktemp -d "$dir/.pictures.XXXXXX")
  trap 'rm -rf "$staging"' EXIT
  "$tools/demo-pictures" generate "$staging"
  for name in "${missing[@]}"; do
    mv -n "$staging/$name" "$dir/$name"
  done
fi
[ -e "$dir/kimo.xm" ] || "$tools/demo-music" "$dir/kimo.xm"
