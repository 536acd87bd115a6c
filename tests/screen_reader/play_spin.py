#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""One winning spin of Zarnovik played through AT-SPI alone, as a screen reader does.

Usage: play_spin.py ZARNOVIK ZARNOVIK_SIM

Needs a display (DISPLAY), a D-Bus session bus with the accessibility bus
(at-spi2-core) and pyatspi. The game is started with a seed whose first spin
wins, picked with zarnovik-sim, which also says what the reels must show and
what the money must read when the prize has been paid. Then, with nothing but
the accessibility interface: the welcome panel is dismissed by its button,
the money is read ("Деньги" "100"), the coin slot is pressed, and the events
a reader hears are checked against the game: the reels spinning and stopping
on their symbols, the money after the coin and after the prize. What was
heard is printed, one line a thing said.
"""

import json
import os
import subprocess
import sys
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Gio, GLib  # noqa: E402
import pyatspi  # noqa: E402
from main_loop import pump  # noqa: E402

TITLE = "Zarnovik (ZRNV) v. 1.0"
SYMBOLS = ["Кольцо", "Bar", "Spin", "Тиво", "Велси", "Дрогнар", "Лирвен", "Бримон", "Зента", "Изумруд"]
SPINNING = "Вращается"
COIN_SLOT = "Кольцеприёмник"

game_path, sim_path = sys.argv[1], sys.argv[2]
heard = []  # (time, what a reader says)
failures = []


def check(condition, message):
    if not condition:
        failures.append(message)
        print("FAIL:", message, flush=True)
    return condition




def winning_seed():
    """The first seed whose first spin wins, with the state after the stop and after the payout."""
    for seed in range(1, 1000):
        script = f"seed {seed}\nwelcome\ncoin\nwait 1502\nshow\nwait 60000\nshow\n"
        out = subprocess.run([sim_path], input=script, capture_output=True, text=True, check=True)
        stopped, paid = (json.loads(line) for line in out.stdout.splitlines())
        if stopped["prize"] != "0":
            return seed, stopped, paid
    raise SystemExit("no winning seed found")


def nodes(root):
    """Every accessible object under root, depth first, read afresh."""
    found = []
    stack = [root]
    while stack:
        node = stack.pop()
        if node is None:
            continue
        found.append(node)
        try:
            count = node.childCount
        except Exception:
            continue
        for i in reversed(range(count)):
            try:
                stack.append(node.getChildAtIndex(i))
            except Exception:
                pass
    return found


def find(root, role=None, name=None, description=None):
    for node in nodes(root):
        try:
            if role is not None and node.getRoleName() != role:
                continue
            if name is not None and not (node.name == name or (callable(name) and name(node.name))):
                continue
            if description is not None and node.description != description:
                continue
            return node
        except Exception:
            continue
    return None


def text_of(node):
    text = node.queryText()
    return text.getText(0, text.characterCount)


def game_window():
    for app in pyatspi.Registry.getDesktop(0):
        if app is None:
            continue
        for i in range(app.childCount):
            window = app.getChildAtIndex(i)
            if window is not None and window.name == TITLE:
                return window
    return None


def on_event(event):
    source = event.source
    try:
        if event.type.startswith("object:text-changed:insert"):
            heard.append((time.monotonic(), f"{source.name}: {event.any_data}"))
        elif event.type.startswith("object:property-change:accessible-name"):
            if source.description.startswith("Барабан"):
                heard.append((time.monotonic(), f"{source.description}: {source.name}"))
        elif event.type.startswith("object:state-changed:sensitive"):
            if source.name == COIN_SLOT:
                state = "открыт" if event.detail1 else "закрыт"
                heard.append((time.monotonic(), f"{COIN_SLOT}: {state}"))
    except Exception as error:  # an object gone while the event travelled
        heard.append((time.monotonic(), f"(unreadable event {event.type}: {error})"))


def screen_reader_on():
    """What a screen reader does first: tells the desktop that one runs."""
    bus = Gio.bus_get_sync(Gio.BusType.SESSION, None)
    bus.call_sync("org.a11y.Bus", "/org/a11y/bus", "org.freedesktop.DBus.Properties", "Set",
                  GLib.Variant("(ssv)", ("org.a11y.Status", "ScreenReaderEnabled",
                                         GLib.Variant("b", True))),
                  None, Gio.DBusCallFlags.NONE, 5000, None)


def main():
    seed, stopped, paid = winning_seed()
    symbols = [SYMBOLS[d] for d in stopped["reels"]]
    print(f"seed {seed}: the reels stop on {' '.join(symbols)}, {stopped['prize']} rings, "
          f"the money ends at {paid['money']}", flush=True)

    screen_reader_on()
    pyatspi.Registry.registerEventListener(
        on_event, "object:text-changed:insert", "object:property-change:accessible-name",
        "object:state-changed:sensitive")

    env = dict(os.environ, ZRNV_SEED=str(seed), QT_QPA_PLATFORM="xcb")
    game = subprocess.Popen([game_path], env=env)
    try:
        window = None
        if not pump(20, lambda: game_window() is not None):
            raise SystemExit("the game's window never reached the accessibility bus")
        window = game_window()
        check(window.getRoleName() == "frame", f"the window is a frame, not {window.getRoleName()}")

        # The welcome panel covers the game: nothing of it is there to read.
        welcome = find(window, role="push button", name=lambda n: n.startswith("Я буду рад"))
        check(welcome is not None, "the welcome panel's button is there")
        check(find(window, name="Деньги") is None, "the money is not read through the welcome panel")
        check(find(window, name=COIN_SLOT) is None, "the coin slot is not there under the welcome panel")
        if welcome is None:
            return
        welcome.queryAction().doAction(0)

        money = None

        def money_shown():
            nonlocal money
            money = find(window, role="text", name="Деньги")
            return money is not None

        if not check(pump(10, money_shown), "the money field appears once the panel is gone"):
            return
        check(text_of(money) == "100", f"the money reads 100, not {text_of(money)!r}")
        prize = find(window, role="text", name="Выигрыш")
        check(prize is not None and text_of(prize) == "0", "the prize field reads 0")
        for n in (1, 2, 3):
            reel = find(window, description=f"Барабан {n}")
            check(reel is not None and reel.name == "Бримон", f"reel {n} shows Бримон at start")
        check(find(window, name=lambda n: n.startswith("Приветствуем")) is None,
              "the welcome text is gone with its panel")
        check(find(window, name="Ge ner.") is None, "the generator label under the prize table is not read")
        check(find(window, name=lambda n: n.startswith("ТАБЛИЦА ВЫИГРЫШЕЙ")) is not None,
              "the prize table is read")

        slot = find(window, role="push button", name=COIN_SLOT)
        if not check(slot is not None, "the coin slot is a button"):
            return
        check(slot.getState().contains(pyatspi.STATE_SENSITIVE), "the coin slot is open")
        check(not slot.getState().contains(pyatspi.STATE_FOCUSABLE), "the coin slot takes no focus")
        heard.clear()
        started = time.monotonic()
        slot.queryAction().doAction(0)

        final_money = f"Деньги: {paid['money']}"
        pump(30, lambda: any(said == final_money for _, said in heard))
        pump(0.5)

        print("heard:")
        for when, said in heard:
            print(f"  {when - started:7.3f} s  {said}")
        said = [s for _, s in heard]
        check("Деньги: 95" in said, "the coin is heard: the money reads 95")
        for n, symbol in enumerate(symbols, start=1):
            spinning = f"Барабан {n}: {SPINNING}"
            stop = f"Барабан {n}: {symbol}"
            check(spinning in said and stop in said and said.index(spinning) < said.index(stop),
                  f"reel {n} is heard spinning, then stopping on {symbol}")
        check(f"Выигрыш: {stopped['prize']}" in said, f"the prize of {stopped['prize']} rings is heard")
        check(final_money in said,
              f"the money is heard at {paid['money']} once the prize is paid")
        check(text_of(money) == paid["money"], f"the money reads {paid['money']} at the end")
    finally:
        game.terminate()
        try:
            game.wait(10)
        except subprocess.TimeoutExpired:
            game.kill()


main()
if failures:
    print(f"screen reader: {len(failures)} failed", flush=True)
    sys.exit(1)
print("screen reader: one winning spin played and heard", flush=True)
