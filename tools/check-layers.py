#!/usr/bin/env python3
"""Checks that the source folders stay layers: no file includes a file of a layer above its own, and no
file reaches itself again through its includes.

The layers, from the bottom up (a folder may include its own files and those of the layers below it):
  store/io, store, store/interchange, net and shell (side by side), print and helpviewer (side by side),
  screens, app.
A source file and its header count as one unit for the cycle check. Prints every wrong include and every
cycle, and exits 1 when there is any.

    tools/check-layers.py [repository folder]
"""
import os
import re
import sys

LAYERS = {
    "store/io": 0,
    "store": 1,
    "store/interchange": 2,
    "net": 3,
    "shell": 3,
    "print": 4,
    "helpviewer": 4,
    "screens": 5,
    "app": 6,
}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.MULTILINE)


def folder_of(path):
    return os.path.dirname(path)


def sources(root):
    for folder in LAYERS:
        for name in sorted(os.listdir(os.path.join(root, folder))):
            if name.endswith((".cpp", ".h")):
                yield f"{folder}/{name}"


def unit(path):
    return os.path.splitext(path)[0]


def strongly_connected(graph):
    """Tarjan's algorithm, iterative; returns the components of more than one unit."""
    index, low, on_stack, stack, found = {}, {}, set(), [], []
    counter = 0
    for start in graph:
        if start in index:
            continue
        work = [(start, iter(sorted(graph[start])))]
        index[start] = low[start] = counter
        counter += 1
        stack.append(start)
        on_stack.add(start)
        while work:
            node, edges = work[-1]
            advanced = False
            for nxt in edges:
                if nxt not in index:
                    index[nxt] = low[nxt] = counter
                    counter += 1
                    stack.append(nxt)
                    on_stack.add(nxt)
                    work.append((nxt, iter(sorted(graph.get(nxt, ())))))
                    advanced = True
                    break
                if nxt in on_stack:
                    low[node] = min(low[node], index[nxt])
            if advanced:
                continue
            work.pop()
            if work:
                low[work[-1][0]] = min(low[work[-1][0]], low[node])
            if low[node] == index[node]:
                component = []
                while True:
                    member = stack.pop()
                    on_stack.discard(member)
                    component.append(member)
                    if member == node:
                        break
                if len(component) > 1:
                    found.append(sorted(component))
    return found


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..")
    problems = []
    graph = {}
    files = 0
    for path in sources(root):
        files += 1
        with open(os.path.join(root, path), encoding="utf-8") as source:
            text = source.read()
        own = folder_of(path)
        graph.setdefault(unit(path), set())
        for included in INCLUDE.findall(text):
            target = folder_of(included)
            if target not in LAYERS:
                continue  # generated headers (ui_*.h) and the test support
            if target != own and LAYERS[target] >= LAYERS[own]:
                problems.append(f"{path}: includes {included}, a layer not below {own}/")
            if unit(included) != unit(path):
                graph[unit(path)].add(unit(included))
    for component in strongly_connected(graph):
        problems.append("include cycle: " + " -> ".join(component))
    for problem in problems:
        print(problem)
    print(f"{files} files in {len(LAYERS)} layers: "
          + ("no upward include, no cycle" if not problems else f"{len(problems)} problems"))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
