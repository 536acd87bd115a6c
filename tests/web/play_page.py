#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Plays the web page in headless Chromium, as a player would.

    play_page.py PAGE_DIR ZARNOVIK_SIM

For seed 15 (the first spin wins 5 rings) and seed 254 (it loses): the
welcome panel's button, a coin on the slot, the reels, the prize and its
transfer, then "Новая игра" from the keyboard. Each game's recording, played
by zarnovik-sim, must end in the page's own state, and what the page shows
(the fields, the reels' names) must be that state. After the loss the page
must sleep: the repeated evaluation parks, and only the title strip's blink
wakes it.
"""
import functools
import http.server
import json
import subprocess
import sys
import tempfile
import threading
import time

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.keys import Keys

CHROMIUM_FLAGS = ("--headless --no-sandbox --disable-gpu --disable-quic --no-first-run "
                  "--disable-background-networking --disable-component-update --disable-sync")


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


def serve(directory):
    handler = functools.partial(QuietHandler, directory=directory)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


def browser(profile, scale=1):
    options = webdriver.ChromeOptions()
    for flag in CHROMIUM_FLAGS.split():
        options.add_argument(flag)
    options.add_argument("--user-data-dir=" + profile)
    options.binary_location = "/usr/bin/chromium"
    driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
    driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride",
                           {"width": 676, "height": 527, "deviceScaleFactor": scale, "mobile": False})
    return driver


def until(driver, script, what, seconds=10):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        value = driver.execute_script(script)
        if value:
            return value
        time.sleep(0.02)
    raise AssertionError(f"timed out waiting for {what}")


def text_of(driver, name):
    return driver.execute_script(
        f"return document.querySelector('[data-control=\"{name}\"]').textContent")


def control(driver, name):
    return driver.find_element("css selector", f'[data-control="{name}"]')


def replay(sim, recording):
    run = subprocess.run([sim], input=recording + "show\n", capture_output=True, text=True,
                         timeout=60)
    assert run.returncode == 0, run.stderr
    return json.loads(run.stdout.strip().splitlines()[-1])


def play(driver, base, sim, seed, prize, money_after):
    driver.get(f"{base}/?seed={seed}")
    driver.execute_async_script("window.zarnovik.ready.then(arguments[0])")
    names = driver.execute_script("return [...document.querySelectorAll('[data-control]')]"
                                  ".map(e => e.dataset.control)")
    for name in ("LabelCredit", "LabelPrize", "LabelInsertCoin", "Command1", "Command2",
                 "Frame4", "ImageNumber1"):
        assert name in names, f"no element for {name}"
    assert driver.execute_script("return document.documentElement.lang") == "ru"

    control(driver, "Command2").click()
    until(driver, "return document.querySelector('[data-control=Frame4]').hidden",
          "the welcome panel to go")
    assert text_of(driver, "LabelCredit") == "100"
    if seed == 254:
        # The coin key, on a Russian layout: С drops a coin as a click would.
        for kind in ("keyDown", "keyUp"):
            driver.execute_cdp_cmd("Input.dispatchKeyEvent",
                                   {"type": kind, "key": "С", "text": "С", "code": "KeyC"})
    else:
        control(driver, "LabelInsertCoin").click()
    assert text_of(driver, "LabelCredit") == "95"
    assert driver.execute_script(
        "return document.querySelector('[data-control=ImageNumber1]').ariaLabel") == "Вращается"
    if prize:
        until(driver, f"return document.querySelector('[data-control=LabelPrize]')"
                      f".textContent === '{prize}'", f"the prize of {prize} rings")
    until(driver, f"return document.querySelector('[data-control=LabelCredit]')"
                  f".textContent === '{money_after}'", f"the money to reach {money_after}")
    until(driver, "const s = JSON.parse(window.zarnovik.show());"
                  "return !s.timers[0] && !s.timers[1] && !s.timers[3]", "the spin's end")

    # Idle: nothing but the title strip's blink (4 a second) may wake the page.
    woken = driver.execute_async_script(
        "const done = arguments[0]; const before = window.zarnovik.wakeups();"
        "setTimeout(() => done(window.zarnovik.wakeups() - before), 1000)")
    assert woken <= 6, f"an idle page woke {woken} times in a second"

    state = json.loads(driver.execute_script("return window.zarnovik.show()"))
    assert text_of(driver, "LabelCredit") == state["money"]
    assert text_of(driver, "LabelPrize") == state["prize"]
    symbols = driver.execute_script("return window.zarnovik.symbols()")
    for reel in (1, 2, 3):
        label = driver.execute_script(
            f"return document.querySelector('[data-control=ImageNumber{reel}]').ariaLabel")
        assert label == symbols[state["reels"][reel - 1]], (reel, label)

    # "Новая игра" from the keyboard: the focused button takes Enter.
    driver.execute_script("document.querySelector('[data-control=Command1]').focus()")
    control(driver, "Command1").send_keys(Keys.ENTER)
    until(driver, "return document.querySelector('[data-control=LabelCredit]')"
                  ".textContent === '100'", "'Новая игра' to restore the money")

    # The recording, replayed by zarnovik-sim, ends where the page is.
    recording, shown = driver.execute_script(
        "return [window.zarnovik.recording(), window.zarnovik.show()]")
    assert recording.startswith(f"seed {seed}\n")
    for word in ("welcome", "press", "release", "coin", "newgame"):
        assert f"\n{word}\n" in recording, f"the recording has no {word}"
    assert replay(sim, recording) == json.loads(shown), "the replay ends elsewhere"
    return recording


def main():
    page, sim = sys.argv[1], sys.argv[2]
    server = serve(page)
    base = f"http://127.0.0.1:{server.server_address[1]}"
    with tempfile.TemporaryDirectory() as profile:
        driver = browser(profile)
        try:
            for seed, prize, money in ((15, "5", "120"), (254, None, "95")):
                started = time.monotonic()
                play(driver, base, sim, seed, prize, money)
                print(f"seed {seed}: played and replayed in {time.monotonic() - started:.1f} s")
            errors = [e for e in driver.get_log("browser") if e["level"] == "SEVERE"]
            assert not errors, errors
        finally:
            driver.quit()
            server.shutdown()
    print("web page: both games play as in the window")


if __name__ == "__main__":
    main()
