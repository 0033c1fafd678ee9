#!/usr/bin/env bash
# Runs demo-bench with repetitions and prints every benchmark's median CPU
# time, then each benchmark pair's ratio against its target. CPU time, not wall time: on a
# shared machine it leaves out the time other processes held the core.
# Usage: bench/ratios.sh [REPETITIONS [demo-bench options...]]
# The binary is build/bench/demo-bench unless DEMO_BENCH names another.
# Exits 1 when a target is missed.
set -euo pipefail
cd "$(dirname "$0")/.."
bench=${DEMO_BENCH:-build/bench/demo-bench}
repetitions=${1:-9}
[ $# -gt 0 ] && shift
if [ ! -x "$bench" ]; then
  echo "ratios.sh: $bench not found; build the project first" >&2
  exit 2
fi
case "$repetitions" in
  '' | *[!0-9]* | 0) echo "ratios.sh: REPETITIONS must be a positive whole number" >&2; exit 2 ;;
esac

grep -m1 'model name' /proc/cpuinfo | sed 's/.*: /machine: /' || true
"$bench" --benchmark_repetitions="$repetitions" --benchmark_report_aggregates_only=true \
  --benchmark_format=csv "$@" 2>/dev/null |
awk -F, '
  # Rows: name,iterations,real_time,cpu_time,time_unit,...; medians are "<name>_median".
  $1 ~ /_median"?$/ {
    name = $1; gsub(/"/, "", name); sub(/_median$/, "", name)
    scale = ($5 ~ /ns/) ? 0.001 : ($5 ~ /us/) ? 1 : ($5 ~ /ms/) ? 1000 : 1000000
    cpu[name] = $4 * scale
    order[++count] = name
  }
  function pair(ours, anchor, limit, note) {
    if (!(ours in cpu) || !(anchor in cpu) || cpu[anchor] == 0) {
      printf "%-40s  (not run)\n", ours " / " anchor
      return
    }
    ratio = cpu[ours] / cpu[anchor]
    verdict = limit == "" ? "" : (ratio <= limit ? "ok" : "MISSED")
    if (verdict == "MISSED") missed = 1
    printf "%-40s %10.1f %10.1f %8.3f  %-22s %s\n", ours " / " anchor, cpu[ours], cpu[anchor], ratio,
           (limit == "" ? "" : "<= " limit note), verdict
  }
  END {
    printf "%-40s %10s\n", "benchmark (median CPU time, us)", "time"
    for (i = 1; i <= count; ++i) printf "%-40s %10.1f\n", order[i], cpu[order[i]]
    printf "\n%-40s %10s %10s %8s  %s\n", "pair (median CPU time, us)", "ours", "anchor", "ratio", "target"
    pair("BM_Rotozoom", "BM_PixmanAffine", 0.15, "")
    pair("BM_BlendFrame", "BM_PixmanOver", 0.4, "")
    pair("BM_CopyFrame", "BM_Memcpy", "", "")
    pair("BM_RenderFrame", "BM_PixmanFrameShare", 0.3, "")
    pair("BM_RadialBlur", "BM_RadialBlurScalar", 0.3333, " (3x faster)")
    pair("BM_DrawPlasma", "BM_DrawPlasmaScalar", "", "")
    exit missed
  }'
