#!/usr/bin/env python3
"""Checks that every folder of the source includes only folders below it.

The order is the README's line "Which folder may use which": chains of
folders in backticks joined by "<", one chain per ";"-separated part. A
folder may include a folder that comes before it in a chain it stands in,
and nothing else. tests/ may include anything. Prints each include that
breaks the order (file and line) and fails; with --graph it prints the links
between folders instead and whether they form circles.
"""
import os
import re
import sys

ORDER_LINE = "Which folder may use which"
SOURCE_SUFFIXES = (".c", ".cpp", ".h", ".hpp", ".rc", ".inc")
# Folders that hold no code of a program, or code that may use anything.
NOT_SOURCE = {"tests", "tools", "scripts", "cmake", "build"}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')


def read_order(readme):
    """Returns {folder: set of folders it may use} from the README's line."""
    with open(readme, encoding="utf-8") as f:
        lines = [l for l in f if ORDER_LINE in l]
    if len(lines) != 1:
        sys.exit(f"{readme}: expected one line with \"{ORDER_LINE}\", found {len(lines)}")
    text = lines[0].split(":", 1)[1]
    may_use = {}
    for part in text.split(";"):
        chain = [re.findall(r"`([^`]+)/?`", step) for step in part.split("<")]
        below = set()
        for step in chain:
            names = [n.rstrip("/") for n in step]
            for name in names:
                may_use.setdefault(name, set()).update(below)
            below.update(names)
    if not may_use:
        sys.exit(f"{readme}: the line \"{ORDER_LINE}\" names no folders")
    return may_use


def source_folders(root):
    for name in sorted(os.listdir(root)):
        path = os.path.join(root, name)
        if os.path.isdir(path) and not name.startswith(".") and name not in NOT_SOURCE:
            yield name


def includes(root, folder):
    """Yields (file, line number, included folder) of every include with a folder."""
    for dirpath, _, files in os.walk(os.path.join(root, folder)):
        for name in sorted(files):
            if not name.endswith(SOURCE_SUFFIXES):
                continue
            path = os.path.join(dirpath, name)
            with open(path, encoding="utf-8", errors="replace") as f:
                for number, line in enumerate(f, 1):
                    m = INCLUDE.match(line)
                    if not m or "/" not in m.group(1):
                        continue
                    target = m.group(1)
                    if target.startswith("."):
                        target = os.path.relpath(os.path.normpath(os.path.join(dirpath, target)), root)
                    yield os.path.relpath(path, root), number, target.split(os.sep)[0].split("/")[0]


def links(root):
    """{(from, to): count} of the includes between folders."""
    counts = {}
    for folder in source_folders(root):
        for _, _, target in includes(root, folder):
            if target != folder:
                counts[(folder, target)] = counts.get((folder, target), 0) + 1
    return counts


def circles(counts):
    """The folders that stand in a circle of includes."""
    graph = {}
    for a, b in counts:
        graph.setdefault(a, set()).add(b)

    def reaches(start, goal):
        seen, todo = set(), [start]
        while todo:
            node = todo.pop()
            for nxt in graph.get(node, ()):
                if nxt == goal:
                    return True
                if nxt not in seen:
                    seen.add(nxt)
                    todo.append(nxt)
        return False

    return sorted(f for f in graph if reaches(f, f))


def main():
    root = os.path.abspath(os.path.join(os.path.dirname(__file__), ".."))
    if "--graph" in sys.argv[1:]:
        counts = links(root)
        for (a, b), n in sorted(counts.items()):
            print(f"{a} -> {b}: {n}")
        loop = circles(counts)
        print("circles: " + (", ".join(loop) if loop else "none"))
        return 0
    may_use = read_order(os.path.join(root, "README.md"))
    faults = []
    for folder in source_folders(root):
        if folder not in may_use:
            faults.append(f"{folder}/: not in the README's order")
            continue
        for path, number, target in includes(root, folder):
            if target == folder or target in may_use[folder]:
                continue
            why = "a folder not in the order" if target not in may_use else f"{target}/ is not below {folder}/"
            faults.append(f"{path}:{number}: includes {target}/: {why}")
    for fault in faults:
        print(fault)
    if faults:
        print(f"check_layers: {len(faults)} include(s) against the README's order")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
