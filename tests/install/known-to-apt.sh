#!/usr/bin/env bash
# install-deps' check of whether apt knows a package, asked by many at once as on a loaded
# machine, under the same shell options as install-deps: a package apt knows is known every
# time, a name it does not know never is.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
command -v apt-cache >/dev/null || { echo "SKIP: apt-cache is not installed"; exit 77; }
eval "$(sed -n '/^known_to_apt() {/,/^}/p' "$root/scripts/install-deps")"
declare -F known_to_apt >/dev/null || { echo "scripts/install-deps has no known_to_apt()" >&2; exit 1; }

workers=16 checks_each=3
answers=$(mktemp)
trap 'rm -f "$answers"' EXIT
# Each row: a package, whether apt knows it.
rows=("dpkg yes" "vantora-no-such-package no")
for row in "${rows[@]}"; do
  read -r package expected <<<"$row"
  : >"$answers"
  for _ in $(seq "$workers"); do
    for _ in $(seq "$checks_each"); do
      if known_to_apt "$package"; then echo yes; else echo no; fi
    done >>"$answers" &
  done
  wait
  wrong=$(grep -cvx "$expected" "$answers" || true)
  if [ "$wrong" -ne 0 ]; then
    echo "known_to_apt $package: $wrong of $((workers * checks_each)) answers were not \"$expected\"" >&2
    exit 1
  fi
  echo "known_to_apt $package: \"$expected\" $((workers * checks_each)) times"
done
