#!/usr/bin/env python3
"""Checks the layers of src/: core areas include no shell or Qt header, and
no area depends, through its includes, on an area that depends on it."""
import os
import re
import sys

src = sys.argv[1]
include = re.compile(r'^#include [<"]((core|shell)/([^/]+)/[^">]+|Q\w+)[">]', re.M)

# area -> the areas its sources include
depends = {}
problems = []
for layer in ("core", "shell"):
    for area in sorted(os.listdir(os.path.join(src, layer))):
        folder = os.path.join(src, layer, area)
        if not os.path.isdir(folder):
            continue
        name = f"{layer}/{area}"
        depends.setdefault(name, set())
        for root, _, files in os.walk(folder):
            for file in files:
                if not file.endswith((".cpp", ".h")):
                    continue
                path = os.path.join(root, file)
                with open(path, encoding="utf-8") as text:
                    for match in include.finditer(text.read()):
                        if match.group(2) is None:
                            if layer == "core":
                                problems.append(f"{path}: core code includes Qt ({match.group(1)})")
                            continue
                        target = f"{match.group(2)}/{match.group(3)}"
                        if layer == "core" and match.group(2) == "shell":
                            problems.append(f"{path}: core code includes the shell ({match.group(1)})")
                        if target != name:
                            depends[name].add(target)


def cycle_from(start):
    """A path of areas from `start` back to itself, or None."""
    stack = [(start, [start])]
    seen = set()
    while stack:
        area, path = stack.pop()
        for target in sorted(depends.get(area, ())):
            if target == start:
                return path + [start]
            if target not in seen:
                seen.add(target)
                stack.append((target, path + [target]))
    return None


for area in sorted(depends):
    cycle = cycle_from(area)
    if cycle:
        problems.append("areas depend on each other: " + " -> ".join(cycle))

for problem in problems:
    print(problem)
print(f"{len(depends)} areas checked: {len(problems)} problems")
sys.exit(1 if problems else 0)
