# SPDX-License-Identifier: GPL-3.0-or-later
"""The GLib main loop the accessibility checks run AT-SPI's events on."""

import time

import gi

gi.require_version("Gio", "2.0")
from gi.repository import GLib  # noqa: E402


def pump(seconds, until=None):
    """Runs the main loop (and so the events) for up to `seconds`, or until `until()` holds."""
    context = GLib.MainContext.default()
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        while context.pending():
            context.iteration(False)
        if until is not None and until():
            return True
        time.sleep(0.01)
    return until() if until is not None else True
