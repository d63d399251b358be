#!/usr/bin/env bash
# A check run by hand (as root, not part of CI): what the run command asks of a person on a
# fresh Debian. Builds a minimal root of DIST with debootstrap, adds a person in the sudo group
# whose sudo asks for a password, and clones the committed HEAD into their home; then, as that
# person, runs the run command's install step without a terminal (it must stop, naming the
# command to run by hand) and at a terminal (sudo must ask exactly once), starts
# `scripts/run --demo` (offscreen) and sees it still running after ten seconds; finally installs
# the test list as root. Prints the packages and the MB of /usr at each stage, and removes the
# root afterwards.
#   tests/install/person-in-root.sh bookworm|trixie
# VANTORA_MIRROR names the Debian archive (http://deb.debian.org/debian unless set); VANTORA_JOBS
# caps the build's parallel jobs.
set -euo pipefail
dist=${1:?usage: tests/install/person-in-root.sh bookworm|trixie}
mirror=${VANTORA_MIRROR:-http://deb.debian.org/debian}
project=$(cd "$(dirname "$0")/../.." && pwd)
here=$(cd "$(dirname "$0")" && pwd)
head=$(git -C "$project" rev-parse HEAD)
[ "$(id -u)" -eq 0 ] || { echo "person-in-root: needs root" >&2; exit 1; }

work=$(mktemp -d "${TMPDIR:-/var/tmp}/vantora-person-$dist.XXXXXX")
root=$work/root
remove_root() {
  local mount
  for mount in $(findmnt -rn -o TARGET | grep -F "$work/" | sort -r || true); do
    umount -l "$mount" || true
  done
  rm -rf --one-file-system "$work"
}
trap remove_root EXIT

echo "person-in-root: building a $dist root in $root"
debootstrap --variant=minbase "$dist" "$root" "$mirror" >"$work/debootstrap.log" 2>&1 ||
  { tail -n 30 "$work/debootstrap.log" >&2; exit 1; }
cp -L /etc/resolv.conf "$root/etc/resolv.conf"
cp -L /etc/hosts "$root/etc/hosts"
mount --bind /proc "$root/proc"
mount --bind /dev "$root/dev"
mount --bind /dev/pts "$root/dev/pts"
in_root() { chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 "$@"; }

in_root apt-get update -qq
DEBIAN_FRONTEND=noninteractive in_root apt-get install -y -qq --no-install-recommends sudo git ca-certificates >/dev/null
in_root useradd --create-home --groups sudo --shell /bin/bash person
echo 'person:a-password' | in_root chpasswd
git clone --quiet --no-hardlinks "$project" "$root/home/person/vantora"
git -C "$root/home/person/vantora" checkout --quiet --detach "$head"
in_root chown -R person:person /home/person/vantora

figures() {
  local packages mb
  packages=$(in_root dpkg-query -W -f='${db:Status-Status}\n' | grep -cx installed)
  mb=$(du -sm --one-file-system "$root/usr" | cut -f1)
  echo "person-in-root: $1: $packages packages, $mb MB in /usr"
}
figures "the minimal root with sudo and git"

echo "person-in-root: the run list without a terminal (must stop and name the command)"
if in_root su person -c 'cd ~/vantora && scripts/install-deps run' </dev/null; then
  echo "person-in-root: FAILED: installed without asking anybody" >&2
  exit 1
fi

echo "person-in-root: the run list at a terminal (sudo must ask once)"
python3 "$here/answer-sudo.py" a-password chroot "$root" /usr/bin/env -i PATH=/usr/bin:/bin LANG=C.UTF-8 \
  su - person --session-command='cd ~/vantora && scripts/install-deps run'
figures "after the run list"

echo "person-in-root: scripts/run --demo as the person (offscreen)"
in_root su person -c "cd ~/vantora && export VANTORA_JOBS=${VANTORA_JOBS:-$(nproc)}"' && { QT_QPA_PLATFORM=offscreen scripts/run --demo >run.log 2>&1 & pid=$!;
  while kill -0 $pid 2>/dev/null && ! grep -q "run: starting" run.log; do sleep 1; done; sleep 10;
  if kill -0 $pid 2>/dev/null; then kill $pid; wait $pid; echo "person-in-root: the app was running 10 s after its start";
  else cat run.log; echo "person-in-root: FAILED: the run command ended"; exit 1; fi; }' </dev/null

echo "person-in-root: the test list, as root"
in_root bash -c 'cd /home/person/vantora && scripts/install-deps test >/dev/null' </dev/null
figures "after the test list"
