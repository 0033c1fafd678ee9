#!/usr/bin/env bash
# Runs every fuzz target of a DEMO_FUZZ build for SECONDS (default 15), all at once,
# from the seeds in fuzz/corpus/ and what earlier runs found interesting.
# Usage: fuzz/run.sh [SECONDS [BUILD_DIR]]   exit code 1 if any target failed
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1
seconds=${1:-15}
build=$(realpath "${2:-build-fuzz}")  # absolute: a target may change its directory

# Runs one target; its seeds are in fuzz/corpus/TARGET/.
fuzz_one() {
  local seeds=$1 target fuzzer corpus findings scratch
  target=$(basename "$seeds")
  fuzzer="$build/fuzz/${target}_fuzz"
  [ -x "$fuzzer" ] || { echo "fuzz: $fuzzer is not built" >&2; return 1; }
  corpus="$build/corpus/$target"  # new inputs go here, never into the seeds
  findings="$build/findings/$target"
  mkdir -p "$corpus" "$findings"
  # A slow input or a memory blow-up counts as a finding; the targets'
  # own messages on standard error are dropped.
  scratch=$(mktemp -d "$( [ -w /dev/shm ] && echo /dev/shm || echo /tmp )/demo-fuzz-XXXXXX")
  local failed=0
  TMPDIR="$scratch" "$fuzzer" -max_total_time="$seconds" -timeout=60 -rss_limit_mb=2560 -close_fd_mask=2 \
    -print_final_stats=1 -artifact_prefix="$findings/" "$corpus" "$seeds" >"$build/fuzz-$target.log" 2>&1 || failed=1
  rm -rf "$scratch"
  if [ "$failed" -ne 0 ]; then
    echo "fuzz: $target FAILED; see $build/fuzz-$target.log and $findings/" >&2
    tail -n 40 "$build/fuzz-$target.log" >&2
    return 1
  fi
  echo "fuzz: $target: $(grep -o 'stat::number_of_executed_units: [0-9]*' "$build/fuzz-$target.log" | grep -o '[0-9]*$') runs, nothing found"
}

# All targets at once: each is given its seconds whatever the others do.
pids=()
for seeds in "$PWD"/fuzz/corpus/*/; do
  fuzz_one "$seeds" &
  pids+=($!)
done
status=0
for pid in "${pids[@]}"; do
  wait "$pid" || status=1
done
exit $status
