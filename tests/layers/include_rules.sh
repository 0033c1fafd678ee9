#!/usr/bin/env bash
# Which parts of the source may include which. facts/ lies below everything
# and includes nothing of the rest; only the program (main/) and the tests
# include the program's own headers; the stand-ins for the operating system
# (platform/) know nothing of the show; the capture, the tools and the page
# draw no screen of their own; the page reaches the platform only through
# its own stand-ins. Prints every include that breaks a rule.
# Usage: tests/layers/include_rules.sh SOURCE_DIR
set -euo pipefail
cd "$1"

# The source's own folders; build folders and installed packages are not source.
folders=()
for folder in */; do
  folder=${folder%/}
  case $folder in build | build-* | node_modules) ;; *) folders+=("$folder") ;; esac
done

grep -rnE --include='*.h' --include='*.cpp' '^[[:space:]]*#[[:space:]]*include[[:space:]]*["<][^">]+[">]' \
     "${folders[@]}" |
  awk -v folders=" ${folders[*]} " '
    {
      file = $0; sub(/:.*/, "", file)
      included = $0; sub(/^[^"<]*["<]/, "", included); sub(/[">].*/, "", included)
      line = $0; sub(/^[^:]*:/, "", line); sub(/:.*/, "", line)
      part = file; sub(/\/.*/, "", part)
      target = included; sub(/\/.*/, "", target)
      ++includes; files[file] = 1
      # A system header, or one of the same folder named without it.
      if (included !~ /\// || index(folders, " " target " ") == 0) next
      why = ""
      if (part == "facts" && target != "facts") why = "facts/ includes only facts/"
      else if (target == "main" && part != "main" && part != "tests") why = "only main/ and tests/ include main/"
      else if (part == "platform" && target ~ /^(fx|display|show|assets)$/) why = "platform/ knows nothing of the show"
      else if (part ~ /^(capture|tools|web)$/ && target == "display") why = part "/ draws no screen"
      else if (part == "web" && target == "platform" && included !~ /^platform\/web\//)
        why = "web/ reaches the platform through platform/web/ only"
      if (why != "") { print file ":" line ": includes " included ": " why; ++broken }
    }
    END {
      for (file in files) ++count
      printf "include rules: %d includes in %d files, %d broken\n", includes, count, broken
      exit broken > 0
    }'
