#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The same sources give the same package: the Debian package is built twice
# from this tree with the release preset, in two build folders of different
# paths, one after the other (so at different times), with different time
# zones, locales and umasks, and without ccache (whose cache would hide a
# compiler output that changes from run to run). The two .deb files must be
# equal to the byte; every file in them must carry the changelog's date; and
# neither build folder's path may appear in anything packaged. When they
# differ, diffoscope (if installed) or cmp and the two listings say where.
#
# It takes two release builds of the program and the icons: 9 minutes on two
# shared cores (each build 4 to 5 minutes).
set -euo pipefail
cd "$(dirname "$0")/../.."
source_dir=$PWD

fail() {
  echo "reproducible: $*" >&2
  exit 1
}

work=$(mktemp -d /tmp/zarnovik-reproducible.XXXXXX)
trap 'rm -rf "$work"' EXIT

epoch=$(dpkg-parsechangelog -l packaging/changelog -S Timestamp)
[[ "$epoch" =~ ^[0-9]+$ ]] || fail "no date in packaging/changelog"

# build FOLDER UMASK TZ LOCALE: configures, builds and packages into FOLDER.
build() {
  local dir=$1 mask=$2 zone=$3 locale=$4
  mkdir -p "$dir"
  (
    umask "$mask"
    cd "$source_dir"
    export TZ=$zone LC_ALL=$locale CCACHE_DISABLE=1
    unset CMAKE_CXX_COMPILER_LAUNCHER CMAKE_C_COMPILER_LAUNCHER SOURCE_DATE_EPOCH
    cmake --preset release -B "$dir" -DCMAKE_CXX_COMPILER_LAUNCHER= >"$dir.log" 2>&1 &&
      cmake --build "$dir" --target zarnovik zarnovik-desktop-files >>"$dir.log" 2>&1 &&
      (cd "$dir" && cpack -G DEB >>"$dir.log" 2>&1)
  ) || {
    tail -n 40 "$dir.log" >&2
    fail "the build in $dir failed"
  }
  local debs=("$dir"/zarnovik_*.deb)
  [ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "no package in $dir"
}

start=$SECONDS
build "$work/first" 022 UTC C.UTF-8
first=$(echo "$work"/first/zarnovik_*.deb)
echo "-- first build: $((SECONDS - start)) s, $(stat -c %s "$first") bytes"
# A second later at the least, so that no clock reads the same second twice.
sleep 1
start=$SECONDS
build "$work/a/much/deeper/second-build" 002 Pacific/Kiritimati C
second=$(echo "$work"/a/much/deeper/second-build/zarnovik_*.deb)
echo "-- second build: $((SECONDS - start)) s"

if ! cmp -s "$first" "$second"; then
  if command -v diffoscope >/dev/null; then
    diffoscope --text - --max-text-report-size 200000 "$first" "$second" || true
  else
    cmp "$first" "$second" || true
    diff <(dpkg-deb -c "$first") <(dpkg-deb -c "$second") || true
    for member in control data; do
      mkdir -p "$work/$member-1" "$work/$member-2"
    done
    dpkg-deb -e "$first" "$work/control-1" && dpkg-deb -e "$second" "$work/control-2"
    dpkg-deb -x "$first" "$work/data-1" && dpkg-deb -x "$second" "$work/data-2"
    diff -r "$work/control-1" "$work/control-2" || true
    diff -rq "$work/data-1" "$work/data-2" || true
  fi
  fail "the two builds made different packages"
fi
echo "-- the two packages are the same, $(sha256sum "$first" | cut -c1-16)"

# Every date in the package is the changelog's: the archive members'...
while read -r mtime; do
  [ "$mtime" = "$epoch" ] || fail "a member of the .deb is dated $mtime, not $epoch"
done < <(python3 - "$first" <<'PY'
import sys
# An ar archive: after its magic, members with 60-byte headers, each holding
# its date at bytes 16 to 28 and its size at bytes 48 to 58.
with open(sys.argv[1], "rb") as f:
    data = f.read()
assert data[:8] == b"!<arch>\n"
pos = 8
while pos < len(data):
    header = data[pos:pos + 60]
    print(int(header[16:28].decode().strip()))
    pos += 60 + int(header[48:58].decode().strip())
    pos += pos % 2
PY
)
# ... and its files'.
while read -r line; do
  [ "$line" = "$epoch" ] || fail "a file in the package is dated $line, not $epoch"
done < <(dpkg-deb --fsys-tarfile "$first" | tar -t --full-time -v --numeric-owner |
  awk '{print $4 " " $5}' | sort -u | while read -r day time; do date -u -d "$day $time" +%s; done)
echo "-- every file in it is dated $(date -u -d "@$epoch" +%F\ %T)"

# No build folder in what is packaged.
mkdir -p "$work/root"
dpkg-deb -x "$first" "$work/root"
if grep -rlF -e "$work" -e "$source_dir" "$work/root"; then
  fail "the files above hold a build path"
fi
echo "the package is the same on every build"
