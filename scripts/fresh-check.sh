#!/usr/bin/env bash
# fresh-check.sh [--root DIR] [--log FILE] [--clean]: runs the README's two commands, as a
# fresh user would, in a minimal Debian 12 made with debootstrap, so a package that
# scripts/setup.sh forgets fails here rather than on someone's new machine (ours all have
# too much installed). Prints one verdict per command with its time; the full output goes
# to the log (default DIR.log). DIR (default /var/tmp/tavrel-fresh-root) is deleted at the
# start and kept afterwards to look into unless --clean is given. Needs root; takes
# about 25 minutes on 2 cores. Not part of scripts/test.sh.
set -euo pipefail

checkout=$(cd "$(dirname "$0")/.." && pwd)
shared=$(dirname "$checkout")/shared
root=/var/tmp/tavrel-fresh-root
log=
clean=no
# What the README tells a fresh user to type; start.sh gets a virtual display and
# --version, so it builds everything, then prints the version and exits.
commands=("xvfb-run -a scripts/start.sh --version" "scripts/test.sh")

usage() { sed -n '2,8s/^# \{0,1\}//p' "$0"; }
while [ $# -gt 0 ]; do
  case $1 in
    --root) root=${2:?--root needs a folder}; shift 2 ;;
    --log) log=${2:?--log needs a file}; shift 2 ;;
    --clean) clean=yes; shift ;;
    -h|--help) usage; exit 0 ;;
    *) usage >&2; exit 2 ;;
  esac
done

[ "$(id -u)" -eq 0 ] || { echo "fresh-check: needs root (debootstrap, mount, chroot)" >&2; exit 2; }
root=$(realpath -m -- "$root")
# The mount table escapes odd characters, and this folder is deleted: keep its name plain.
[[ $root =~ ^/[A-Za-z0-9._/-]+$ && $root != / ]] || { echo "fresh-check: unusable root folder: $root" >&2; exit 2; }
case $checkout/ in "$root"/*) echo "fresh-check: the root folder holds the checkout" >&2; exit 2 ;; esac
case $shared/ in "$root"/*) echo "fresh-check: the root folder holds the shared folder" >&2; exit 2 ;; esac
log=$(realpath -m -- "${log:-$root.log}")
case $log in "$root"/*) echo "fresh-check: the log must live outside the root folder" >&2; exit 2 ;; esac
[ -d "$shared" ] || { echo "fresh-check: no shared folder beside the checkout: $shared" >&2; exit 2; }
marker=$root/.tavrel-fresh-check
# Deleting the root is only safe for a folder this script made.
if [ -d "$root" ] && [ -n "$(ls -A "$root")" ] && [ ! -e "$marker" ]; then
  echo "fresh-check: $root is not empty and was not made by this script; give another --root" >&2
  exit 2
fi

# The checkout and the shared folder land side by side, as they sit here.
inner=/root/work/$(basename "$checkout")

mounts_under_root() {
  # Deepest first, so /dev/pts goes before /dev.
  awk -v r="$root" '$5 == r || index($5, r "/") == 1 { print $5 }' /proc/self/mountinfo | sort -r
}

release_root() {
  local proc mount
  # A process left running inside (an X server, a test) keeps its mounts busy.
  for proc in /proc/[0-9]*; do
    if [ "$(readlink "$proc/root" 2>/dev/null)" = "$root" ]; then
      kill "${proc#/proc/}" 2>/dev/null || true
      sleep 1
    fi
  done
  for mount in $(mounts_under_root); do
    umount "$mount" 2>/dev/null || umount --lazy "$mount" || true
  done
  if [ -n "$(mounts_under_root)" ]; then
    echo "fresh-check: still mounted under $root:" >&2
    mounts_under_root >&2
    return 1
  fi
}

remove_root() {
  release_root || { echo "fresh-check: not deleting $root while anything is mounted in it" >&2; return 1; }
  # --one-file-system: even a mount missed above is never descended into.
  rm -rf --one-file-system -- "$root"
}

trap 'release_root' EXIT
trap 'exit 130' INT TERM

elapsed() { printf '%dm%02ds' $(($1 / 60)) $(($1 % 60)); }
note() { echo "$*"; echo "== $*" >>"$log"; }

mkdir -p "$(dirname "$log")"
: >"$log"
echo "Full log: $log"

if ! command -v debootstrap >/dev/null; then
  note "Installing debootstrap"
  apt-get update -qq >>"$log" 2>&1
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq debootstrap >>"$log" 2>&1
fi

if [ -e "$root" ]; then remove_root; fi
mkdir -p "$root"
touch "$marker"

note "Making a minimal Debian 12 in $root"
started=$SECONDS
if ! debootstrap --variant=minbase bookworm "$root" http://deb.debian.org/debian >>"$log" 2>&1; then
  tail -n 20 "$log" >&2
  echo "fresh-check: debootstrap failed" >&2
  exit 1
fi
# What a Debian 12 installation lists: updates and security fixes beside the release.
cat >"$root/etc/apt/sources.list" <<'EOF'
deb http://deb.debian.org/debian bookworm main
deb http://deb.debian.org/debian bookworm-updates main
deb http://deb.debian.org/debian-security bookworm-security main
EOF
cp /etc/resolv.conf "$root/etc/resolv.conf"
# No daemon a package installs may start inside: it would outlive the check and hold its mounts.
printf '#!/bin/sh\nexit 101\n' >"$root/usr/sbin/policy-rc.d"
chmod +x "$root/usr/sbin/policy-rc.d"
note "Root ready in $(elapsed $((SECONDS - started)))"

note "Copying the checkout to $inner and the shared folder beside it"
mkdir -p "$root$inner"
# The working tree as git sees it (tracked and new files, no build folders); a tracked file
# deleted in the tree is left out.
git -C "$checkout" ls-files -z -co --exclude-standard |
  while IFS= read -r -d '' file; do
    if [ -e "$checkout/$file" ] || [ -L "$checkout/$file" ]; then printf '%s\0' "$file"; fi
  done |
  tar -C "$checkout" --null -T - -c | tar -x -C "$root$inner"
cp -a "$shared" "$root$(dirname "$inner")/shared"

mount -t proc proc "$root/proc"
mount -t sysfs sysfs "$root/sys"
for dev in /dev /dev/pts /dev/shm; do
  mount --bind "$dev" "$root$dev"
  # On a host with shared mounts, what is mounted under the copy must not show up in the host's /dev.
  mount --make-rslave "$root$dev"
done

# A login's environment on a fresh machine, nothing from this shell.
in_root() {
  chroot "$root" /usr/bin/env -i HOME=/root USER=root LOGNAME=root SHELL=/bin/bash TERM=dumb \
    LANG=C.UTF-8 PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    /bin/bash -c "cd $inner && $1"
}

# xvfb-run is the headless user's own tool: the README's start command cannot be typed
# without it. These two, with what they pull in, are all the root gets before the project's
# scripts run; setup.sh lists them too.
note "Installing xvfb-run for the headless start"
if ! in_root "apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends xvfb xauth" >>"$log" 2>&1; then
  tail -n 20 "$log" >&2
  echo "fresh-check: could not install xvfb and xauth in the root" >&2
  exit 1
fi

failed=0
for command in "${commands[@]}"; do
  note "Running: $command"
  first_line=$(($(wc -l <"$log") + 1))
  started=$SECONDS
  status=0
  # No terminal to answer from: a command that stops to ask fails instead of waiting.
  in_root "$command" </dev/null >>"$log" 2>&1 || status=$?
  took=$(elapsed $((SECONDS - started)))
  verdict="PASS"
  [ "$status" -eq 0 ] || verdict="FAIL (exit $status)"
  # Started with --version, the editor must answer with its version.
  if [ "$status" -eq 0 ] && [[ $command == *--version ]]; then
    version=$(tail -n "+$first_line" "$log" | grep -m1 -E '^tavrel [0-9]' || true)
    if [ -n "$version" ]; then verdict="PASS ($version)"; else verdict="FAIL (no version printed)"; fi
  fi
  [[ $verdict == PASS* ]] || failed=1
  line=$(printf '%-42s %-26s %s' "$command" "$verdict" "$took")
  echo "$line"
  echo "== $line" >>"$log"
done

if [ "$clean" = yes ]; then
  remove_root
  echo "Root folder deleted; log kept: $log"
else
  release_root
  echo "Root folder kept to look into: $root (chroot $root, sources in $inner); log: $log"
fi
exit $failed
