# Failure counting for the package checks, sourced by them.
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
expect() {  # expect WHAT ACTUAL EXPECTED
    [ "$2" = "$3" ] || fail "$1: got '$2', expected '$3'"
}
