#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The game as a native Wayland client, with no X display: started under a
# headless weston, it must come up without a single warning, give the
# compositor the id of its desktop entry, ask for its fixed size and keep it,
# and end of itself when the compositor goes away.
#
# What the game says to the compositor is read from its own side of the
# connection (WAYLAND_DEBUG=client). Two copies run side by side: one as
# players see it, with the frame Qt draws around it, and one without that
# frame, whose every frame must be exactly the window's 676 x 527.
set -euo pipefail
cd "$(dirname "$0")/../.."

game=build/app/zarnovik
desktop_entry=$(basename packaging/*.desktop)
app_id=${desktop_entry%.desktop}
width=676 height=527

work=$(mktemp -d /tmp/zarnovik-wayland.XXXXXX)  # mode 0700, as a runtime dir must be
weston_pid="" framed_pid="" bare_pid=""
cleanup() {
  for pid in $framed_pid $bare_pid $weston_pid; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "wayland: $*" >&2
  for log in weston.log framed.err bare.err; do
    [ -s "$work/$log" ] || continue
    echo "--- $log (last lines)" >&2
    tail -n 30 "$work/$log" >&2
  done
  exit 1
}

export XDG_RUNTIME_DIR=$work
unset DISPLAY WAYLAND_DISPLAY

weston --backend=headless-backend.so --socket=zarnovik-0 --idle-time=0 --no-config \
  >"$work/weston.log" 2>&1 &
weston_pid=$!
for _ in $(seq 100); do
  [ -S "$work/zarnovik-0" ] && break
  kill -0 "$weston_pid" 2>/dev/null || fail "weston did not start"
  sleep 0.1
done
[ -S "$work/zarnovik-0" ] || fail "weston opened no socket in 10 s"

start_game() {  # NAME [VAR=VALUE...]
  local name=$1
  shift
  env WAYLAND_DISPLAY=zarnovik-0 QT_QPA_PLATFORM=wayland WAYLAND_DEBUG=client "$@" \
    "$game" >"$work/$name.out" 2>"$work/$name.err" &
}
start_game framed
framed_pid=$!
start_game bare QT_WAYLAND_DISABLE_WINDOWDECORATION=1
bare_pid=$!

sleep "${ZRNV_WAYLAND_SECONDS:-6}"
for name in framed bare; do
  pid_var=${name}_pid
  kill -0 "${!pid_var}" 2>/dev/null || fail "the $name game ended by itself"
done

# The compositor goes away; each game must end within ten seconds, and not
# by a crash.
kill "$weston_pid"
wait "$weston_pid" 2>/dev/null || true
weston_pid=""
for name in framed bare; do
  pid_var=${name}_pid
  pid=${!pid_var}
  for _ in $(seq 100); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -0 "$pid" 2>/dev/null && fail "the $name game still runs 10 s after the compositor went away"
  status=0
  wait "$pid" || status=$?
  printf -v "$pid_var" '%s' ""
  [ "$status" -lt 128 ] || fail "the $name game was killed by signal $((status - 128))"
  echo "-- $name game ended with status $status once weston was gone"
done

# Everything the game printed beside the protocol trace: only Qt's notice of
# the broken connection, at the end, is expected.
for name in framed bare; do
  unexpected=$(grep -v '^\[' "$work/$name.err" |
    grep -vx 'The Wayland connection broke. Did the Wayland compositor die?' || true)
  [ -z "$unexpected" ] || fail "the $name game printed: $unexpected"
  grep -q 'xdg_toplevel@' "$work/$name.err" || fail "the $name game made no Wayland window"
done

# The requests about the game's one window, as "what value" lines: its app id,
# its minimum and maximum size, each window geometry it declares, and the size
# of each buffer it shows in the window.
requests() {
  awk '
    / -> wl_shm_pool@[0-9]+\.create_buffer\(/ {
      match($0, /wl_buffer@[0-9]+/); id = substr($0, RSTART, RLENGTH)
      split(substr($0, index($0, "create_buffer(")), a, /[(), ]+/)
      size[id] = a[6] "x" a[7]
    }
    / -> xdg_wm_base@[0-9]+\.get_xdg_surface\(/ {
      match($0, /xdg_surface@[0-9]+/); xs = substr($0, RSTART, RLENGTH)
      match($0, /wl_surface@[0-9]+\)/); surf[xs] = substr($0, RSTART, RLENGTH - 1)
    }
    / -> xdg_surface@[0-9]+\.get_toplevel\(/ {
      match($0, /xdg_surface@[0-9]+/); top = surf[substr($0, RSTART, RLENGTH)]
    }
    / -> xdg_toplevel@[0-9]+\.set_app_id\(/ {
      match($0, /"[^"]*"/); print "app_id", substr($0, RSTART + 1, RLENGTH - 2)
    }
    / -> xdg_toplevel@[0-9]+\.set_(min|max)_size\(/ {
      match($0, /set_(min|max)_size/); what = substr($0, RSTART + 4, 3)
      split(substr($0, RSTART + RLENGTH), a, /[(), ]+/); print what, a[2] "x" a[3]
    }
    / -> xdg_surface@[0-9]+\.set_window_geometry\(/ {
      split(substr($0, index($0, "set_window_geometry(")), a, /[(), ]+/)
      print "geometry", a[4] "x" a[5]
    }
    / -> wl_surface@[0-9]+\.attach\(wl_buffer@/ && top != "" && index($0, " -> " top ".attach(") {
      match($0, /wl_buffer@[0-9]+/); print "buffer", size[substr($0, RSTART, RLENGTH)]
    }
  ' "$1"
}

expect_all() {  # NAME WHAT VALUE: every WHAT line has VALUE, and there is one
  local values
  values=$(awk -v w="$2" '$1 == w { print $2 }' "$work/$1.requests" | sort -u)
  [ -n "$values" ] || fail "the $1 game sent no $2"
  [ "$values" = "$3" ] || fail "the $1 game's $2: $(echo $values), expected $3"
}

for name in framed bare; do
  requests "$work/$name.err" >"$work/$name.requests"
  expect_all "$name" app_id "$app_id"
  expect_all "$name" min "${width}x${height}"
  expect_all "$name" max "${width}x${height}"
  # One size from start to end, whatever the game showed meanwhile.
  for what in geometry buffer; do
    n=$(awk -v w="$what" '$1 == w { print $2 }' "$work/$name.requests" | sort -u | wc -l)
    [ "$n" -eq 1 ] || fail "the $name game's $what changed: $(awk -v w="$what" '$1 == w { print $2 }' "$work/$name.requests" | sort -u | tr '\n' ' ')"
  done
  frames=$(grep -c '^buffer ' "$work/$name.requests")
  echo "-- $name: window $(awk '$1 == "geometry" { print $2; exit }' "$work/$name.requests"), frames shown: $frames"
done
expect_all bare geometry "${width}x${height}"
expect_all bare buffer "${width}x${height}"
echo "the game runs natively on Wayland"
