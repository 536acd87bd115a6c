#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Keeps the layers one way.

Reads every #include "..." of the production code and fails on one that runs
against the layer order, on a cycle between folders, and on a Qt include in
the runtime (outside runtime/qt/) or in the game.

The layers, lowest first; a file may include its own layer and those below:
  runtime         the forms runtime (no Qt)
  runtime/qt      its timers on Qt's event loop
  description     the window description, as data
  game            every handler and the headless driver (no Qt)
  assets          the art catalogue, rendered pictures and typeface
  window/qt       drawing, input, pointers, pictures
  web             the page's host of the game (no Qt)
  app, tools      the program and the tools
"""
import re
import sys
from pathlib import Path

LAYERS = ["runtime", "runtime/qt", "description", "game", "assets", "window/qt", "web", "app",
          "tools"]
# What may not be included at all, by layer: Qt stays out of the rules.
NO_QT = {"runtime", "description", "game", "web"}
# assets/ knows nothing of the game: it is fed by its own catalogue only, and
# the window sits above both.
RANK = {"runtime": 0, "runtime/qt": 1, "description": 2, "game": 3, "assets": 3,
        "window/qt": 4, "web": 4, "app": 5, "tools": 5}

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')
QT_HEADER = re.compile(r"^Q[A-Za-z]+$|^Qt[A-Za-z]*/")


def layer_of(path: str):
    """The layer a path belongs to: the longest layer folder it lies in."""
    best = None
    for layer in LAYERS:
        if path == layer or path.startswith(layer + "/"):
            if best is None or len(layer) > len(best):
                best = layer
    return best


def main(root: Path) -> int:
    problems = []
    edges = {}
    for layer in LAYERS:
        for file in sorted((root / layer).rglob("*")):
            if file.suffix not in {".h", ".cpp"}:
                continue
            rel = file.relative_to(root).as_posix()
            own = layer_of(rel)
            if own != layer:
                continue  # a deeper layer's file, checked with that layer
            for number, line in enumerate(file.read_text(encoding="utf-8").splitlines(), 1):
                m = INCLUDE.match(line)
                if not m:
                    continue
                kind, name = m.groups()
                where = f"{rel}:{number}"
                if QT_HEADER.match(name) and own in NO_QT:
                    problems.append(f"{where}: Qt header <{name}> in {own}/")
                if kind != '"':
                    continue
                target = layer_of(name)
                if target is None:
                    # A file beside it (assets/render's own headers) or outside
                    # the production code (tests, fuzz, bench): never allowed.
                    if (file.parent / name).exists():
                        continue
                    problems.append(f"{where}: includes \"{name}\", outside the layers")
                    continue
                if target == own:
                    continue
                edges.setdefault(own, set()).add(target)
                if RANK[target] >= RANK[own]:
                    problems.append(f"{where}: {own}/ includes \"{name}\" from {target}/, "
                                    "which is not below it")
    # A cycle between folders, whatever the ranks say.
    state = {}

    def visit(node, trail):
        state[node] = 1
        for nxt in sorted(edges.get(node, ())):
            if state.get(nxt) == 1:
                problems.append("folder cycle: " + " -> ".join(trail + [node, nxt]))
            elif nxt not in state:
                visit(nxt, trail + [node])
        state[node] = 2

    for node in sorted(edges):
        if node not in state:
            visit(node, [])
    for p in problems:
        print(p, file=sys.stderr)
    if problems:
        print(f"layers: {len(problems)} include(s) against the order", file=sys.stderr)
        return 1
    print("layers: every include runs downwards, no folder cycle, no Qt in the rules")
    return 0


if __name__ == "__main__":
    sys.exit(main(Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).resolve().parent.parent))
