#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Measures the program against a bare Qt Widgets window (bench/baseline) under
# Xvfb, the two alternating, and prints the medians and ratios as a Markdown
# table (the figures in bench/RESULTS.md come from here).
#
#   bench/compare.sh [RUNS]        RUNS of each, at least 7 (default 7)
#
# Environment: ZRNV_BENCH_BUILD the build directory (default build-bench,
# configured RelWithDebInfo if new), ZRNV_BENCH_OUT where the traces and
# samples go (default <build>/bench-out), ZRNV_BENCH_SCALE the display scale
# both programs run at (QT_SCALE_FACTOR, default 1; the screen grows with it).
#
# Each round runs, game and baseline in turn (the order swaps every round):
#  quick  traced, three times: exec to the first frame, then the end.
#  start  traced (ZRNV_TRACE): exec to the first frame, resident memory 3 s
#         after it; the game then plays a losing spin, lets the evaluation
#         repeat for 3 s, plays a winning spin and waits out the transfer,
#         which gives the tick lateness, click-to-frame and paint figures,
#         and its resident memory once every picture has been shown. Through
#         both spins zarnovik_watch reads the reels and the winnings field
#         from the X server every millisecond: the time from the third
#         reel's stop to the prize on screen, as a player's eye would see it.
#  cpu    untraced: CPU over 10 s idle at the welcome panel, 3 s after the
#         window appears; the game then plays a losing spin and, 2.5 s after
#         the coin, CPU over 10 s while the evaluation repeats.
# CPU time is the sum over the process's threads of /proc/PID/task/*/schedstat
# (nanoseconds on a CPU), taken before and after each 10 s.
set -euo pipefail

runs=${1:-7}
if ! [[ $runs =~ ^[0-9]+$ ]] || ((runs < 7)); then
  echo "usage: $0 [RUNS]   (RUNS >= 7)" >&2
  exit 2
fi
root=$(cd "$(dirname "$0")/.." && pwd)
build=${ZRNV_BENCH_BUILD:-$root/build-bench}
out=${ZRNV_BENCH_OUT:-$build/bench-out}

# Seed 254: the first spin loses, the second wins 30 rings.
seed=254
game_title='^Zarnovik '
baseline_title='^Qt baseline$'
scale=${ZRNV_BENCH_SCALE:-1}
if ! [[ $scale =~ ^[0-9]+(\.[0-9]+)?$ ]]; then
  echo "ZRNV_BENCH_SCALE must be a number such as 1, 1.5 or 2" >&2
  exit 2
fi
export QT_SCALE_FACTOR=$scale
# In screen pixels at the scale: the welcome panel's button and the coin
# slot, and a screen that holds the window.
read -r welcome_x welcome_y coin_x coin_y screen_w screen_h < <(python3 -c "
s = $scale
print(*(round(v * s) for v in (340, 448, 308, 288)), max(1024, round(1024 * s)), max(768, round(768 * s)))")
# What zarnovik_watch reads from outside, in window pixels at the scale: a
# band across the middle of the three reels, and the winnings field.
read -r reels_band prize_field < <(python3 -c "
s = $scale
r = lambda x, y, w, h: ','.join(str(round(v * s)) for v in (x, y, w, h))
print(r(8, 118, 385, 5), r(16, 256, 217, 17))")

need=()
command -v Xvfb >/dev/null || need+=(xvfb)
command -v xdotool >/dev/null || need+=(xdotool)
command -v python3 >/dev/null || need+=(python3)
if ((${#need[@]})); then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${need[@]}"
fi

if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build "$build" -j2 --target zarnovik zarnovik_qt_baseline zarnovik_watch
game_bin=$build/app/zarnovik
watch_bin=$build/bench/zarnovik_watch
baseline_bin=$build/bench/baseline/zarnovik_qt_baseline

rm -rf "$out"
mkdir -p "$out"
samples=$out/samples.tsv
: >"$samples"

load_before=$(cut -d' ' -f1-3 /proc/loadavg)

# A display of our own: Xvfb picks a free number and writes it to fd 3.
Xvfb -displayfd 3 -screen 0 "${screen_w}x${screen_h}x24" -nolisten tcp 3>"$out/display" >"$out/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$out/display" ] && break; sleep 0.1; done
[ -s "$out/display" ] || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=:$(head -1 "$out/display")
app_pid=""
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null
  kill "$xvfb_pid" 2>/dev/null
}
trap cleanup EXIT

now_us() { echo "${EPOCHREALTIME/./}"; }

cpu_ns() {
  local total=0 f run _
  for f in /proc/"$1"/task/*/schedstat; do
    read -r run _ <"$f" 2>/dev/null || continue
    total=$((total + run))
  done
  echo "$total"
}

rss_kb() { awk '/^VmRSS:/ {print $2}' /proc/"$1"/status; }

sample() { printf '%s\t%s\t%s\n' "$1" "$2" "$3" >>"$samples"; }

find_window() {
  local id
  id=$(timeout 20 xdotool search --sync --onlyvisible --name "$1" | head -1)
  [ -n "$id" ] || { echo "no window \"$1\"" >&2; exit 1; }
  echo "$id"
}

click() {  # window x y
  xdotool mousemove --window "$1" "$2" "$3" click 1
}

# Runs `secs` seconds and records the CPU share of the app over them.
cpu_over() {  # app name secs
  local before after
  before=$(cpu_ns "$app_pid")
  sleep "$3"
  after=$(cpu_ns "$app_pid")
  sample "$1" "$2" "$(python3 -c "print(f'{($after - $before) / ($3 * 1e7):.4f}')")"
}

# Starts the program traced and waits for its first frame: samples the time
# from exec to it and the process's CPU time to it. Sets app_pid and ff.
launch() {  # app trace
  local app=$1 trace=$2 bin t0 ffcpu
  if [ "$app" = game ]; then bin=$game_bin; else bin=$baseline_bin; fi
  t0=$(now_us)
  ZRNV_TRACE=$trace ZRNV_SEED=$seed "$bin" 2>>"$out/stderr.log" &
  app_pid=$!
  # The trace's first flushed line is the first frame: until then the file
  # stays empty. Polled with the shell's own test, to fork as little as can be.
  for _ in $(seq 2000); do
    [[ -s $trace ]] && break
    sleep 0.01
  done
  read -r ff ffcpu < <(awk '/^first-frame/ {print $2, $3; exit}' "$trace")
  [ -n "$ff" ] || { echo "$app: no first frame" >&2; exit 1; }
  sample "$app" first_frame_ms "$(python3 -c "print(($ff - $t0) / 1000)")"
  sample "$app" first_frame_cpu_ms "$(python3 -c "print($ffcpu / 1000)")"
}

# A start and nothing else: more samples of the first frame, whose spread
# from start to start is wide on a shared machine.
quick_start() {  # app round n
  launch "$1" "$out/quick-$1-$2-$3.txt"
  kill "$app_pid"
  wait "$app_pid" 2>/dev/null || true
  app_pid=""
  # The display server lets go of the window's shared memory after the
  # program has gone; the next start should not wait for that.
  sleep 0.3
}

start_run() {  # app round
  local app=$1 round=$2 title ff
  if [ "$app" = game ]; then title=$game_title; else title=$baseline_title; fi
  launch "$app" "$out/trace-$app-$round.txt"
  sleep "$(python3 -c "print(max(0, ($ff + 3e6 - $(now_us)) / 1e6))")"
  sample "$app" rss_kb "$(rss_kb "$app_pid")"
  if [ "$app" = game ]; then
    local w watch watch_pid
    w=$(find_window "$title")
    # Watched from outside every millisecond through both spins.
    watch=$out/watch-$round.txt
    "$watch_bin" "$w" 9 "$reels_band" "$prize_field" >"$watch" &
    watch_pid=$!
    click "$w" $welcome_x $welcome_y
    sleep 0.5
    click "$w" $coin_x $coin_y  # a loss: the evaluation repeats
    sleep 5
    click "$w" $coin_x $coin_y  # a win of 30 rings: 9 s of transfer
    wait "$watch_pid"
    sample game prize_after_stop_outside_ms "$(python3 "$root/bench/summarize.py" --watch "$watch")"
    sleep 10
    sample "$app" rss_kb_after_play "$(rss_kb "$app_pid")"
  fi
  kill "$app_pid"
  wait "$app_pid" 2>/dev/null || true
  app_pid=""
}

cpu_run() {  # app
  local app=$1 bin title w
  if [ "$app" = game ]; then bin=$game_bin title=$game_title; else bin=$baseline_bin title=$baseline_title; fi
  ZRNV_SEED=$seed "$bin" 2>>"$out/stderr.log" &
  app_pid=$!
  w=$(find_window "$title")
  sleep 3
  cpu_over "$app" idle_cpu_pct 10
  if [ "$app" = game ]; then
    click "$w" $welcome_x $welcome_y
    sleep 0.5
    click "$w" $coin_x $coin_y
    sleep 2.5
    cpu_over "$app" timer3_cpu_pct 10
  fi
  kill "$app_pid"
  wait "$app_pid" 2>/dev/null || true
  app_pid=""
}

for ((round = 1; round <= runs; round++)); do
  if ((round % 2)); then order=(game baseline); else order=(baseline game); fi
  echo "round $round/$runs: ${order[*]}" >&2
  for n in 1 2 3; do
    for app in "${order[@]}"; do quick_start "$app" "$round" "$n"; done
  done
  for app in "${order[@]}"; do start_run "$app" "$round"; done
  for app in "${order[@]}"; do cpu_run "$app"; done
done

{
  echo "Measured $(date -u '+%Y-%m-%d %H:%M UTC'), $runs runs of each, alternating."
  echo "Load average before: $load_before; after: $(cut -d' ' -f1-3 /proc/loadavg)."
  echo "Machine: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ //'), $(nproc) CPUs,"
  echo "$(uname -sr), Qt $(pkg-config --modversion Qt6Core 2>/dev/null || echo '?'),"
  echo "$(grep -m1 '^CMAKE_BUILD_TYPE' "$build/CMakeCache.txt" | cut -d= -f2) build, Xvfb ${screen_w}x${screen_h}x24, QT_SCALE_FACTOR=$scale."
  echo
  python3 "$root/bench/summarize.py" "$samples" "$out"/trace-game-*.txt
} | tee "$out/summary.md"
