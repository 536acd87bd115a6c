#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Measures the web page in headless Chromium on this machine.

    bench/web.py [PAGE_DIR] [RUNS]     (default build-web/page, 5 runs)

Prints, as medians over the runs (the range in brackets):
 - navigation to the first frame of the welcome panel;
 - the welcome button's click to the frame of the game;
 - a coin click (the release on the slot) to its frame;
 - the third reel's stop (Timer2's tick) to the frame with the prize;
and, once: the CPU time of the page's renderer process over 10 s idle (the
welcome panel gone, no spin), over 10 s after a losing spin (seed 254), and
over 10 s of the same page with its scripts stopped; the renderer's resident
memory, the JavaScript heap and the WebAssembly memory.
"""
import json
import os
import statistics
import sys
import tempfile
import time

# The page's server and the headless browser, as the web check starts them.
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "web"))
from play_page import browser, serve  # noqa: E402


def click(d, name):
    """A real mouse click (press and release) in the middle of a control."""
    x, y = d.execute_script(
        f"const r = document.querySelector('[data-control=\"{name}\"]').getBoundingClientRect();"
        "return [r.x + r.width / 2, r.y + r.height / 2]")
    for kind in ("mousePressed", "mouseReleased"):
        d.execute_cdp_cmd("Input.dispatchMouseEvent",
                          {"type": kind, "x": x, "y": y, "button": "left", "clickCount": 1})


def wait_for(d, script, seconds=10):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        v = d.execute_script(script)
        if v:
            return v
        time.sleep(0.02)
    raise SystemExit("timed out: " + script)


def frames(d):
    return d.execute_script("return window.zarnovik.frames")


def descendants(pid):
    """Every process below `pid`, from /proc."""
    import os
    children = {}
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open(f"/proc/{entry}/stat") as f:
                fields = f.read().rsplit(")", 1)[1].split()
            children.setdefault(int(fields[1]), []).append(int(entry))
        except OSError:
            pass
    found, todo = [], [pid]
    while todo:
        for child in children.get(todo.pop(), []):
            found.append(child)
            todo.append(child)
    return found


def cpu_ms(pid):
    import os
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) * 1000 / os.sysconf("SC_CLK_TCK")


def renderer(d):
    """The page's renderer process (of the renderers under the driver, the
    one that has worked most): its id and CPU milliseconds so far."""
    rs = []
    for pid in descendants(d.service.process.pid):
        try:
            with open(f"/proc/{pid}/cmdline", "rb") as f:
                if b"--type=renderer" in f.read():
                    rs.append({"id": pid, "cpuTime": cpu_ms(pid)})
        except OSError:
            pass
    return max(rs, key=lambda p: p["cpuTime"])


def cpu_over(d, seconds):
    pid = renderer(d)["id"]
    before = cpu_ms(pid)
    time.sleep(seconds)
    return cpu_ms(pid) - before


def rss_kib(pid):
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    return 0


def one_run(d, base, seed):
    d.get(f"{base}/?seed={seed}")
    d.execute_async_script("window.zarnovik.ready.then(arguments[0])")
    first = wait_for(d, "return window.zarnovik.marks.find(m => m.name === 'first frame')")
    figures = {"load": first["at"]}
    n = len(frames(d))
    click(d, "Command2")
    wait_for(d, f"return window.zarnovik.frames.slice({n}).find(f => f.changed.includes('Frame4'))")
    f = next(f for f in frames(d)[n:] if "Frame4" in f["changed"])
    figures["welcome"] = f["frame"] - f["at"]
    n = len(frames(d))
    click(d, "LabelInsertCoin")
    wait_for(d, f"return window.zarnovik.frames.slice({n}).find(f => f.cause.startsWith('LabelInsertCoin 0'))")
    f = next(f for f in frames(d)[n:] if f["cause"].startswith("LabelInsertCoin 0"))
    figures["coin"] = f["frame"] - f["at"]
    return figures


def main():
    page = sys.argv[1] if len(sys.argv) > 1 else "build-web/page"
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 5
    server = serve(page)
    base = f"http://127.0.0.1:{server.server_address[1]}"
    results = {"load": [], "welcome": [], "coin": [], "prize": []}
    with tempfile.TemporaryDirectory() as profile:
        d = browser(profile)
        try:
            for _ in range(runs):
                figures = one_run(d, base, 15)
                # Seed 15 wins: from the third reel's stop to the prize shown.
                wait_for(d, "return window.zarnovik.frames.find(f => f.changed.includes('LabelPrize') "
                            "&& f.cause === 'tick')")
                fs = frames(d)
                prize = next(f for f in fs if "LabelPrize" in f["changed"] and f["cause"] == "tick")
                # The last tick that changed the third reel before the prize:
                # Timer2's third, which shows it.
                stop = [f for f in fs if "ImageNumber3" in f["changed"] and f["cause"] == "tick"
                        and f["at"] <= prize["at"]][-1]
                figures["prize"] = prize["frame"] - stop["at"]
                for k, v in figures.items():
                    results[k].append(v)
            print("The web page in headless Chromium, medians of %d runs [range], ms:" % runs)
            names = {"load": "navigation to the welcome panel's first frame",
                     "welcome": "welcome click to the game's frame",
                     "coin": "coin click to its frame",
                     "prize": "third reel's stop to the prize on screen"}
            for k, label in names.items():
                v = results[k]
                print(f"  {label}: {statistics.median(v):.1f} [{min(v):.1f} to {max(v):.1f}]")

            # CPU of the renderer: idle, after a losing spin, and with the
            # scripts stopped.
            one_run(d, base, 254)
            wait_for(d, "const s = JSON.parse(window.zarnovik.show());"
                        "return !s.timers[0] && !s.timers[1]")
            time.sleep(0.5)
            wakeups = d.execute_script("return window.zarnovik.wakeups()")
            lost = cpu_over(d, 10)
            lost_wakeups = d.execute_script("return window.zarnovik.wakeups()") - wakeups
            d.get(f"{base}/?seed=254")
            d.execute_async_script("window.zarnovik.ready.then(arguments[0])")
            click(d, "Command2")
            time.sleep(0.5)
            idle = cpu_over(d, 10)
            pid = renderer(d)["id"]
            memory = d.execute_script(
                "return [performance.memory ? performance.memory.usedJSHeapSize : 0]")[0]
            wasm = d.execute_script("return window.zarnovik.wasmBytes ? window.zarnovik.wasmBytes() : 0")
            rss = rss_kib(pid)
            d.execute_cdp_cmd("Emulation.setScriptExecutionDisabled", {"value": True})
            stopped = cpu_over(d, 10)
            print(f"  CPU of the page's renderer over 10 s: idle {idle:.0f} ms, "
                  f"after a losing spin {lost:.0f} ms ({lost_wakeups} timer wake-ups), "
                  f"scripts stopped {stopped:.0f} ms")
            print(f"  memory: renderer resident {rss / 1024:.1f} MiB, JavaScript heap "
                  f"{memory / 1048576:.1f} MiB, WebAssembly memory {wasm / 1048576:.1f} MiB")
            print(json.dumps({k: statistics.median(v) for k, v in results.items()} |
                             {"cpuIdleMs": idle, "cpuAfterLossMs": lost, "cpuStoppedMs": stopped,
                              "wakeupsAfterLoss": lost_wakeups, "rssKiB": rss}))
        finally:
            d.quit()


if __name__ == "__main__":
    main()
