#!/usr/bin/env python3
"""The source tree's layers, checked: each folder includes only its own
files and the layers below it, and no two modules (a name's .h and .cpp)
include each other, directly or round a longer loop.

Usage: check_layers.py SRC_DIR
"""
import re
import sys
from pathlib import Path

# Lowest first; a folder may include its own and any earlier one's headers.
# A file belongs to the longest folder its path starts with. The generic
# core (trades, and support, text and the platforms' interface below it)
# names no platform and no family: each platform sits above it, the
# families above those, each apart from the others, and only the registry
# (families) and the front ends see them all.
LAYERS = [
    ["support"],
    ["text"],
    ["platform"],
    ["trades"],
    ["platform/gb", "platform/gba"],
    ["families/gameboy"],
    ["families/gen1", "families/gen2", "families/gen3"],
    ["families"],
    ["library", "exchange", "patch", "source"],
    ["cli", "app"],
]
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.MULTILINE)


def folder_of(path: str) -> str:
    matches = [folder for folders in LAYERS for folder in folders if path.startswith(folder + "/")]
    return max(matches, key=len) if matches else ""


def rank_of(folder: str) -> int:
    for rank, folders in enumerate(LAYERS):
        if folder in folders:
            return rank
    return -1


def main() -> int:
    src = Path(sys.argv[1])
    problems = []
    edges = {}  # module -> modules it includes
    for file in sorted(src.rglob("*")):
        if file.suffix not in (".h", ".cpp", ".inc"):
            continue
        name = file.relative_to(src).as_posix()
        folder = folder_of(name)
        if not folder:
            continue
        module = name.rsplit(".", 1)[0]
        for included in INCLUDE.findall(file.read_text(encoding="utf-8")):
            target = folder_of(included)
            if not target:
                continue  # generated (version.h) or a library's
            if target != folder and rank_of(target) >= rank_of(folder):
                problems.append(f"{name} includes {included}: {folder} may not include {target}")
            other = included.rsplit(".", 1)[0]
            if other != module:
                edges.setdefault(module, set()).add(other)
    # Loops between modules, each told once.
    seen_loops = set()
    def visit(start, node, path):
        for nxt in sorted(edges.get(node, ())):
            if nxt == start:
                loop = path + [start]
                key = frozenset(loop)
                if key not in seen_loops:
                    seen_loops.add(key)
                    problems.append("modules include each other: " + " -> ".join(loop))
            elif nxt not in path and len(path) < 6:
                visit(start, nxt, path + [nxt])
    for module in sorted(edges):
        visit(module, module, [module])
    # A loop is found through each of its paths: the first few say enough.
    shown = problems[:20]
    for problem in shown:
        print(problem)
    if len(problems) > len(shown):
        print(f"... and {len(problems) - len(shown)} more")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
