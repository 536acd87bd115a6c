# SPDX-License-Identifier: GPL-3.0-or-later
# Sourced by the checks that need a display: start_xvfb DIR starts Xvfb on a
# free display number (written by Xvfb to DIR/display), sets DISPLAY and
# leaves the server's process id in $xvfb, for the caller's cleanup to kill.
start_xvfb() {
  local dir=$1
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$dir/display" >"$dir/xvfb.log" 2>&1 &
  xvfb=$!
  for _ in $(seq 100); do [ -s "$dir/display" ] && break; sleep 0.1; done
  [ -s "$dir/display" ] || { echo "Xvfb did not start" >&2; cat "$dir/xvfb.log" >&2; exit 1; }
  export DISPLAY=":$(head -n1 "$dir/display")"
}
