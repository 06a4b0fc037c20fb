#!/usr/bin/env bash
# Two fresh clones of the same commit, in folders of different names, must
# package byte-identical program files, zip files and installer packages.
set -euo pipefail
source_dir="$(cd "$(dirname "$0")/../.." && pwd)"
work="$(mktemp -d "${TMPDIR:-/tmp}/quennavar-release-XXXXXX")"
trap 'rm -rf "$work"' EXIT

for clone in first second-with-a-longer-name; do
  # A time stamp has a resolution of a second: the second build starts in
  # another one.
  started=$(date +%s)
  git clone --quiet --no-hardlinks "$source_dir" "$work/$clone"
  (cd "$work/$clone" && scripts/package >/dev/null)
  until [ "$(date +%s)" -gt "$started" ]; do sleep 0.1; done
done

status=0
for file in build/windows/Quennavar.exe build/windows-x64/Quennavar.exe dist/*-win32.zip \
    dist/*-x64.zip dist/*-win32-user.msi dist/*-win32-machine.msi dist/*-x64-user.msi \
    dist/*-x64-machine.msi; do
  for path in "$work"/first/$file; do
    relative="${path#"$work"/first/}"
    if cmp "$path" "$work/second-with-a-longer-name/$relative"; then
      echo "same: $relative"
    else
      status=1
    fi
  done
done
exit $status
