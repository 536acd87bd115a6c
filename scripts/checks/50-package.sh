#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package as a player gets it, made by CPack from build/: the
# program, its menu entry, its icons at every size, its software-centre
# metadata and its documents are in it; lintian finds neither error nor
# warning; desktop-file-validate and appstreamcli (pedantic) find nothing; apt
# could install it here; and the program unpacked from it starts and runs.
set -euo pipefail
cd "$(dirname "$0")/../.."

fail() {
  echo "package: $*" >&2
  exit 1
}

version=$(sed -n 's/^project(zarnovik VERSION \([0-9.]*\) .*/\1/p' CMakeLists.txt)
[ -n "$version" ] || fail "no version in CMakeLists.txt"
desktop_entry=$(basename packaging/*.desktop)
app_id=${desktop_entry%.desktop}
deb=build/zarnovik_${version}_$(dpkg --print-architecture).deb

work=$(mktemp -d /tmp/zarnovik-package.XXXXXX)
game_pid=""
cleanup() {
  [ -z "$game_pid" ] || kill "$game_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

rm -f build/zarnovik_*.deb
if ! (cd build && cpack -G DEB >"$work/cpack.log" 2>&1); then
  cat "$work/cpack.log" >&2
  fail "cpack failed"
fi
[ -f "$deb" ] || fail "cpack made no $deb"
echo "-- $deb, $(stat -c %s "$deb") bytes"

# --- What is in it -----------------------------------------------------------
dpkg-deb -x "$deb" "$work/root"
expected=(
  usr/games/zarnovik
  "usr/share/applications/$app_id.desktop"
  "usr/share/metainfo/$app_id.metainfo.xml"
  "usr/share/icons/hicolor/scalable/apps/$app_id.svg"
  usr/share/man/man6/zarnovik.6.gz
  usr/share/doc/zarnovik/copyright
  usr/share/doc/zarnovik/changelog.gz
)
sizes=(16 24 32 48 64 128 256)
for size in "${sizes[@]}"; do
  expected+=("usr/share/icons/hicolor/${size}x$size/apps/$app_id.png")
done
for path in "${expected[@]}"; do
  [ -f "$work/root/$path" ] || fail "$path is missing"
done
[ -x "$work/root/usr/games/zarnovik" ] || fail "usr/games/zarnovik is not executable"
[ "$(readlink "$work/root/usr/bin/zarnovik")" = ../games/zarnovik ] ||
  fail "usr/bin/zarnovik is not a link to the program in usr/games"

# Each icon is as large as the folder it is in says (a PNG's header holds its
# width and height as big-endian numbers at bytes 16 and 20).
for size in "${sizes[@]}"; do
  png="$work/root/usr/share/icons/hicolor/${size}x$size/apps/$app_id.png"
  read -r -a header <<<"$(od -An -tu1 -j16 -N8 "$png")"
  w=$(((header[0] << 24) | (header[1] << 16) | (header[2] << 8) | header[3]))
  h=$(((header[4] << 24) | (header[5] << 16) | (header[6] << 8) | header[7]))
  [ "$w" -eq "$size" ] && [ "$h" -eq "$size" ] || fail "the ${size}x$size icon is ${w}x$h"
done

# The menu entry shows the installed icon and starts the installed program.
entry="$work/root/usr/share/applications/$app_id.desktop"
grep -qx "Icon=$app_id" "$entry" || fail "the menu entry's icon is not $app_id"
exec_name=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$entry")
[ -x "$work/root/usr/games/$exec_name" ] || fail "the menu entry starts \"$exec_name\", which is not installed"

# The fields: dependencies found by dpkg-shlibdeps, Qt's Wayland plugin
# recommended, the changelog at this version.
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6; do
  [[ ", $depends" == *", $lib "* ]] || fail "Depends lacks $lib: $depends"
done
[ "$(dpkg-deb -f "$deb" Recommends)" = qt6-wayland ] || fail "qt6-wayland is not recommended"
[ "$(dpkg-deb -f "$deb" Section)" = games ] || fail "the section is not games"
zcat "$work/root/usr/share/doc/zarnovik/changelog.gz" | head -n1 | grep -q "^zarnovik ($version) " ||
  fail "the changelog does not start at version $version"
echo "-- Depends: $depends"

# --- What the tools say --------------------------------------------------------
lintian_status=0
lintian --fail-on error,warning --display-info --pedantic "$deb" >"$work/lintian.log" 2>&1 || lintian_status=$?
grep -v '^running with root privileges' "$work/lintian.log" || true
[ "$lintian_status" -eq 0 ] || fail "lintian found errors or warnings"
echo "-- lintian: no error, no warning"

desktop-file-validate "$entry" >"$work/desktop.log" 2>&1 || true
[ ! -s "$work/desktop.log" ] || { cat "$work/desktop.log"; fail "desktop-file-validate complains"; }
echo "-- desktop-file-validate: clean"

# Pedantic findings do not change appstreamcli's status; none may be listed.
appstreamcli validate --pedantic --no-net "$work/root/usr/share/metainfo/$app_id.metainfo.xml" \
  >"$work/appstream.log" 2>&1 || { cat "$work/appstream.log"; fail "appstreamcli validate failed"; }
appstreamcli validate-tree --pedantic --no-net "$work/root" >>"$work/appstream.log" 2>&1 ||
  { cat "$work/appstream.log"; fail "appstreamcli validate-tree failed"; }
if grep -Eq '^ *[EWIP]: ' "$work/appstream.log"; then
  cat "$work/appstream.log"
  fail "appstreamcli has remarks"
fi
echo "-- appstreamcli validate --pedantic: clean"

# apt would install it here: every dependency can be met.
apt-get install --simulate -q "./$deb" >"$work/apt.log" 2>&1 || { cat "$work/apt.log"; fail "apt cannot install it"; }
grep -q '^Inst zarnovik ' "$work/apt.log" || { cat "$work/apt.log"; fail "apt would not install zarnovik"; }

# --- The packaged program runs -------------------------------------------------
ldd "$work/root/usr/games/zarnovik" >"$work/ldd.log"
! grep -q 'not found' "$work/ldd.log" || { cat "$work/ldd.log"; fail "libraries are missing"; }
mkdir -m 700 "$work/runtime"
XDG_RUNTIME_DIR="$work/runtime" QT_QPA_PLATFORM=offscreen \
  "$work/root/usr/games/zarnovik" >"$work/game.out" 2>"$work/game.err" &
game_pid=$!
sleep "${ZRNV_PACKAGE_RUN_SECONDS:-3}"
kill -0 "$game_pid" 2>/dev/null || {
  status=0
  wait "$game_pid" || status=$?
  cat "$work/game.err"
  fail "the packaged program ended with status $status"
}
kill "$game_pid"
wait "$game_pid" 2>/dev/null || true
game_pid=""
[ ! -s "$work/game.err" ] || { cat "$work/game.err"; fail "the packaged program complained"; }
echo "the package installs the game with its menu entry and icons"
