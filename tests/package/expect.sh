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
# Waits up to 30 seconds until a process of the session PID other than
# EXCEPT runs the program SHOW, and prints that process. Running once it is
# the show with its music thread: the display, and with it the handling of
# SIGTERM, is set up before the music starts.
running_show() {  # running_show PID SHOW [EXCEPT]
    local candidate
    for _ in $(seq 300); do
        for candidate in $(pgrep -s "$1"); do
            if [ "$candidate" != "${3:-}" ] && [ "$(readlink "/proc/$candidate/exe" || true)" = "$2" ] &&
                [ "$(threads "$candidate")" -ge 2 ]; then
                echo "$candidate"
                return
            fi
        done
        sleep 0.1
    done
}
# lintian takes seconds of its own: started at once, its verdict is asked for
# at the end. No error or warning is allowed.
start_lintian() {  # start_lintian DEB LOG
    lintian_log=$2
    lintian --fail-on error,warning "$1" >"$lintian_log" 2>&1 &
    lintian=$!
}
lintian_verdict() {
    wait "$lintian" || fail "lintian: $(cat "$lintian_log")"
}
