#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Turns the samples and traces of bench/compare.sh into Markdown tables.

usage: summarize.py SAMPLES.tsv GAME-TRACE...
       summarize.py --watch WATCH.txt   (ms from the reels' stop to the prize)

SAMPLES.tsv holds one measurement a line: app, figure, value. The traces are
the game's ZRNV_TRACE files (format in window/qt/trace.h).
"""
import statistics
import sys

TIMERS = ("Timer1", "Timer2", "Timer3", "Timer4", "Timer5")
FRAME_60HZ_MS = 1000 / 60


def percentile(values, p):
    """The nearest-rank percentile of a non-empty list."""
    ordered = sorted(values)
    rank = max(1, -(-len(ordered) * p // 100))  # ceil, at least the first
    return ordered[int(rank) - 1]


def median(values):
    return statistics.median(values) if values else float("nan")


def read_samples(path):
    samples = {}
    with open(path) as f:
        for line in f:
            app, figure, value = line.rstrip("\n").split("\t")
            samples.setdefault((app, figure), []).append(float(value))
    return samples


def prize_after_stop_outside(path):
    """From zarnovik_watch's readings of the reels' band (0) and the winnings
    field (1): ms from the last change of the reels to the change of the
    winnings that follows a spin (the first after at least five changes of the
    reels since the winnings last changed)."""
    last_reels, reels_since = None, 0
    with open(path) as f:
        for line in f:
            if line.startswith("#"):
                continue
            us, index = (int(v) for v in line.split())
            if index == 0:
                last_reels, reels_since = us, reels_since + 1
            elif reels_since >= 5:
                return (us - last_reels) / 1000
            else:
                reels_since = 0
    raise SystemExit(f"{path}: no winnings shown after a spin")


def read_traces(paths):
    ticks = {t: [] for t in TIMERS}
    missed = {t: 0 for t in TIMERS}
    answers = {}  # handler -> [ms]
    tick_frames = []  # (us, painted px, changed px)
    beyond = {}  # (causes, bounds) -> frames that painted more than the changes
    prize_after_stop = []  # ms from the last reel's frame to the prize's
    for path in paths:
        last_stop = None
        win = None
        with open(path) as f:
            for line in f:
                part = line.split()
                if not part:
                    continue
                # A frame's end time, if given, is its last word.
                ended = int(part.pop()[1:]) if part[-1].startswith("@") else None
                if part[0] == "tick" and part[1] in ticks:
                    ticks[part[1]].append(int(part[2]) / 1000)
                    missed[part[1]] += int(part[3])
                elif part[0] == "answer":
                    answers.setdefault(part[1], []).append(int(part[2]) / 1000)
                elif part[0] == "frame" and part[4] != "-":
                    causes = part[4].split(",")
                    # The prize on screen: from the frame that showed the last
                    # reel stop to the one that showed the evaluation. Only the
                    # last spin of a trace counts: it wins, while an earlier
                    # losing spin's evaluation shows nothing, and its name
                    # joins whichever frame comes next.
                    if ended is not None and "Timer2" in causes:
                        last_stop = ended
                    if ended is not None and "Timer3" in causes and last_stop is not None:
                        win = (ended - last_stop) / 1000
                        last_stop = None
                    if all(c in TIMERS for c in causes):
                        tick_frames.append((int(part[1]) / 1000, int(part[2]), int(part[3])))
                        if len(part) > 5:
                            key = (part[4], part[5])
                            beyond[key] = beyond.get(key, 0) + 1
        if win is not None:
            prize_after_stop.append(win)
    return ticks, missed, answers, tick_frames, beyond, prize_after_stop


def met(ok):
    return "yes" if ok else "**no**"


def main(argv):
    if len(argv) == 3 and argv[1] == "--watch":
        print(f"{prize_after_stop_outside(argv[2]):.3f}")
        return
    if len(argv) < 3:
        sys.exit(__doc__)
    samples = read_samples(argv[1])
    ticks, missed, answers, tick_frames, beyond, prize_after_stop = read_traces(argv[2:])

    def med(app, figure):
        return median(samples.get((app, figure), []))

    def count(app, figure):
        return len(samples.get((app, figure), []))

    print("| Figure (median) | Game | Baseline | Game/baseline | Target | Met |")
    print("|---|---|---|---|---|---|")
    ff_g, ff_b = med("game", "first_frame_ms"), med("baseline", "first_frame_ms")
    print(f"| Exec to first frame, ms (n={count('game', 'first_frame_ms')}) | {ff_g:.1f} | "
          f"{ff_b:.1f} | {ff_g / ff_b:.2f} | <= 1.1 x | {met(ff_g <= 1.1 * ff_b)} |")
    cpu_g, cpu_b = med("game", "first_frame_cpu_ms"), med("baseline", "first_frame_cpu_ms")
    if cpu_g == cpu_g and cpu_b == cpu_b:  # not NaN: traces that carry it
        print(f"| CPU time to first frame, all threads, ms | {cpu_g:.1f} | {cpu_b:.1f} | "
              f"{cpu_g / cpu_b:.2f} | - | - |")
    rss_g, rss_b = med("game", "rss_kb") / 1024, med("baseline", "rss_kb") / 1024
    print(f"| Resident memory 3 s after it, MiB | {rss_g:.1f} | {rss_b:.1f} | "
          f"{rss_g / rss_b:.2f} | <= 1.2 x | {met(rss_g <= 1.2 * rss_b)} |")
    idle_g, idle_b = med("game", "idle_cpu_pct"), med("baseline", "idle_cpu_pct")
    print(f"| CPU over 10 s idle at the welcome panel, % | {idle_g:.3f} | {idle_b:.3f} | "
          f"{idle_g / idle_b:.2f} | <= 0.3 % | {met(idle_g <= 0.3)} |")
    t3 = med("game", "timer3_cpu_pct")
    print(f"| CPU over 10 s after a losing spin, % (baseline: idle) | {t3:.3f} | "
          f"{idle_b:.3f} | {t3 / idle_b:.2f} | <= 0.15 % | {met(t3 <= 0.15)} |")
    after = med("game", "rss_kb_after_play") / 1024
    print(f"| Resident memory after two spins and a win, MiB (game only) | {after:.1f} | "
          f"{rss_b:.1f} | {after / rss_b:.2f} | - | - |")
    print()

    print("| Timer | Ticks | Lateness median, ms | p99, ms | max, ms | Missed | Target median <= 1 ms |")
    print("|---|---|---|---|---|---|---|")
    for t in TIMERS:
        late = ticks[t]
        if not late:
            print(f"| {t} | 0 | - | - | - | - | - |")
            continue
        m = median(late)
        print(f"| {t} | {len(late)} | {m:.3f} | {percentile(late, 99):.3f} | {max(late):.3f} | "
              f"{missed[t]} | {met(m <= 1)} |")
    print()

    print("| In the game | Median | p99 | max | n | Target | Met |")
    print("|---|---|---|---|---|---|---|")
    coin = answers.get("LabelInsertCoin", [])
    if coin:
        m = median(coin)
        print(f"| Click on the coin slot to the frame showing the reels hidden, ms | {m:.2f} | "
              f"{percentile(coin, 99):.2f} | {max(coin):.2f} | {len(coin)} | "
              f"< {FRAME_60HZ_MS:.1f} ms | {met(max(coin) < FRAME_60HZ_MS)} |")
    welcome = answers.get("Command2", [])
    if welcome:
        m = median(welcome)
        print(f"| Click on the welcome button to the frame showing the game, ms | "
              f"{m:.2f} | {percentile(welcome, 99):.2f} | {max(welcome):.2f} | "
              f"{len(welcome)} | < 16 ms | {met(m < 16)} |")
    outside = samples.get(("game", "prize_after_stop_outside_ms"), [])
    if outside:
        p = outside
        print(f"| Third reel's stop to the prize on screen, watched from outside every ms, ms | "
              f"{median(p):.2f} | {percentile(p, 99):.2f} | {max(p):.2f} | {len(p)} | "
              f"<= 4 ms | {met(max(p) <= 4)} |")
    if prize_after_stop:
        p = prize_after_stop
        print(f"| Frame showing the third reel's stop to the frame showing the prize, ms | "
              f"{median(p):.2f} | {percentile(p, 99):.2f} | {max(p):.2f} | {len(p)} | "
              f"<= 4 ms | {met(max(p) <= 4)} |")
    if tick_frames:
        times = [f[0] for f in tick_frames]
        areas = [f[1] for f in tick_frames]
        extra = sum(1 for f in tick_frames if f[1] > f[2])
        m = median(times)
        print(f"| Paint per timer frame, ms | {m:.3f} | {percentile(times, 99):.3f} | "
              f"{max(times):.3f} | {len(times)} | < 1 ms | {met(m < 1)} |")
        print(f"| Area repainted per timer frame, px | {median(areas):.0f} | "
              f"{percentile(areas, 99):.0f} | {max(areas)} | {len(areas)} | "
              f"only the changed controls | {met(extra == 0)} ({extra} frames beyond them) |")
    if beyond:
        print()
        print("Timer frames that painted more than the controls their handlers changed:")
        print()
        print("| Handlers | Bounds of the extra area (x,y,wxh) | Frames |")
        print("|---|---|---|")
        for (causes, bounds), n in sorted(beyond.items(), key=lambda kv: -kv[1]):
            print(f"| {causes} | {bounds} | {n} |")


if __name__ == "__main__":
    main(sys.argv)
