#!/usr/bin/env bash
# Runs every fuzz target of a DEMO_FUZZ build for SECONDS each (default 15),
# from the seeds in fuzz/corpus/ and what earlier runs found interesting.
# Usage: fuzz/run.sh [SECONDS [BUILD_DIR]]   exit code 1 if any target failed
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1
seconds=${1:-15}
build=$(realpath "${2:-build-fuzz}")  # absolute: a target may change its directory

status=0
for seeds in "$PWD"/fuzz/corpus/*/; do
  target=$(basename "$seeds")
  fuzzer="$build/fuzz/${target}_fuzz"
  [ -x "$fuzzer" ] || { echo "fuzz: $fuzzer is not built" >&2; status=1; continue; }
  corpus="$build/corpus/$target"  # new inputs go here, never into the seeds
  findings="$build/findings/$target"
  mkdir -p "$corpus" "$findings"
  # A slow input or a memory blow-up counts as a finding; the targets'
  # own messages on standard error are dropped.
  scratch=$(mktemp -d "$( [ -w /dev/shm ] && echo /dev/shm || echo /tmp )/demo-fuzz-XXXXXX")
  if TMPDIR="$scratch" "$fuzzer" -max_total_time="$seconds" -timeout=60 -rss_limit_mb=2560 -close_fd_mask=2 \
       -print_final_stats=1 -artifact_prefix="$findings/" "$corpus" "$seeds" >"$build/fuzz-$target.log" 2>&1; then
    echo "fuzz: $target: $(grep -o 'stat::number_of_executed_units: [0-9]*' "$build/fuzz-$target.log" | grep -o '[0-9]*$') runs, nothing found"
  else
    echo "fuzz: $target FAILED; see $build/fuzz-$target.log and $findings/" >&2
    tail -n 40 "$build/fuzz-$target.log" >&2
    status=1
  fi
  rm -rf "$scratch"
done
exit $status
