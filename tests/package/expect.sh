# shellcheck shell=bash
# Failure counting for the package checks, sourced by them, and what they
# ask of a running process.
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
expect() {  # expect WHAT ACTUAL EXPECTED
    [ "$2" = "$3" ] || fail "$1: got '$2', expected '$3'"
}
threads() {  # threads PID: how many threads the process has, 0 once it is gone
    local tasks=("/proc/$1/task"/*)
    if [ -e "${tasks[0]}" ]; then echo "${#tasks[@]}"; else echo 0; fi
}
