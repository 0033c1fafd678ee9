#!/usr/bin/env bash
# Builds the Debian package from a built tree and checks what installing it
# gives: the files and their modes, the control fields, the menu entry and
# metainfo, the tools answering, and the launcher starting the show on the
# right folder and passing its exit code through.
# Usage: tests/package/package_test.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
name=twenty-three-turns
for command in cpack dpkg-deb dpkg-shlibdeps desktop-file-validate appstreamcli file lintian; do
    command -v "$command" >/dev/null || { echo "$command is missing: run scripts/setup.sh --tests" >&2; exit 1; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# shellcheck source=tests/package/expect.sh
source "$source_dir/tests/package/expect.sh"
# shellcheck source=cmake/show_facts.sh.in
source "$build/show_facts.sh"

version=$(sed -n 's/^project(demo VERSION \([0-9.]*\).*/\1/p' "$source_dir/CMakeLists.txt")
# The package scripts/package.sh made from this build (the test command's), or
# one made here.
if [ -n "${DEMO_PACKAGE_DEB:-}" ]; then
    deb=$DEMO_PACKAGE_DEB
else
    (cd "$build" && cpack -G DEB -B "$work/out" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log" >&2; exit 1; }
    deb=$work/out/${name}_${version}_$(dpkg --print-architecture).deb
fi
[ -f "$deb" ] || { echo "no package $deb" >&2; exit 1; }

# Everything the package holds, and which of it is executable.
expected_files="usr/bin/demo-capture
usr/bin/demo-frames
usr/bin/demo-music
usr/bin/demo-pictures
usr/bin/$name
usr/libexec/$name/content-links
usr/libexec/$name/demo
usr/share/applications/org.twentythreeturns.TwentyThreeTurns.desktop
usr/share/doc/$name/changelog.gz
usr/share/doc/$name/copyright
usr/share/icons/hicolor/256x256/apps/$name.png
usr/share/man/man1/demo-capture.1.gz
usr/share/man/man1/demo-frames.1.gz
usr/share/man/man1/demo-music.1.gz
usr/share/man/man1/demo-pictures.1.gz
usr/share/man/man1/$name.1.gz
usr/share/metainfo/org.twentythreeturns.TwentyThreeTurns.metainfo.xml
$(for file in $picture_files $module_file; do echo "usr/share/$name/$file"; done)"
dpkg-deb -c "$deb" >"$work/list"
expect "files" "$(awk '$1 !~ /^d/ {sub(/^\.\//, "", $6); print $6}' "$work/list" | sort)" "$(sort <<<"$expected_files")"
expect "executables" "$(awk '$1 == "-rwxr-xr-x" {sub(/^\.\//, "", $6); print $6}' "$work/list" | sort)" \
    "$(grep -E '^usr/(bin|libexec)/' <<<"$expected_files" | sort)"
expect "other modes" "$(awk '$1 !~ /^d/ && $1 != "-rwxr-xr-x" && $1 != "-rw-r--r--"' "$work/list")" ""
expect "owners" "$(awk '$2 != "root/root"' "$work/list")" ""

field() { dpkg-deb -f "$deb" "$1"; }
expect "Package" "$(field Package)" "$name"
expect "Section" "$(field Section)" video
[[ "$(field Maintainer)" =~ ^[^\<]+\ \<[^@\>]+@[^\>]+\>$ ]] || fail "Maintainer: $(field Maintainer)"
depends=$(field Depends)
for library in libsdl2-2.0-0 libsdl2-image-2.0-0 libopenmpt0; do
    [[ "$depends" == *"$library ("* ]] || fail "Depends lacks $library: $depends"
done
[[ "$depends" != *-dev* ]] || fail "Depends names a development package: $depends"
[ "$(field Description | wc -l)" -gt 3 ] || fail "Description has no long text"

root=$work/root
dpkg-deb -x "$deb" "$root"
share=$root/usr/share
# One version everywhere: the package, its changelog and the metainfo's newest release.
expect "changelog version" "$(zcat "$share/doc/$name/changelog.gz" | sed -n '1s/.*(\(.*\)).*/\1/p')" "$version"
expect "metainfo version" "$(grep -o -m1 '<release version="[^"]*"' "$share"/metainfo/*.xml | cut -d'"' -f2)" "$version"
desktop-file-validate "$share"/applications/*.desktop || fail "desktop entry does not validate"
appstreamcli validate --no-net "$share"/metainfo/*.xml >"$work/appstream.log" ||
    fail "metainfo does not validate: $(cat "$work/appstream.log")"
expect "Exec" "$(grep '^Exec=' "$share"/applications/*.desktop)" "Exec=/usr/bin/$name"
expect "Path" "$(grep '^Path=' "$share"/applications/*.desktop)" "Path=/usr/share/$name"
expect "Icon" "$(grep '^Icon=' "$share"/applications/*.desktop)" "Icon=$name"
expect "StartupWMClass" "$(grep '^StartupWMClass=' "$share"/applications/*.desktop)" "StartupWMClass=$name"
grep -q '^License: MIT$' "$share/doc/$name/copyright" || fail "copyright names no MIT licence"
for tool in demo-frames demo-pictures demo-music demo-capture; do
    [[ "$(field Description)" == *"$tool"* ]] || fail "Description does not name $tool"
    zcat "$share/man/man1/$name.1.gz" | grep -q "^\.BR ${tool//-/\\\\-} (1)" || fail "$name(1) does not name $tool"
done
[[ "$(file -b "$share/icons/hicolor/256x256/apps/$name.png")" == "PNG image data, 256 x 256, "* ]] ||
    fail "icon: $(file -b "$share/icons/hicolor/256x256/apps/$name.png")"

for tool in demo-frames demo-pictures demo-music demo-capture; do
    status=0
    "$root/usr/bin/$tool" 2>"$work/usage" || status=$?
    expect "$tool exit code" "$status" 2
    grep -q "^usage: $tool " "$work/usage" || fail "$tool gives no usage: $(cat "$work/usage")"
done
launcher=$root/usr/bin/$name
"$launcher" --help | grep -q "^usage: $name" || fail "$name --help"
status=0
"$launcher" --bogus 2>/dev/null || status=$?
expect "$name --bogus exit code" "$status" 2

# Starts the launcher, with the environment and arguments given, in its own
# process group, so that nothing outlives the check.
start_launcher() {  # start_launcher VARIABLE=VALUE... [ARGUMENT...]
    setsid env -i PATH=/usr/bin:/bin SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy "$@" >"$work/show.log" 2>&1 &
}
# Starts the launcher with the environment given, waits until the show runs
# and checks what its working directory holds, ends the launcher as the
# desktop would, and checks the exit code and that the run's folder is gone.
run_show() {  # run_show OWN_FOLDER VARIABLE=VALUE...: the show plays OWN_FOLDER's files, the defaults for the rest
    local own=$1 pid show="" status=0 cwd="" links="" file
    shift
    start_launcher XDG_RUNTIME_DIR="$work/runtime" "$@" "$launcher"
    pid=$!
    show=$(running_show "$pid" "$root/usr/libexec/$name/demo")
    if [ -n "$show" ]; then
        cwd=$(readlink "/proc/$show/cwd")
        for file in "$cwd"/*; do links+="${file##*/} -> $(readlink "$file")"$'\n'; done
    fi
    kill -TERM "$pid" 2>/dev/null || true
    wait "$pid" || status=$?
    kill -KILL -- "-$pid" 2>/dev/null || true
    expect "show's folder" "${cwd%/*}" "$work/runtime"
    local wanted=""
    for file in "$share/$name"/*; do
        if [ -n "$own" ] && { [ -e "$own/${file##*/}" ] || [ -L "$own/${file##*/}" ]; }; then
            wanted+="${file##*/} -> $own/${file##*/}"$'\n'
        else
            wanted+="${file##*/} -> $file"$'\n'
        fi
    done
    expect "show's files" "$links" "$wanted"
    expect "show's exit code" "$status" 0
    expect "folders left in the runtime folder" "$(ls -A "$work/runtime")" ""
}
mkdir -m 700 "$work/runtime"
home=$work/home
mkdir -p "$home"
run_show "" HOME="$home"
own=$home/.local/share/$name
mkdir -p "$own"
echo "my own picture" >"$own/01.raw"
ln -s nowhere "$own/05.raw"
(cd "$own" && ls -lA --time-style=full-iso && cat 01.raw) >"$work/own-before"
# A relative XDG_DATA_HOME is ignored.
run_show "$own" HOME="$home" XDG_DATA_HOME=relative/folder
(cd "$own" && ls -lA --time-style=full-iso && cat 01.raw) >"$work/own-after"
cmp -s "$work/own-before" "$work/own-after" || fail "the user's folder changed: $(diff "$work/own-before" "$work/own-after")"
# An absolute one replaces ~/.local/share, even without a folder of ours in it.
run_show "" HOME="$home" XDG_DATA_HOME="$work/elsewhere"
status=0
env -i HOME="$home" XDG_RUNTIME_DIR="$work/runtime" SDL_VIDEODRIVER=nonexistent "$launcher" >/dev/null 2>&1 || status=$?
expect "exit code of a show that cannot start" "$status" 1
expect "folders left after a show that cannot start" "$(ls -A "$work/runtime")" ""

# On an X server the window carries the class the menu entry names and the icon.
if command -v xvfb-run >/dev/null && command -v xprop >/dev/null; then
    # shellcheck disable=SC2016  # the inner shell expands them
    env -i PATH=/usr/bin:/bin HOME="$home" XDG_RUNTIME_DIR="$work/runtime" SDL_AUDIODRIVER=dummy \
        xvfb-run -a sh -c '"$1" & for _ in $(seq 100); do
            xprop -name test -len 8 _NET_WM_ICON 2>/dev/null | grep -q "Icon" && break; sleep 0.1; done
            { xprop -name test WM_CLASS; xprop -name test -len 8 _NET_WM_ICON; } >"$2" 2>&1
            kill -TERM $!; wait $!' sh "$launcher" "$work/xprop" >/dev/null 2>&1 || true
    expect "window class" "$(grep '^WM_CLASS' "$work/xprop" || true)" \
        "WM_CLASS(STRING) = \"$name\", \"$name\""
    grep -q '^_NET_WM_ICON(CARDINAL) = 	Icon (256 x 256):$' "$work/xprop" ||
        fail "the window has no 256 x 256 icon: $(cat "$work/xprop")"
fi

# Unattended, a crash starts the show again after the pause, with one line on
# standard error; SIGTERM to the launcher ends the show for good.
start_launcher HOME="$work/forever-home" XDG_RUNTIME_DIR="$work/runtime" "$launcher" --forever
pid=$!
first=$(running_show "$pid" "$root/usr/libexec/$name/demo")
if [ -z "$first" ] || [ "$first" = "$pid" ]; then fail "--forever runs no show"; fi
kill -KILL "$first" 2>/dev/null || true
second=$(running_show "$pid" "$root/usr/libexec/$name/demo" "$first")
[ -n "$second" ] || fail "--forever did not start the show again: $(cat "$work/show.log")"
kill -TERM "$pid" 2>/dev/null || true
status=0
wait "$pid" || status=$?
kill -KILL -- "-$pid" 2>/dev/null || true
expect "exit code of --forever ended by SIGTERM" "$status" 0
expect "--forever's report" "$(cat "$work/show.log")" \
    "$name: the show was ended by signal KILL; starting it again in 3 seconds"

lintian --fail-on error,warning "$deb" >"$work/lintian.log" 2>&1 || fail "lintian: $(cat "$work/lintian.log")"
[ "$failures" -eq 0 ] || exit 1
echo "package $(basename "$deb"): $(stat -c %s "$deb") bytes, all checks passed"
