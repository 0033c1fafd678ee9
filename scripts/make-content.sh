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
build=${DEMO_BUILD_DIR:-$(cd "$(dirname "$0")/.." && pwd)/build}
tools=$build/tools
if [ ! -f "$build/show_facts.sh" ]; then
  echo "make-content.sh: $build is not a configured build folder (no show_facts.sh)" >&2
  exit 1
fi
# shellcheck source=cmake/show_facts.sh.in
. "$build/show_facts.sh"
dir=$1
mkdir -p "$dir"

# A link to nothing may stand for content elsewhere (a drive not mounted):
# it is neither kept as if it were content nor replaced.
for name in $picture_files $module_file; do
  if [ -L "$dir/$name" ] && [ ! -e "$dir/$name" ]; then
    echo "make-content.sh: $dir/$name links to $(readlink "$dir/$name"), which does not exist;" \
         "remove the link or restore what it points to" >&2
    exit 1
  fi
done

missing=()
for name in $picture_files; do
  [ -e "$dir/$name" ] || missing+=("$name")
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
[ -e "$dir/$module_file" ] || "$tools/demo-music" "$dir/$module_file"
