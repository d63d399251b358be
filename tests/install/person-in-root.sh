#!/usr/bin/env bash
# A check run by hand (as root, not part of CI): what the run command asks of a person on a
# fresh Debian. Builds a minimal root of DIST with debootstrap, adds a person in the sudo group
# whose sudo asks for a password, and clones the committed HEAD into their home; then, as that
# person, runs the run command's install step without a terminal (it must stop, naming the
# command to run by hand) and at a terminal (sudo must ask exactly once), starts
# `scripts/run --demo` (offscreen) and sees it still running after ten seconds; installs the
# build as the README does (as root) and the test list as root; finally runs `scripts/test` as
# that person and prints how it ended, every test it skipped with the reason, and any process of
# the person's in the root or mount left behind after it returned. Prints the packages and the
# MB of /usr at each stage, and removes the root afterwards. The whole takes an hour or more.
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
mount --bind /sys "$root/sys"
mount -t tmpfs vantora-shm "$root/dev/shm"
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

# The README installs next, with sudo: the build folder then holds a file of root's, which the
# test command, run after, must leave alone.
echo "person-in-root: the README's install, as root"
in_root bash -c 'cd /home/person/vantora && cmake --install build/release >/dev/null' </dev/null

echo "person-in-root: the test list, as root"
in_root bash -c 'cd /home/person/vantora && scripts/install-deps test >/dev/null' </dev/null
figures "after the test list"

echo "person-in-root: scripts/test as the person (takes an hour or more)"
person_uid=$(stat -c %u "$root/home/person")
mounts_before=$(findmnt -rn -o TARGET | grep -F "$root/" | sort || true)
status=0
in_root su person -c "cd ~/vantora && VANTORA_JOBS=${VANTORA_JOBS:-$(nproc)} scripts/test" </dev/null >"$work/test.log" 2>&1 ||
  status=$?
grep -E '^(commands: |[0-9]+% tests passed|Total Test time)' "$work/test.log" || true
echo "person-in-root: scripts/test ended with status $status"
sed -n '/^test: skipped, each with its reason:$/,/^[^ ]/p' "$work/test.log" | grep -v '^test: a command' || true
grep -q '^test: skipped' "$work/test.log" || echo "person-in-root: no test skipped"
# The person's processes are those in the root (the host may give their uid to somebody else).
root_seen=$(readlink -f "$root")
left_in_root() {
  local process
  for process in /proc/[0-9]*; do
    [ "$(readlink "$process/root" 2>/dev/null)" = "$root_seen" ] || continue
    [ "$(awk '/^Uid:/ { print $2 }' "$process/status" 2>/dev/null)" = "$person_uid" ] || continue
    echo "${process#/proc/} $(tr '\0' ' ' <"$process/cmdline" 2>/dev/null)"
  done
}
# What scripts/test ended may take a moment to go; what is there after half a minute stays.
deadline=$((SECONDS + 30))
while left=$(left_in_root) && [ -n "$left" ] && [ "$SECONDS" -lt "$deadline" ]; do
  sleep 0.2
done
[ -z "$left" ] || { echo "person-in-root: FAILED: processes left after scripts/test:"; echo "$left"; } >&2
left_mounts=$(comm -13 <(echo "$mounts_before") <(findmnt -rn -o TARGET | grep -F "$root/" | sort || true))
[ -z "$left_mounts" ] || { echo "person-in-root: FAILED: mounts left after scripts/test:"; echo "$left_mounts"; } >&2
if [ "$status" -ne 0 ]; then
  tail -n 80 "$work/test.log" >&2
  exit 1
fi
[ -z "$left$left_mounts" ]
