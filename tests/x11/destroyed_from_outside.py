#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The game's window destroyed by another X client: the game must end, with
status 0, rather than live on with no window.

Usage: destroyed_from_outside.py GAME   (on the display in $DISPLAY)

Starts GAME, waits for its window (found by its title), destroys it with
XDestroyWindow from a connection of its own, as another program on the
desktop may, and waits for GAME to end. Speaks to the X server through libX11
with ctypes, so that it needs nothing beyond Python and the X library the
game itself uses."""

import ctypes
import os
import subprocess
import sys
import time

TITLE = b"Zarnovik (ZRNV) v. 1.0"
Window = ctypes.c_ulong

x11 = ctypes.CDLL("libX11.so.6")
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
x11.XDefaultRootWindow.restype = Window
x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
x11.XQueryTree.argtypes = [ctypes.c_void_p, Window, ctypes.POINTER(Window),
                           ctypes.POINTER(Window), ctypes.POINTER(ctypes.POINTER(Window)),
                           ctypes.POINTER(ctypes.c_uint)]
x11.XFetchName.argtypes = [ctypes.c_void_p, Window, ctypes.POINTER(ctypes.c_void_p)]
x11.XFree.argtypes = [ctypes.c_void_p]
x11.XDestroyWindow.argtypes = [ctypes.c_void_p, Window]
x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
x11.XCloseDisplay.argtypes = [ctypes.c_void_p]

# A window may go between listing it and asking for its name: such errors
# are expected here, and must not end this program as Xlib's default would.
ERROR_HANDLER = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)
ignore_errors = ERROR_HANDLER(lambda display, event: 0)
x11.XSetErrorHandler(ignore_errors)


def children(display, window):
    root, parent = Window(), Window()
    kids = ctypes.POINTER(Window)()
    count = ctypes.c_uint()
    if not x11.XQueryTree(display, window, ctypes.byref(root), ctypes.byref(parent),
                          ctypes.byref(kids), ctypes.byref(count)):
        return []
    found = [kids[i] for i in range(count.value)]
    if kids:
        x11.XFree(kids)
    return found


def name_of(display, window):
    name = ctypes.c_void_p()
    if not x11.XFetchName(display, window, ctypes.byref(name)) or not name.value:
        return None
    text = ctypes.string_at(name.value)
    x11.XFree(name)
    return text


def find_window(display):
    """The game's top-level window (a child of the root, or of a frame there)."""
    for top in children(display, x11.XDefaultRootWindow(display)):
        for window in [top] + children(display, top):
            if name_of(display, window) == TITLE:
                return window
    return None


def main():
    if len(sys.argv) != 2 or not os.environ.get("DISPLAY"):
        sys.exit("usage: DISPLAY=:N destroyed_from_outside.py GAME")
    display = x11.XOpenDisplay(None)
    if not display:
        sys.exit("cannot open the display " + os.environ["DISPLAY"])
    game = subprocess.Popen([sys.argv[1]], env=dict(os.environ, QT_QPA_PLATFORM="xcb"))
    try:
        window = None
        deadline = time.monotonic() + 60
        while window is None and time.monotonic() < deadline and game.poll() is None:
            time.sleep(0.2)
            window = find_window(display)
        if window is None:
            sys.exit("the game's window did not appear (status %s)" % game.poll())
        time.sleep(0.5)  # the game up and drawing, not still starting
        x11.XDestroyWindow(display, window)
        x11.XSync(display, 0)
        try:
            status = game.wait(timeout=15)
        except subprocess.TimeoutExpired:
            sys.exit("the game lives on 15 s after its window was destroyed")
        if status != 0:
            sys.exit("the game ended with status %d after its window was destroyed" % status)
        print("-- the window destroyed by another client: the game ended with status 0")
    finally:
        if game.poll() is None:
            game.kill()
            game.wait()
        x11.XCloseDisplay(display)


if __name__ == "__main__":
    main()
