#!/usr/bin/env bash
# Checks the README's promise as a new user meets it: makes a pristine Debian 12
# root with debootstrap (minbase with git, sudo and ca-certificates; this
# machine's certificate authorities, apt proxy settings and npm configuration
# copied in), clones this checkout's HEAD into a new user's home there and runs,
# as that user, the show's first run (scripts/show.sh, timed until its window
# appears on an Xvfb screen, then ended with Escape) and the test command
# (scripts/test.sh). Prints each one's time and exit code, and exits 0 only when
# both passed. Needs root; takes about an hour. The logs stay in
# build-fresh-debian/; the root is removed afterwards unless --keep is given.
# Usage: scripts/fresh-debian-check.sh [--keep]
set -euo pipefail
cd "$(dirname "$0")/.."
checkout=$(pwd)

keep=no
case ${1:-} in
  --keep) keep=yes ;;
  "") ;;
  *) echo "usage: scripts/fresh-debian-check.sh [--keep]" >&2; exit 2 ;;
esac
if [ "$(id -u)" -ne 0 ]; then
  echo "fresh-debian-check: needs root (debootstrap, chroot and mounts)" >&2
  exit 2
fi

needed=()
for tool in debootstrap:debootstrap Xvfb:xvfb xdotool:xdotool xwininfo:x11-utils; do
  command -v "${tool%%:*}" >/dev/null || needed+=("${tool#*:}")
done
if [ ${#needed[@]} -gt 0 ]; then
  apt-get -qq update
  DEBIAN_FRONTEND=noninteractive apt-get -qq -o DPkg::Lock::Timeout=600 install -y "${needed[@]}" >/dev/null
fi

logs=$checkout/build-fresh-debian
mkdir -p "$logs"
root=$(mktemp -d /var/tmp/fresh-debian.XXXXXX)
chmod 0755 "$root"  # it becomes /, which every user walks through
user=newcomer
display=""
xvfb=""

unmount_all() {
  # Innermost first; a root still holding a mount is never removed.
  findmnt -rn -o TARGET | grep -F "$root/" | sort -r | while read -r target; do umount -l "$target"; done
}
finish() {
  [ -z "$xvfb" ] || kill "$xvfb" 2>/dev/null || true
  unmount_all
  if [ "$keep" = yes ]; then
    echo "fresh-debian-check: the root stays in $root"
  elif findmnt -rn -o TARGET | grep -qF "$root/"; then
    echo "fresh-debian-check: $root still has mounts; not removed" >&2
  else
    rm -rf --one-file-system "$root"
  fi
}
trap finish EXIT
trap 'exit 130' INT TERM HUP

mirror=$(sed -n 's/^URIs: *\([^ ]*\/debian\)$/\1/p' /etc/apt/sources.list.d/*.sources 2>/dev/null | head -n 1)
mirror=${mirror:-http://deb.debian.org/debian}
echo "fresh-debian-check: a Debian 12 root in $root from $mirror"
debootstrap --variant=minbase --include=git,sudo,ca-certificates bookworm "$root" "$mirror" >"$logs/debootstrap.log" 2>&1 ||
  { tail -n 20 "$logs/debootstrap.log" >&2; exit 1; }

# What this machine needs to reach the package registries (a proxy, its
# certificate authority, apt's settings for its mirror, npm's configuration).
cp /etc/resolv.conf /etc/hosts "$root/etc/"
if compgen -G '/usr/local/share/ca-certificates/*' >/dev/null; then
  cp -r /usr/local/share/ca-certificates/. "$root/usr/local/share/ca-certificates/"
  chroot "$root" update-ca-certificates >/dev/null
fi
for conf in /etc/apt/apt.conf.d/*; do
  if grep -qiE 'proxy|Check-Valid-Until' "$conf"; then cp "$conf" "$root/etc/apt/apt.conf.d/"; fi
done
for npmrc in /etc/npmrc /usr/etc/npmrc; do
  if [ -f "$npmrc" ]; then mkdir -p "$root$(dirname "$npmrc")"; cp "$npmrc" "$root$npmrc"; fi
done

chroot "$root" useradd --create-home --shell /bin/bash "$user"
echo "$user ALL=(ALL) NOPASSWD: ALL" >"$root/etc/sudoers.d/$user"
chmod 0440 "$root/etc/sudoers.d/$user"
home=$root/home/$user
[ ! -f ~/.npmrc ] || cp ~/.npmrc "$home/.npmrc"
git clone --quiet --no-local "$checkout" "$home/project"
chroot "$root" chown -R "$user:" "/home/$user"

mount -t proc proc "$root/proc"
mount -t sysfs sysfs "$root/sys"
mount --rbind /dev "$root/dev"
mount --make-rslave "$root/dev"
mkdir -p /tmp/.X11-unix "$root/tmp/.X11-unix"
mount --bind /tmp/.X11-unix "$root/tmp/.X11-unix"

# Runs COMMAND as the new user, in the project, with this machine's proxy settings.
as_user() {
  local environment=(DISPLAY="$display")
  local name
  for name in http_proxy https_proxy no_proxy HTTP_PROXY HTTPS_PROXY NO_PROXY; do
    [ -z "${!name:-}" ] || environment+=("$name=${!name}")
  done
  chroot "$root" sudo -u "$user" -H env "${environment[@]}" bash -lc "cd ~/project && $1"
}

# A screen of its own, on a display number no other server holds.
Xvfb -displayfd 3 -screen 0 1280x720x24 -nolisten tcp 3>"$logs/display" >"$logs/xvfb.log" 2>&1 &
xvfb=$!
for _ in $(seq 50); do
  display=$(cat "$logs/display")
  [ -z "$display" ] || break
  sleep 0.2
done
if [ -z "$display" ]; then
  echo "fresh-debian-check: Xvfb did not start (log: $logs/xvfb.log)" >&2
  exit 1
fi
display=:$display

# The show's first run: set-up, build, content and the window. It runs in a
# process group of its own, so that nothing of it outlives a stop.
root_window=$(($(DISPLAY=$display xwininfo -root | sed -n 's/.*Window id: \(0x[0-9a-f]*\).*/\1/p')))
start=$(date +%s)
setsid bash -c "$(declare -p root user display; declare -f as_user); as_user scripts/show.sh" >"$logs/show.log" 2>&1 &
show=$!
window=""
while kill -0 "$show" 2>/dev/null && [ -z "$window" ]; do
  sleep 1
  window=$(DISPLAY=$display xdotool search --onlyvisible '' 2>/dev/null | grep -vx "$root_window" | head -n 1 || true)
done
show_seconds=$(($(date +%s) - start))
if [ -n "$window" ]; then
  sleep 5
  DISPLAY=$display xdotool key Escape
  for _ in $(seq 30); do kill -0 "$show" 2>/dev/null || break; sleep 1; done
fi
kill -- -"$show" 2>/dev/null || true
show_code=0
wait "$show" || show_code=$?
if [ -n "$window" ]; then
  show_result="window after $show_seconds s, exit code $show_code after Escape"
else
  show_result="no window; exit code $show_code after $show_seconds s"
  [ "$show_code" -ne 0 ] || show_code=1
fi
echo "fresh-debian-check: scripts/show.sh: $show_result (log: $logs/show.log)"

start=$(date +%s)
test_code=0
as_user scripts/test.sh >"$logs/test.log" 2>&1 || test_code=$?
echo "fresh-debian-check: scripts/test.sh: $(($(date +%s) - start)) s, exit code $test_code (log: $logs/test.log)"

[ "$show_code" -eq 0 ] && [ "$test_code" -eq 0 ]
