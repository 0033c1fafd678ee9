#!/usr/bin/env bash
# The launcher and its capture command, installed from a built tree, at hostile and
# unlucky moments: another account that owns the runtime folder (as su
# leaves it) and the temporary folder, swapping each folder made there for a
# link to the user's own content; and a stop signal that comes while the
# run's folder is made. The user's files stay as they were, the show runs in
# a folder of the user's own, and every run ends and leaves nothing behind.
# Usage: tests/package/launcher_test.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
name=twenty-three-turns
work=$(mktemp -d)
swapper=
cleanup() {
    [ -z "$swapper" ] || kill "$swapper" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
# shellcheck source=tests/package/expect.sh
source "$source_dir/tests/package/expect.sh"

cmake --install "$build" --prefix "$work/prefix" >"$work/install.log" 2>&1 || { cat "$work/install.log" >&2; exit 1; }
launcher=$work/prefix/bin/$name
libexec=$work/prefix/libexec/$name
home=$work/home
own=$home/.local/share/$name
mkdir -p "$own" "$work/runtime" "$work/empty"
chmod 700 "$work/runtime"
for file in 01.raw 02.raw kimo.xm; do echo "the user's own $file" >"$own/$file"; done
own_files() { (cd "$own" && ls -lA --time-style=full-iso && cat -- *) 2>&1 || true; }
own_files >"$work/own-before"

# Starts the launcher in a session of its own, SIGINT not ignored, with the
# environment and arguments given.
start_launcher() {  # start_launcher VARIABLE=VALUE... [ARGUMENT...]
    setsid env --default-signal=INT -i PATH=/usr/bin:/bin HOME="$home" SDL_VIDEODRIVER=dummy \
        SDL_AUDIODRIVER=dummy "$@" >"$work/show.log" 2>&1 &
}
# Waits up to 15 seconds for the launcher PID to end and sets `status` to
# its exit code, or to "still running" after ending its session.
await_end() {  # await_end PID
    status=0
    for _ in $(seq 150); do
        kill -0 "$1" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$1" 2>/dev/null; then
        status="still running"
        kill -KILL -- "-$1" 2>/dev/null || true
        wait "$1" 2>/dev/null || true
    else
        wait "$1" || status=$?
    fi
}

# Another account owns the runtime folder and the temporary folder, and
# swaps every folder of ours it finds there for a link to the user's own
# content. The show must run elsewhere, on links to the user's files, and
# nothing of the user's may go.
if [ "$(id -u)" -eq 0 ] && id nobody >/dev/null 2>&1; then
    chmod 711 "$work"
    other_runtime=$work/other-runtime
    other_tmp=$work/other-tmp
    mkdir -m 700 "$other_runtime"
    mkdir -m 777 "$other_tmp"
    chown nobody "$other_runtime" "$other_tmp"
    # shellcheck disable=SC2016  # the swapper's shell expands them
    setpriv --reuid=nobody --regid="$(id -g nobody)" --clear-groups sh -c 'while :; do
        for run in "$1"/* "$2"/*; do
            case $run in *.taken) continue ;; esac
            [ -d "$run" ] && [ ! -L "$run" ] && mv "$run" "$run.taken" 2>/dev/null && ln -s "$3" "$run"
        done
    done' sh "$other_runtime" "$other_tmp" "$own" &
    swapper=$!
    hostile=(XDG_RUNTIME_DIR="$other_runtime" TMPDIR="$other_tmp")
    for run in 1 2 3; do
        start_launcher "${hostile[@]}" "$launcher"
        pid=$!
        show=$(running_show "$pid" "$libexec/demo")
        cwd="" link=""
        if [ -n "$show" ]; then
            cwd=$(readlink "/proc/$show/cwd")
            link=$(readlink "$cwd/01.raw" || true)
        fi
        kill -TERM "$pid" 2>/dev/null || true
        await_end "$pid"
        expect "run $run: exit code with another account's folders" "$status" 0
        expect "run $run: the show's folder" "${cwd%/*}" /tmp
        expect "run $run: its link to the user's picture" "$link" "$own/01.raw"
        [ ! -e "$cwd" ] || fail "run $run: $cwd is left behind"
    done
    # A capture outside a content folder plays the same content, through the
    # same kind of folder.
    status=0
    (cd "$work/empty" && env -i PATH=/usr/bin:/bin HOME="$home" "${hostile[@]}" "$launcher" capture \
        --lossless --size 320x240 --seconds 0.05 "$work/capture.mkv") >"$work/capture.log" 2>&1 || status=$?
    expect "the capture's exit code with another account's folders" "$status" 0
    kill "$swapper"
    wait "$swapper" 2>/dev/null || true
    swapper=
    expect "what the other account found" "$(ls -A "$other_runtime" "$other_tmp")" \
        "$other_runtime:"$'\n\n'"$other_tmp:"
    own_files >"$work/own-after"
    cmp -s "$work/own-before" "$work/own-after" ||
        fail "the user's folder changed: $(diff "$work/own-before" "$work/own-after")"
else
    echo "not root, or no account nobody: the other account's part is left out"
fi

# A stop signal sent to the launcher while the run's folder is being made (by
# a content-links that sends it first) ends the launcher, and nothing of the
# run is left; with --forever too.
mv "$libexec/content-links" "$libexec/content-links.real"
for case in HUP INT TERM "TERM --forever"; do
    signal=${case%% *}
    # shellcheck disable=SC2016  # the stand-in's shell expands them
    printf '#!/bin/sh\nkill -%s "$PPID"\nexec "$0.real" "$@"\n' "$signal" >"$libexec/content-links"
    chmod +x "$libexec/content-links"
    # shellcheck disable=SC2086  # the case's option, if any
    start_launcher XDG_RUNTIME_DIR="$work/runtime" "$launcher" ${case#"$signal"}
    pid=$!
    await_end "$pid"
    [ "$status" != "still running" ] || fail "SIG$case while the folder is made: the launcher did not end"
    expect "SIG$case while the folder is made: processes left" "$(pgrep -s "$pid" || true)" ""
    expect "SIG$case while the folder is made: folders left" "$(ls -A "$work/runtime")" ""
done
mv "$libexec/content-links.real" "$libexec/content-links"

[ "$failures" -eq 0 ] || exit 1
echo "launcher: all checks passed"
