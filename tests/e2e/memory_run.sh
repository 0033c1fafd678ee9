#!/usr/bin/env bash
# Runs the show for minutes on a private Xvfb server and prints its resident
# memory as it goes, to show that it does not grow. Run by hand (not in CTest):
#   tests/e2e/memory_run.sh [SECONDS [MODULE]]
# SECONDS defaults to 180; MODULE, if given, is played as kimo.xm (the sound
# goes to /dev/null). Uses build/main/demo, or $DEMO if set.
set -euo pipefail
cd "$(dirname "$0")/../.."
seconds=${1:-180}
module=${2:-}
demo=$(realpath "${DEMO:-build/main/demo}")

folder=$(mktemp -d)
show=
server=
stop() {
  for pid in $show $server; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$folder"
}
trap stop EXIT
# shellcheck source=cmake/show_facts.sh.in
. "$(dirname "$demo")/../show_facts.sh"
for name in $picture_files; do head -c "$picture_bytes" /dev/urandom > "$folder/$name"; done
[ -n "$module" ] && cp "$module" "$folder/$module_file"

exec {displayfd}<> <(:)
Xvfb -displayfd "$displayfd" -screen 0 1024x768x24 -nolisten tcp 2>/dev/null &
server=$!
if ! read -r -t 10 -u "$displayfd" number; then
  echo "memory_run.sh: Xvfb did not start" >&2
  exit 1
fi
export DISPLAY=":$number"

(cd "$folder" && SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=/dev/null exec "$demo" 2>/dev/null) &
show=$!
start=$SECONDS
for at in 10 30 60 120 180 240 300 600; do
  [ "$at" -le "$seconds" ] || break
  sleep $((at - (SECONDS - start)))
  echo "after ${at}s: $(grep -E 'VmRSS' /proc/$show/status | tr -s ' \t' ' ')"
done
xdotool key Escape
wait "$show" && echo "ended with exit code 0" || echo "ended with exit code $?"
