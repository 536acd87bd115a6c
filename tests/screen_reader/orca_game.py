#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""A whole game of Zarnovik played from the keyboard while Orca runs, and what Orca spoke.

Usage: orca_game.py play ZARNOVIK SEED COINS
       orca_game.py heard ORCA_LOG SEED COINS

`play` needs a display with a window manager, a D-Bus session bus with the
accessibility bus, Orca running and pyatspi. It starts the game with the seed
and plays it with keys only, sent through the display as a player types them:
Tab to the welcome panel's button, Space to dismiss it, C for each coin (each
time once the news of the spin, and of its prize, has been told), and Space
on "Новая игра" at the end.

`heard` reads Orca's debug log once Orca has ended (it writes the log in
blocks), prints every line Orca spoke and requires those a player must hear
without asking: the welcome text, the keys and the focused button at start;
the money after a coin, the reels, the prize of 5 rings and the money 120
after the transfer for seed 15's first spin; "Game Over!" when the coins run
out; the money 100 after "Новая игра".
"""

import os
import re
import subprocess
import sys

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Gio, GLib  # noqa: E402
import pyatspi  # noqa: E402
from main_loop import pump  # noqa: E402

KEYSYMS = {"Tab": 0xFF09, "space": 0x20, "c": 0x63}
SPOKEN = re.compile(r"SPEECH OUTPUT: '(.*?)'\s*\{", re.S)




def press(key, settle=0.7):
    pyatspi.Registry.generateKeyboardEvent(KEYSYMS[key], None, pyatspi.KEY_SYM)
    pump(settle)


def play(game_path, seed, coins):
    news = []  # what the game's notifications said, as Orca is told it

    def on_showing(event):
        try:
            if event.detail1 and event.source.getRole() == pyatspi.ROLE_NOTIFICATION:
                news.append(event.source.name)
        except Exception:  # gone while the event travelled
            pass

    # Qt looks for a screen reader as the game starts: Orca must be running
    # first, which it says by switching the desktop's accessibility on.
    bus = Gio.bus_get_sync(Gio.BusType.SESSION, None)

    def orca_running():
        try:
            reply = bus.call_sync("org.a11y.Bus", "/org/a11y/bus", "org.freedesktop.DBus.Properties",
                                  "Get", GLib.Variant("(ss)", ("org.a11y.Status", "IsEnabled")),
                                  None, Gio.DBusCallFlags.NONE, 5000, None)
            return reply.unpack()[0]
        except GLib.Error:
            return False

    if not pump(60, orca_running):
        raise SystemExit("Orca did not switch accessibility on")
    pump(3)
    pyatspi.Registry.registerEventListener(on_showing, "object:state-changed:showing")
    env = dict(os.environ, ZRNV_SEED=str(seed), QT_QPA_PLATFORM="xcb")
    game = subprocess.Popen([game_path], env=env)
    try:
        def window_there():
            desktop = pyatspi.Registry.getDesktop(0)
            return any(app is not None and app.name == "zarnovik" and app.childCount > 0
                       for app in desktop)

        if not pump(30, window_there):
            raise SystemExit("the game's window never reached the accessibility bus")
        pump(3)  # Orca reads the window and its focused button
        press("Tab")
        press("space")
        for _ in range(coins):
            told = len(news)
            press("c", 0)
            # The reels stop within two seconds and the prize follows; a win
            # is counted at 300 ms a ring, its end told as the money.
            if not pump(10, lambda: any(n.startswith("Барабаны") for n in news[told:])):
                print(f"no reels told after coin {len(news)}", file=sys.stderr)
            stopped = next(i for i, n in enumerate(news) if i >= told and n.startswith("Барабаны"))
            if "Выигрыш" in news[stopped]:
                pump(40, lambda: len(news) > stopped + 1)
            if "Game Over!" in news[-1]:
                break
            pump(0.3)
        pump(1)
        press("space", 2)
    finally:
        game.terminate()
        game.wait(10)
    for n in news:
        print("notification:", n)


def heard(log_path, seed, coins):
    with open(log_path, encoding="utf-8", errors="replace") as log:
        lines = [m.group(1).replace("\n", " / ") for m in SPOKEN.finditer(log.read())]
    print("Orca spoke:")
    for line in lines:
        print("  " + line)
    failures = []

    def need(what, why):
        if not any(what in line for line in lines):
            failures.append(f"{why}: Orca never said {what!r}")

    need("Приветствуем!", "the welcome text at start")
    need("Клавиша C", "the coin key at start")
    need("Новая игра push button", "the focused button")
    need("скрыта под приветствием", "what a key press does beneath the welcome panel")
    need("Деньги: 95", "the money after the first coin")
    need("Барабаны:", "the reels as they stop")
    if seed == 15:
        need("Выигрыш: 5", "the prize of 5 rings")
        need("Деньги: 120", "the money after the transfer")
    if coins > 1:
        need("Game Over!", "the money run out")
    after = [i for i, line in enumerate(lines) if "Game Over!" in line or "Деньги: 120" in line]
    if not any("Деньги: 100" in line for line in lines[after[-1] + 1 if after else 0:]):
        failures.append("the money after Новая игра: Orca never said 'Деньги: 100' at the end")
    for failure in failures:
        print("FAIL:", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    mode, path, seed, coins = sys.argv[1], sys.argv[2], int(sys.argv[3]), int(sys.argv[4])
    if mode == "play":
        play(path, seed, coins)
        sys.exit(0)
    sys.exit(heard(path, seed, coins))
