#!/usr/bin/env bash
# Builds the Debian package from a built tree and checks what installing it
# gives: the files and their modes, the control fields, the menu and
# screensaver entries and metainfo, the commands answering, the launcher
# starting the show on the right folder and passing its exit code through,
# and the screensaver drawing where it is told and leaving nothing behind.
# Usage: tests/package/package_test.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
# shellcheck source=facts/package.sh
source "$source_dir/facts/package.sh"
name=$package
for command in cpack dpkg-deb dpkg-shlibdeps desktop-file-validate appstreamcli file lintian; do
    command -v "$command" >/dev/null || { echo "$command is missing: run scripts/setup.sh --tests" >&2; exit 1; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# shellcheck source=tests/package/expect.sh
source "$source_dir/tests/package/expect.sh"
# shellcheck source=cmake/show_facts.sh.in
source "$build/show_facts.sh"

# The package scripts/package.sh made from this build (the test command's), or
# one made here.
if [ -n "${DEMO_PACKAGE_DEB:-}" ]; then
    deb=$DEMO_PACKAGE_DEB
else
    (cd "$build" && cpack -G DEB -B "$work/out" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log" >&2; exit 1; }
    deb=$work/out/${name}_${version}_$(dpkg --print-architecture).deb
fi
[ -f "$deb" ] || { echo "no package $deb" >&2; exit 1; }
start_lintian "$deb" "$work/lintian.log"
trap 'kill "$lintian" 2>/dev/null || true; rm -rf "$work"' EXIT

# Everything the package holds, and which of it is executable.
commands="capture frames music pictures screensaver"
expected_files="usr/bin/$name
usr/libexec/$name/content-links
usr/libexec/$name/demo
usr/libexec/$name/demo-capture
usr/libexec/$name/demo-frames
usr/libexec/$name/demo-music
usr/libexec/$name/demo-pictures
usr/libexec/xscreensaver/$name-screensaver
usr/share/applications/org.twentythreeturns.TwentyThreeTurns.desktop
usr/share/applications/screensavers/$name-screensaver.desktop
usr/share/bash-completion/completions/$name
usr/share/doc/$name/changelog.gz
usr/share/doc/$name/copyright
usr/share/icons/hicolor/256x256/apps/$name.png
$(for command in $commands; do echo "usr/share/man/man1/$name-$command.1.gz"; done)
usr/share/man/man1/$name.1.gz
usr/share/metainfo/org.twentythreeturns.TwentyThreeTurns.metainfo.xml
usr/share/xscreensaver/config/$name-screensaver.xml
$(for file in $picture_files $module_file; do echo "usr/share/$name/$file"; done)"
dpkg-deb -c "$deb" >"$work/list"
expect "files" "$(awk '$1 !~ /^d/ {sub(/^\.\//, "", $6); print $6}' "$work/list" | sort)" "$(sort <<<"$expected_files")"
expect "executables" "$(awk '$1 == "-rwxr-xr-x" {sub(/^\.\//, "", $6); print $6}' "$work/list" | sort)" \
    "$(grep -E '^usr/(bin|libexec)/' <<<"$expected_files" | sort)"
expect "/usr/bin" "$(awk '$1 !~ /^d/ {print $6}' "$work/list" | grep '^\./usr/bin/')" "./usr/bin/$name"
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
for command in $commands; do
    [ "$command" = screensaver ] || [[ "$(field Description)" == *"$name $command"* ]] ||
        fail "Description does not name $command"
    zcat "$share/man/man1/$name.1.gz" | grep -q "^\.BR twenty\\\\-three\\\\-turns\\\\-$command (1)" ||
        fail "$name(1) does not name $name-$command(1)"
done
screensaver_entry=$share/applications/screensavers/$name-screensaver.desktop
desktop-file-validate "$screensaver_entry" >"$work/validate.log" ||
    fail "screensaver entry does not validate: $(cat "$work/validate.log")"
expect "screensaver Exec" "$(grep '^Exec=' "$screensaver_entry")" "Exec=/usr/libexec/xscreensaver/$name-screensaver -root"
grep -q 'screensaver' "$share"/metainfo/*.xml || fail "the metainfo does not name the screensaver"
python3 -c 'import sys, xml.etree.ElementTree as t; r = t.parse(sys.argv[1]).getroot(); print(r.get("name"), r.find("command").get("arg"))' \
    "$share/xscreensaver/config/$name-screensaver.xml" >"$work/hack-settings" || fail "the XScreenSaver settings are not XML"
expect "XScreenSaver settings" "$(cat "$work/hack-settings")" "$name-screensaver --root"
[[ "$(file -b "$share/icons/hicolor/256x256/apps/$name.png")" == "PNG image data, 256 x 256, "* ]] ||
    fail "icon: $(file -b "$share/icons/hicolor/256x256/apps/$name.png")"

# Each command answers under its own name, as its tool does in a build folder.
launcher=$root/usr/bin/$name
for command in capture frames music pictures; do
    status=0
    "$launcher" "$command" 2>"$work/usage" || status=$?
    expect "$name $command exit code" "$status" 2
    grep -q "^usage: $name $command " "$work/usage" || fail "$name $command gives no usage: $(cat "$work/usage")"
    expect "$name $command --version" "$("$launcher" "$command" --version)" "$name $command $version"
    expect "$name help $command" "$("$launcher" help "$command")" "$("$launcher" "$command" --help)"
done
"$launcher" capture --bogus 2>"$work/usage" || true
expect "$name capture --bogus" "$(head -1 "$work/usage")" "$name capture: unknown option --bogus"
expect "$name --version" "$("$launcher" --version)" "$name $version"
"$launcher" --help | grep -q "^usage: $name" || fail "$name --help"
for arguments in --bogus bogus "help bogus" "screensaver -bogus" "screensaver -window-id" "screensaver -window-id 12z"; do
    status=0
    # shellcheck disable=SC2086  # the words of each case
    "$launcher" $arguments >/dev/null 2>&1 || status=$?
    expect "$name $arguments exit code" "$status" 2
done

# The shell's completion, loaded as bash-completion loads it, driven in a
# non-interactive shell: commands, options read from each command's --help,
# and the kinds of file each place takes (folders always, to walk into).
if [ -f /usr/share/bash-completion/bash_completion ]; then
    files=$work/files
    mkdir -p "$files/folder"
    touch "$files"/{clip.mp4,clip.webm,clip.mkv,photo.png,photo.jpg,photo.webp,notes.txt,song.xm,05.raw}
    completions() {  # completions WORD...: what TAB offers for the last word
        # shellcheck disable=SC2016  # the inner shell expands them
        (cd "$files" && PATH="$root/usr/bin:$PATH" bash -c '
            source /usr/share/bash-completion/bash_completion
            source "$1"
            shift
            function=$(complete -p twenty-three-turns | sed -n "s/.*-F \([^ ]*\) .*/\1/p")
            COMP_WORDS=("$@")
            COMP_CWORD=$(($# - 1))
            COMP_LINE="$*"
            COMP_POINT=${#COMP_LINE}
            "$function" twenty-three-turns "${COMP_WORDS[-1]}" "${COMP_WORDS[-2]}" 2>/dev/null
            printf "%s\n" "${COMPREPLY[@]}" | sort | paste -sd " "' \
            bash "$share/bash-completion/completions/$name" "$@")
    }
    expect "complete $name" "$(completions "$name" "")" "capture frames help music pictures screensaver"
    expect "complete $name --" "$(completions "$name" --)" "--forever --help --version"
    expect "complete capture" "$(completions "$name" capture "")" "clip.mkv clip.mp4 clip.webm folder"
    expect "complete capture --" "$(completions "$name" capture --)" \
        "--content --fps --full --help --lossless --seconds --size --version"
    expect "complete capture --content" "$(completions "$name" capture --content "")" "folder"
    expect "complete capture --seconds" "$(completions "$name" capture --seconds "")" ""
    expect "complete pictures" "$(completions "$name" pictures "")" "convert generate view"
    expect "complete pictures convert" "$(completions "$name" pictures convert --replace "")" \
        "folder photo.jpg photo.png photo.webp"
    expect "complete pictures view" "$(completions "$name" pictures view --square 64 "")" "05.raw folder"
    expect "complete pictures view PICTURE" "$(completions "$name" pictures view 05.raw "")" "folder photo.png"
    expect "complete frames" "$(completions "$name" frames --content folder "")" "folder"
    expect "complete frames OUTDIR" "$(completions "$name" frames folder "")" ""
    expect "complete music" "$(completions "$name" music "")" "folder song.xm"
    expect "complete help" "$(completions "$name" help "")" "capture frames music pictures screensaver"
    expect "complete screensaver" "$(completions "$name" screensaver -)" "--help -music -root -window -window-id"
fi

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

# On an X server the window carries the class the menu entry names and the icon
# (waited for up to a minute: a loaded machine starts the show slowly).
if command -v xvfb-run >/dev/null && command -v xprop >/dev/null; then
    # shellcheck disable=SC2016  # the inner shell expands them
    env -i PATH=/usr/bin:/bin HOME="$home" XDG_RUNTIME_DIR="$work/runtime" SDL_AUDIODRIVER=dummy \
        xvfb-run -a sh -c '"$1" & for _ in $(seq 600); do
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
start_launcher HOME="$work/forever-home" XDG_RUNTIME_DIR="$work/runtime" DEMO_RESTART_PAUSE=0.5 "$launcher" --forever
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
    "$name: the show was ended by signal KILL; starting it again in 0.5 seconds"

# The screensaver as XScreenSaver starts it: on the root window (-root), in a
# window made here (-window-id, and -root with XSCREENSAVER_WINDOW), the band
# at the largest whole scale that fits, black around it; silent unless
# -music; and after SIGTERM no process of it and no run folder left.
if command -v Xvfb >/dev/null && command -v xdotool >/dev/null && command -v display >/dev/null; then
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
    xvfb=$!
    trap 'kill "$xvfb" "$lintian" 2>/dev/null || true; rm -rf "$work"' EXIT
    for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
    DISPLAY=":$(head -1 "$work/display")"
    export DISPLAY
    hack=$root/usr/libexec/xscreensaver/$name-screensaver
    # The mean brightness of a WxH+X+Y part of a window, 0 to 1.
    brightness() { import -window "$1" "$work/shot.png" 2>/dev/null && convert "$work/shot.png" -crop "$2" -format '%[fx:mean]' info:; }
    saver() {  # saver WINDOW BAND ABOVE_BAND VARIABLE=VALUE... HACK ARGUMENT...
        local shown=$1 band=$2 above=$3 pid status=0 lit=0
        shift 3
        rm -f "$work/sound.raw"
        setsid env -i PATH=/usr/bin:/bin HOME="$home" XDG_RUNTIME_DIR="$work/runtime" DISPLAY="$DISPLAY" \
            SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/sound.raw" "$@" >"$work/saver.log" 2>&1 &
        pid=$!
        # Drawn once the band is lit and all above it black, the window's white too.
        for _ in $(seq 300); do
            lit=$(brightness "$shown" "$band" || echo 0)
            [ "$lit" = 0 ] || [ "$(brightness "$shown" "$above" || true)" != 0 ] || break
            lit=0
            sleep 0.1
        done
        [ "$lit" != 0 ] || fail "$*: no band in $band of $shown, black above it: $(cat "$work/saver.log")"
        [ -n "$(ls -A "$work/runtime")" ] || fail "$*: no run folder in the runtime folder"
        sleep 0.5
        kill -TERM "$pid"
        wait "$pid" || status=$?
        expect "$*: exit code" "$status" 0
        expect "$*: processes left" "$(pgrep -s "$pid" || true)" ""
        expect "$*: folders left" "$(ls -A "$work/runtime")" ""
        kill -KILL -- "-$pid" 2>/dev/null || true
    }
    saver root 960x528+32+120 1024x120+0+0 "$hack" -root
    [ ! -s "$work/sound.raw" ] || fail "the screensaver played sound without -music"
    # A window of 700 x 400, white: ImageMagick's display showing such an image.
    convert -size 700x400 xc:white "$work/white.png"
    display -geometry +100+50 -title saver-window "$work/white.png" &
    viewer=$!
    window=$(xdotool search --sync --name '^saver-window$' | head -1)
    saver "$window" 640x352+30+24 700x24+0+0 "$hack" -window-id "$window" -music
    [ -s "$work/sound.raw" ] || fail "the screensaver played no sound with -music"
    saver "$window" 640x352+30+24 700x24+0+0 XSCREENSAVER_WINDOW="$window" "$hack" --root
    kill "$viewer" 2>/dev/null || true

    # The whole way, through XScreenSaver's own daemon: told to blank, it runs
    # the program from its list in its own window; told to stop, it ends it.
    # It runs no program for root, so root runs it as nobody.
    if command -v xscreensaver >/dev/null && command -v xscreensaver-command >/dev/null; then
        saver_home=$work/saver-home
        mkdir -p "$saver_home"
        mkdir -m 700 "$saver_home/runtime"
        printf '%s\n' 'mode: one' 'selected: 0' 'lock: False' 'splash: False' 'fade: False' 'unfade: False' \
            "programs: $hack -root" >"$saver_home/.xscreensaver"
        as_user=()
        if [ "$(id -u)" -eq 0 ]; then
            as_user=(runuser -u nobody --)
            chmod 755 "$work"
            chown -R nobody "$saver_home"
        fi
        as_saver_user() {
            "${as_user[@]}" env -i PATH=/usr/bin:/bin HOME="$saver_home" DISPLAY="$DISPLAY" \
                XDG_RUNTIME_DIR="$saver_home/runtime" "$@"
        }
        setsid bash -c "$(declare -p as_user saver_home; declare -f as_saver_user); as_saver_user xscreensaver --no-splash --verbose" \
            >"$work/xscreensaver.log" 2>&1 &
        daemon=$!
        for _ in $(seq 50); do as_saver_user xscreensaver-command -version >/dev/null 2>&1 && break; sleep 0.2; done
        as_saver_user xscreensaver-command -activate >/dev/null 2>&1 || fail "xscreensaver-command -activate"
        lit=0
        for _ in $(seq 300); do
            lit=$(brightness root 960x528+32+120 || echo 0)
            [ "$lit" = 0 ] || break
            sleep 0.1
        done
        [ "$lit" != 0 ] || fail "XScreenSaver showed no band: $(tail -5 "$work/xscreensaver.log")"
        [ -n "$(ls -A "$saver_home/runtime")" ] || fail "no run folder in the runtime folder of XScreenSaver's run"
        grep -q "forked \"$hack --root\"" "$work/xscreensaver.log" || fail "XScreenSaver ran something else"
        as_saver_user xscreensaver-command -deactivate >/dev/null 2>&1 || fail "xscreensaver-command -deactivate"
        for _ in $(seq 200); do pgrep -f "$root/" >/dev/null || break; sleep 0.1; done
        expect "processes left by XScreenSaver's run" "$(pgrep -af "$root/" || true)" ""
        [ "$failures" -eq 0 ] || tail -8 "$work/xscreensaver.log" >&2
        expect "folders left by XScreenSaver's run" "$(ls -A "$saver_home/runtime")" ""
        kill -TERM -- "-$daemon" 2>/dev/null || true
        wait "$daemon" 2>/dev/null || true
    fi
fi

lintian_verdict
[ "$failures" -eq 0 ] || exit 1
echo "package $(basename "$deb"): $(stat -c %s "$deb") bytes, all checks passed"
